// Tavro's stances, looks and animations, and the writer that turns the
// tables into frame folders, the animation index, the move file and the
// opponent's attack table.
#include "character.h"

#include "ai/attackFile.h"
#include "datagen.h"
#include "fighter/animationIndex.h"
#include "sprite/paletteFile.h"

#include <cstdio>
#include <cstdlib>

namespace gen {

namespace {

// Wider than this, a damage box can cross the narrowest body (a hit
// reaction frame, 42 pixels) like a plus sign, without a corner inside it;
// no wider, a box that reaches into a body at a height within it always
// has a corner there.
constexpr int maxStrikeWidth = 42;

// The stances: where each joint rests, and how far a full breath (the
// guard, the crouch) or a degree of wobble (the tuck) moves it.
// clang-format off
//                        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
const Joints guardRest   {  10,  -8,  32, 158,  12, 148,  30,  -2,  92, -18, -40,  80, -112};
const Joints guardBreath {   2,  -1,  -4,  -4,   2,  -3,   3,  -3,   0,  -2,  -3,   0,    6};
const Joints crouchRest  {  24, -18,  48, 162,  30, 155, 100,  -8,  92,  38, -88,  30, -100};
const Joints crouchBreath{   2,   0,   0,  -3,   0,   0,   2,   0,   0,   2,   0,   0,    0};
const Joints tuckRest    {  18, -10,  55, 168,  35, 160, 118,  -8, 100,  85, -40,  70,  -75};
const Joints tuckWobble  {   1,   0,   0,   0,   0,   0,   1,   0,   0,   1,   0,   0,    3};
// clang-format on

// The tables' columns, in Joints and in Pose.
constexpr double Joints::*jointColumns[] = {
    &Joints::torso, &Joints::head, &Joints::nUA,  &Joints::nFA, &Joints::fUA,
    &Joints::fFA,   &Joints::nTh,  &Joints::nSh,  &Joints::nFt, &Joints::fTh,
    &Joints::fSh,   &Joints::fFt,  &Joints::tails};
constexpr double Pose::*poseColumns[] = {
    &Pose::torso, &Pose::head, &Pose::nUA, &Pose::nFA, &Pose::fUA, &Pose::fFA,  &Pose::nTh,
    &Pose::nSh,   &Pose::nFt,  &Pose::fTh, &Pose::fSh, &Pose::fFt, &Pose::tails};
constexpr int columnCount = sizeof jointColumns / sizeof jointColumns[0];

// A pose with these angles, standing.
Pose posed(const Joints& joints) {
    Pose p;
    for (int c = 0; c < columnCount; ++c)
        p.*poseColumns[c] = joints.*jointColumns[c];
    return p;
}

// A stance k breaths (or degrees of wobble) from rest.
Pose posed(const Joints& rest, const Joints& delta, double k) {
    Pose p;
    for (int c = 0; c < columnCount; ++c)
        p.*poseColumns[c] = rest.*jointColumns[c] + delta.*jointColumns[c] * k;
    return p;
}

// Walking, one stride in eight poses: the guard, legs swinging.
Pose walkPose(double phase) {
    Pose p = guard(0.3);
    double s = sinDeg(phase), c = cosDeg(phase);
    p.torso = 12 + 1.5 * c;
    p.nTh = 8 + 26 * s;
    p.nSh = p.nTh - 6 - 38 * (c > 0 ? c : 0);
    p.fTh = 8 - 26 * s;
    p.fSh = p.fTh - 6 - 38 * (c < 0 ? -c : 0);
    p.nFt = 90;
    p.fFt = 88;
    p.nUA = 30 + 3 * s;
    p.fUA = 12 - 3 * s;
    p.tails = -110 + 8 * c;
    return p;
}

// Running: leaning in, long strides, the arms pumping.
Pose runPose(double phase) {
    Pose p = guard();
    double s = sinDeg(phase), c = cosDeg(phase);
    p.torso = 26;
    p.head = -14;
    p.nTh = 18 + 42 * s;
    p.nSh = p.nTh - 12 - 70 * (c > 0 ? c : 0);
    p.fTh = 18 - 42 * s;
    p.fSh = p.fTh - 12 - 70 * (c < 0 ? -c : 0);
    p.nFt = 95;
    p.fFt = 95;
    p.nUA = -40 * s;
    p.nFA = p.nUA + 95;
    p.fUA = 40 * s;
    p.fFA = p.fUA + 95;
    p.tails = -95 + 10 * c;
    return p;
}

// The look that set changes from the plain one.
Look looking(void (*set)(Look&)) {
    Look look;
    set(look);
    return look;
}

} // namespace

const Look aloft = looking([](Look& l) { l.air = true; });
const Look openHands = looking([](Look& l) { l.nearOpen = l.farOpen = true; });
const Look openNearHand = looking([](Look& l) { l.nearOpen = true; });
const Look blinking = looking([](Look& l) { l.blink = true; });
const Look shouting = looking([](Look& l) { l.shout = true; });

Look glow(double radius, double x, double y) {
    Look look;
    look.glow = radius;
    look.glowAt = {x, y};
    return look;
}

Look coolGlow(double radius, double x, double y) {
    Look look = glow(radius, x, y);
    look.coolGlow = true;
    return look;
}

Look burst(double radius, double forward) {
    Look look;
    look.burst = radius;
    look.burstFwd = forward;
    return look;
}

Look spin(double degrees) {
    Look look;
    look.spin = degrees;
    return look;
}

namespace {

// What a look adds besides the stance and the hands, onto a pose or onto
// another look: both name these parts alike.
template <typename Shown> void addEffects(Shown& to, const Look& look) {
    if (look.glow != 0) {
        to.glow = look.glow;
        to.glowAt = look.glowAt;
        to.coolGlow = look.coolGlow;
    }
    if (look.burst != 0) {
        to.burst = look.burst;
        to.burstFwd = look.burstFwd;
    }
    if (look.spin != 0) to.spin = look.spin;
    to.blink = to.blink || look.blink;
    to.shout = to.shout || look.shout;
}

} // namespace

// Each look sets only its own part, so the parts add up.
Look operator|(Look a, const Look& b) {
    a.air = a.air || b.air;
    a.nearOpen = a.nearOpen || b.nearOpen;
    a.farOpen = a.farOpen || b.farOpen;
    addEffects(a, b);
    return a;
}

Pose guard(double b) {
    return posed(guardRest, guardBreath, b);
}

Pose crouch(double b) {
    return posed(crouchRest, crouchBreath, b);
}

Pose tuck(double w) {
    return with(posed(tuckRest, tuckWobble, w), aloft);
}

Pose with(Pose p, const Look& look) {
    if (look.air) {
        p.grounded = false;
        p.lift = 100;
    }
    if (look.nearOpen) p.nHand = OPEN;
    if (look.farOpen) p.fHand = OPEN;
    addEffects(p, look);
    return p;
}

Pose PoseRef::resolve(const std::string& move, const std::vector<PoseRow>& poses) const {
    if (!name_) return pose_;
    for (const PoseRow& row : poses)
        if (row.name == std::string(name_)) return with(posed(row.joints), row.look);
    std::fprintf(stderr, "datagen: %s has no pose \"%s\"\n", move.c_str(), name_);
    std::exit(1);
}

Spawn thrown(const char* name, int ahead) {
    return Spawn{name, ahead, false};
}

Spawn alongFloor(const char* name, int ahead) {
    return Spawn{name, ahead, true};
}

Move newMove(const char* name, const char* command, const char* condition) {
    Move m;
    m.record.name = name;
    m.record.command = command;
    m.record.condition = condition;
    return m;
}

// The animations the game asks for by name.  Blank stays first: a name the
// index lacks shows the first animation instead.  Blank is never shown: its
// first frame's size is the screen area every fighter saves and restores
// under itself, a see-through frame with the guard's body box.
std::vector<Animation> animations() {
    std::vector<Animation> list;
    list.push_back({"blank", {{guard(), 100}}, false});
    // Walking, and landing: one stride in eight poses.
    Animation walk{"walk", {}};
    for (int i = 0; i < 8; ++i)
        walk.frames.push_back({walkPose(i * 45.0), 26});
    list.push_back(walk);
    // Running, after a double tap forward: a footstep on each foot's landing.
    Animation running{"running", {}};
    for (int i = 0; i < 8; ++i)
        running.frames.push_back(
            {runPose(i * 45.0), 17, NO_LIMB, 0, i == 2 || i == 6 ? "step" : "NULL"});
    list.push_back(running);
    // clang-format off
    // Ducking: the crouch, breathing.  In the air: tucked, wobbling.
    list.push_back({"duck",  {{crouch(0), 90}, {crouch(1), 90}}});
    list.push_back({"inAir", {{tuck(-6), 30}, {tuck(0), 30}, {tuck(6), 30}}});
    // Standing: the guard breathing in and out, with a blink at the end.
    list.push_back({"standing", {{guard(0),    45},
                                 {guard(0.25), 45},
                                 {guard(0.75), 45},
                                 {guard(1),    45},
                                 {guard(0.75), 45},
                                 {with(guard(0.25), blinking), 45}}});
    // clang-format on
    return list;
}

namespace {

// The frame's spawn line: the particle's name and where it starts, from the
// anchor, measured from the near hand of the pose as drawn.
std::string spawnLine(const Spawn& spawn, const Pose& pose) {
    Drawn d = measureFighter(pose);
    const int x = static_cast<int>(d.nearHand.x) - kAnchorX + spawn.ahead;
    const int y = spawn.onFloor ? 0 : kAnchorY - static_cast<int>(d.nearHand.y);
    char line[64];
    std::snprintf(line, sizeof line, "%s %d %d", spawn.name, x, y);
    return line;
}

// The index entry of a frame whose pose was drawn (or measured) as d.
frameEntry entryFor(const char* file, const FrameRow& row, const Drawn& d, const Pose& pose,
                    const std::string& name) {
    frameEntry entry = indexEntry(file, row.pause);
    spriteFrame& frame = entry.frame;
    frame.offsetX = kAnchorX;
    frame.offsetY = kAnchorY;
    setCollisionBox(frame, d.body);
    if (row.damage > 0) {
        // The game's box test looks for a corner of one box inside the
        // other, so a damage box wider than the opponent's body can lie
        // across it like a plus sign and miss.  Keep the far end of the
        // striking limb, narrower than any body it should hurt.
        Box strike = d.strike;
        if (strike.x2 - strike.x1 > maxStrikeWidth) strike.x1 = strike.x2 - maxStrikeWidth;
        setDamageBox(frame, strike);
        frame.damage = row.damage;
        frame.hitType = 1;
    }
    frame.soundName = row.sound;
    if (row.spawn.name) frame.partNames.push_back(spawnLine(row.spawn, pose));
    frame.moveX = row.moveX;
    frame.moveY = row.moveY;
    frame.tagName = name;
    return entry;
}

// Writes a frame folder: one bitmap per frame and the index naming them.
void writeFrames(Writer& out, const std::string& name, const std::vector<PoseRow>& poses,
                 const std::vector<FrameRow>& rows, bool drawn) {
    const std::string dir = "Tavro/" + name;
    std::vector<frameEntry> entries;
    std::vector<RGB> pal;
    fighterPalette(pal);
    Pose prev;
    for (size_t i = 0; i < rows.size(); ++i) {
        const FrameRow& row = rows[i];
        Pose pose = row.pose.resolve(name, poses);
        pose.strike = row.strike;
        if ((row.damage > 0) != (row.strike != NO_LIMB)) {
            std::fprintf(stderr, "datagen: %s frame %zu: damage without a striking limb\n",
                         name.c_str(), i);
            std::exit(1);
        }
        Indexed img(kFrameW, kFrameH);
        img.palette = pal;
        const Pose* smearFrom = row.strike != NO_LIMB && i > 0 ? &prev : nullptr;
        Drawn d = drawn ? drawFighter(img, pose, smearFrom) : measureFighter(pose);
        char file[32];
        std::snprintf(file, sizeof file, "f%02zu.bmp", i);
        out.bytes(dir + "/" + file, bmp8(img));
        entries.push_back(entryFor(file, row, d, pose, name));
        prev = pose;
    }
    out.text(dir + "/info", frameIndex::text(entries));
}

// The opponent's attack table: move name, range, link key, cancel key.
attackSections attackTable() {
    attackSections s;
    // 1: ground attacks by distance band, in the order S, M, L, U, D.  A
    // short-range pick draws from S and M, a mid-range one from M and L, a
    // long-range one from L alone; U is asked when the opponent is above the
    // fighter it faces, D when that fighter is above it (jumping in).
    s[0] = {{"punch", "S", "NULL", "NULL"},       {"crouchPunch", "S", "NULL", "NULL"},
            {"kick", "S", "NULL", "NULL"},        {"crouchKick", "S", "NULL", "NULL"},
            {"crouchPunch", "S", "NULL", "NULL"}, {"kick", "M", "NULL", "NULL"},
            {"crouchKick", "M", "NULL", "NULL"},  {"heavy", "M", "NULL", "NULL"},
            {"heavy", "L", "NULL", "NULL"},       {"sweep", "L", "NULL", "NULL"},
            {"crouchKick", "U", "NULL", "NULL"},  {"sweep", "U", "NULL", "NULL"},
            {"crouchHeavy", "D", "NULL", "NULL"}, {"uppercut", "D", "NULL", "NULL"},
            {"crouchHeavy", "D", "NULL", "NULL"}};
    // 2: never read by the opponent; the specials wait here.  The opponent
    // throws nothing: only player 1's particles are tested against a fighter.
    s[1] = {{"fireball", "L", "NULL", "NULL"}, {"shockwave", "M", "NULL", "NULL"}};
    // 3: aerial attacks, same band order
    s[2] = {{"airPunch", "S", "NULL", "NULL"}, {"airKick", "S", "NULL", "NULL"},
            {"airKick", "M", "NULL", "NULL"},  {"airHeavy", "M", "NULL", "NULL"},
            {"airHeavy", "L", "NULL", "NULL"}, {"airHeavy", "U", "NULL", "NULL"},
            {"airPunch", "U", "NULL", "NULL"}, {"airKick", "D", "NULL", "NULL"},
            {"airPunch", "D", "NULL", "NULL"}};
    // 4: kept for later use
    s[3] = {{"blockAir", "S", "NULL", "NULL"}};
    // 5: cancels, keyed by the move they cut short.  The cancel starts once
    // the running move reaches the cancel's own from frame, so only the
    // sweep (from frame 3) cancels: a move from neutral would cut in at once.
    // The sweep's long active frames are still out when the hit reaction
    // of the kick ends: the combo connects.
    s[4] = {{"sweep", "S", "NULL", "kick"}, {"sweep", "S", "NULL", "crouchKick"}};
    // 6: links, keyed by the move they follow: the two that connect
    // whenever the first hit lands, and the air chain.
    s[5] = {{"uppercut", "S", "punch", "NULL"},
            {"palmStrike", "S", "crouchPunch", "NULL"},
            {"airKick", "S", "airPunch", "NULL"}};
    return s;
}

} // namespace

void writeCharacter(Writer& out) {
    std::vector<animationName> names;
    for (const Animation& a : animations()) {
        names.push_back({a.name});
        writeFrames(out, a.name, {}, a.frames, a.drawn);
    }
    out.text("Tavro/info", animationIndex::text(names));

    std::vector<moveEntry> records;
    for (const Move& move : moves()) {
        records.push_back(move.record);
        writeFrames(out, move.record.name, move.poses, move.frames, true);
    }
    out.text("Tavro/moveset", moveFile::text(records));

    out.text("Tavro/ai/attack", attackFile::text(attackTable()));

    std::vector<colourSwap> swaps;
    for (const auto& [from, to] : secondPaletteSwaps()) {
        colourSwap swap;
        swap.from[0] = from.r, swap.from[1] = from.g, swap.from[2] = from.b;
        swap.to[0] = to.r, swap.to[1] = to.g, swap.to[2] = to.b;
        swaps.push_back(swap);
    }
    out.text(std::string("Tavro/") + paletteFile::name, paletteFile::write(swaps));
}

} // namespace gen
