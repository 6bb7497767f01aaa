// Tavro, the default fighter: every animation and move as a list of poses,
// with timing, damage, sounds, particles and movement per frame; the move
// list and the opponent's attack table.
#include "ai/attackFile.h"
#include "datagen.h"
#include "fighter/animationIndex.h"
#include "fighter/moveFile.h"
#include "figure.h"

#include <cstdio>
#include <cstdlib>

namespace gen {

namespace {

// Wider than this, a damage box can cross the narrowest body (a hit
// reaction frame, 42 pixels) like a plus sign, without a corner inside it;
// no wider, a box that reaches into a body at a height within it always
// has a corner there.
constexpr int maxStrikeWidth = 42;

struct Frame {
    Pose pose;
    int pause = 30;
    int damage = 0;
    std::string sound = "NULL";
    std::vector<std::string> spawns;
    int moveX = 0, moveY = 0;
    bool drawn = true; // false: see-through, only measured for its boxes
};

// An animation: its name and its frames.
struct Action {
    std::string name;
    std::vector<Frame> frames;
};

Frame fr(const Pose& p, int pause) {
    Frame f;
    f.pose = p;
    f.pause = pause;
    return f;
}
Frame hit(Pose p, Limb limb, int pause, int damage) {
    p.strike = limb;
    Frame f = fr(p, pause);
    f.damage = damage;
    return f;
}
Frame& snd(Frame& f, const char* name) {
    f.sound = name;
    return f;
}

// ---- poses ---------------------------------------------------------------

// Fighting stance; b is the breathing depth from 0 to 1.
Pose guard(double b = 0) {
    Pose p;
    p.torso = 10 + 2 * b;
    p.head = -8 - 1 * b;
    p.nUA = 32 - 4 * b;
    p.nFA = 158 - 4 * b;
    p.fUA = 12 + 2 * b;
    p.fFA = 148 - 3 * b;
    p.nTh = 30 + 3 * b;
    p.nSh = -2 - 3 * b;
    p.nFt = 92;
    p.fTh = -18 - 2 * b;
    p.fSh = -40 - 3 * b;
    p.fFt = 80;
    p.tails = -112 + 6 * b;
    return p;
}

Pose crouch(double b = 0) {
    Pose p = guard();
    p.torso = 24 + 2 * b;
    p.head = -18;
    p.nUA = 48;
    p.nFA = 162 - 3 * b;
    p.fUA = 30;
    p.fFA = 155;
    p.nTh = 100 + 2 * b;
    p.nSh = -8;
    p.fTh = 38 + 2 * b;
    p.fSh = -88;
    p.fFt = 30;
    p.tails = -100;
    return p;
}

Pose airborne(Pose p, double lift) {
    p.grounded = false;
    p.lift = lift;
    return p;
}

Pose tuck(double wobble) {
    Pose p = guard();
    p.torso = 18 + wobble;
    p.head = -10;
    p.nUA = 55;
    p.nFA = 168;
    p.fUA = 35;
    p.fFA = 160;
    p.nTh = 118 + wobble;
    p.nSh = -8;
    p.nFt = 100;
    p.fTh = 85 + wobble;
    p.fSh = -40;
    p.fFt = 70;
    p.tails = -75 + wobble * 3;
    return airborne(p, 100);
}

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

// ---- actions ---------------------------------------------------------------

// The animations the game asks for by name, one function each;
// animations() lists them in the order of the animation index.

// Never shown: its first frame's size is the screen area every fighter saves
// and restores under itself.  A see-through frame with the guard's body box.
Action blank() {
    Action a;
    a.name = "blank";
    Frame f = fr(guard(), 100);
    f.drawn = false;
    a.frames.push_back(f);
    return a;
}

// Walking, and landing: one stride in eight poses.
Action walk() {
    Action a;
    a.name = "walk";
    for (int i = 0; i < 8; ++i)
        a.frames.push_back(fr(walkPose(i * 45.0), 26));
    return a;
}

// Running, after a double tap forward: a footstep on each foot's landing.
Action running() {
    Action a;
    a.name = "running";
    for (int i = 0; i < 8; ++i) {
        Frame f = fr(runPose(i * 45.0), 17);
        if (i == 2 || i == 6) f.sound = "step";
        a.frames.push_back(f);
    }
    return a;
}

// Ducking: the crouch, breathing.
Action duck() {
    Action a;
    a.name = "duck";
    a.frames.push_back(fr(crouch(0), 90));
    a.frames.push_back(fr(crouch(1), 90));
    return a;
}

// In the air: tucked, wobbling.
Action inAir() {
    Action a;
    a.name = "inAir";
    a.frames.push_back(fr(tuck(-6), 30));
    a.frames.push_back(fr(tuck(0), 30));
    a.frames.push_back(fr(tuck(6), 30));
    return a;
}

// Standing: the guard breathing in and out, with a blink at the end.
Action standing() {
    Action a;
    a.name = "standing";
    const double depth[6] = {0.0, 0.25, 0.75, 1.0, 0.75, 0.25};
    for (int i = 0; i < 6; ++i) {
        Pose p = guard(depth[i]);
        p.blink = i == 5;
        a.frames.push_back(fr(p, 45));
    }
    return a;
}

// The animation index, in order.  Blank stays first: a name the index lacks
// shows the first animation instead.
std::vector<Action> animations() {
    return {blank(), walk(), running(), duck(), inAir(), standing()};
}

// A move: its record in the move file and its frames.
struct Move {
    moveEntry record;
    std::vector<Frame> frames;
};

// Blocks raise the forearms in front of the head; the high block holds this.
Pose highGuard() {
    Pose p = guard();
    p.torso = 2;
    p.head = -4;
    p.nUA = 58;
    p.nFA = 178;
    p.fUA = 42;
    p.fFA = 172;
    p.nTh = 24;
    p.fTh = -24;
    return p;
}

// Ground moves carry no step on their first frame: when a move has run out,
// the fighter shows that frame again until its controller picks an animation,
// and the frame's step would apply once more.  Only the back jump and the air
// dashes lift on their first frame, and they last until the landing.
//
// The moves the engine starts by itself (hit reactions, blocks, back jumps,
// air dashes) carry the command X, which no key completes.  moves(), after
// the moves, gives their order in the move file.

// Fireball: down, forward, A.  Palms gather a glowing ball at the hip and
// thrust it forward; the ball leaves the hands on the thrust frame.
Move fireball() {
    Move a;
    a.record.name = "fireball";
    a.record.command = "DRA";
    Pose g = guard();
    g.torso = 2;
    g.head = -6;
    g.nHand = g.fHand = OPEN;
    g.nUA = -35;
    g.nFA = 45;
    g.fUA = -45;
    g.fFA = 35;
    g.nTh = 36;
    g.fTh = -24;
    g.glow = 6;
    g.glowAt = {-4, -6};
    Pose c = g;
    c.torso = -6;
    c.nUA = -45;
    c.nFA = 35;
    c.fUA = -55;
    c.fFA = 25;
    c.glow = 10;
    Pose t = guard();
    t.torso = 22;
    t.head = -16;
    t.nHand = t.fHand = OPEN;
    t.nUA = 84;
    t.nFA = 90;
    t.fUA = 76;
    t.fFA = 88;
    t.nTh = 48;
    t.nSh = -2;
    t.fTh = -30;
    t.fSh = -34;
    Pose h = t;
    h.torso = 18;
    a.frames.push_back(fr(g, 25));
    c.shout = true;
    Frame f1 = fr(c, 25);
    a.frames.push_back(snd(f1, "shout"));
    Frame f2 = fr(t, 20);
    snd(f2, "fireball");
    Drawn d = measureFighter(t);
    char line[64];
    std::snprintf(line, sizeof line, "fireball %d %d",
                  static_cast<int>(d.nearHand.x) - kAnchorX + 20,
                  kAnchorY - static_cast<int>(d.nearHand.y));
    f2.spawns.push_back(line);
    a.frames.push_back(f2);
    a.frames.push_back(fr(h, 30));
    a.frames.push_back(fr(guard(0.5), 25));
    return a;
}

// Uppercut: queued behind the punch (down, A), a rising fist.
Move uppercut() {
    Move a;
    a.record.name = "uppercut";
    a.record.command = "DA";
    a.record.linkMove = "punch";
    a.record.linkFrame = 1;
    Pose low = crouch();
    low.torso = 30;
    low.nUA = 10;
    low.nFA = 80;
    low.nTh = 70;
    low.nSh = -5;
    low.fTh = 10;
    low.fSh = -50;
    low.fFt = 60;
    Pose rise = guard();
    rise.torso = 8;
    rise.head = -12;
    rise.nUA = 100;
    rise.nFA = 150;
    rise.fUA = -20;
    rise.fFA = 80;
    rise.nTh = 40;
    rise.nSh = 5;
    rise.fTh = -15;
    rise.fSh = -30;
    Pose top = rise;
    top.torso = 4;
    top.head = -18;
    top.nUA = 95;
    top.nFA = 148;
    top.nTh = 60;
    top.nSh = -10;
    top.fTh = -5;
    top.fSh = -12;
    Pose hold = top;
    hold.strike = NO_LIMB;
    hold.torso = -4;
    a.frames.push_back(fr(low, 12));
    rise.shout = true;
    Frame f1 = hit(rise, NEAR_ARM, 12, 70);
    f1.moveX = 7;
    a.frames.push_back(snd(f1, "shout"));
    Frame f2 = hit(top, NEAR_ARM, 18, 70);
    f2.moveX = 6;
    a.frames.push_back(f2);
    Pose high = top;
    high.torso = 2;
    high.nUA = 102;
    high.nFA = 158;
    Frame f3 = hit(high, NEAR_ARM, 30, 70);
    f3.moveX = 2;
    a.frames.push_back(f3);
    a.frames.push_back(fr(hold, 15));
    a.frames.push_back(fr(guard(0.5), 15));
    return a;
}

// Palm strike: queued behind the crouching jab (forward, A), the fighter
// springs up from the crouch and drives an open palm forward, lunging so
// that it still reaches an opponent the jab knocked back.
Move palmStrike() {
    Move a;
    a.record.name = "palmStrike";
    a.record.command = "RA";
    a.record.linkMove = "crouchPunch";
    a.record.linkFrame = 1;
    Pose load = crouch();
    load.torso = 28;
    load.nUA = 30;
    load.nFA = 100;
    load.nHand = OPEN;
    Pose drive = guard();
    drive.torso = 20;
    drive.head = -14;
    drive.nHand = OPEN;
    drive.nUA = 86;
    drive.nFA = 92;
    drive.fUA = -30;
    drive.fFA = 110;
    drive.nTh = 48;
    drive.nSh = -4;
    drive.fTh = -26;
    drive.fSh = -36;
    Pose reach = drive;
    reach.torso = 24;
    reach.nUA = 90;
    reach.nFA = 90;
    Pose hold = reach;
    hold.torso = 22;
    hold.nUA = 92;
    hold.nFA = 96;
    Pose back = guard();
    back.nHand = OPEN;
    back.nUA = 60;
    back.nFA = 130;
    a.frames.push_back(fr(load, 12));
    drive.shout = true;
    Frame f1 = hit(drive, NEAR_ARM, 12, 55);
    f1.moveX = 7;
    a.frames.push_back(snd(f1, "shout"));
    Frame f2 = hit(reach, NEAR_ARM, 18, 55);
    f2.moveX = 6;
    a.frames.push_back(f2);
    Frame f3 = hit(hold, NEAR_ARM, 26, 55);
    f3.moveX = 2;
    a.frames.push_back(f3);
    a.frames.push_back(fr(back, 14));
    a.frames.push_back(fr(guard(0.5), 14));
    return a;
}

// Sweep: down, B while the kick is out; cancels the kick into a low
// spinning sweep that slides forward.
Move sweep() {
    Move a;
    a.record.name = "sweep";
    a.record.command = "DB";
    a.record.fromMove = "kick";
    a.record.fromFrame = 3;
    // squatting on the rear leg, the front leg swept along the floor
    Pose base = crouch();
    base.torso = 38;
    base.head = -24;
    base.nUA = 70;
    base.nFA = 150;
    base.fUA = 10;
    base.fFA = 40;
    base.fTh = 82;
    base.fSh = -12;
    base.fFt = 95;
    Pose s0 = base;
    s0.nTh = 92;
    s0.nSh = 10;
    s0.nFt = 110;
    Pose s1 = base;
    s1.nTh = 66;
    s1.nSh = 74;
    s1.nFt = 140;
    Pose s2 = s1;
    s2.nTh = 70;
    s2.nSh = 82;
    s2.torso = 42;
    Pose s3 = base;
    s3.nTh = 80;
    s3.nSh = 0;
    Frame f0 = fr(s0, 12);
    a.frames.push_back(f0);
    Frame f1 = hit(s1, NEAR_LEG, 12, 60);
    f1.moveX = 3;
    a.frames.push_back(snd(f1, "whoosh"));
    Frame f2 = hit(s2, NEAR_LEG, 20, 60);
    f2.moveX = 2;
    a.frames.push_back(f2);
    Pose s2b = s2;
    s2b.torso = 40;
    a.frames.push_back(hit(s2b, NEAR_LEG, 24, 60));
    a.frames.push_back(fr(s3, 14));
    a.frames.push_back(fr(crouch(), 14));
    return a;
}

// Flying kick: B in the air.
Move airKick() {
    Move a;
    a.record.name = "airKick";
    a.record.command = "B";
    a.record.condition = "ground is false";
    Pose c = tuck(0);
    c.nTh = 120;
    c.nSh = 0;
    Pose k = c;
    k.torso = -12;
    k.head = 6;
    k.nTh = 62;
    k.nSh = 58;
    k.nFt = 140;
    k.fTh = 100;
    k.fSh = -30;
    k.nUA = -40;
    k.nFA = 10;
    k.fUA = 120;
    k.fFA = 160;
    k.tails = -60;
    a.frames.push_back(fr(c, 12));
    Frame f1 = hit(k, NEAR_LEG, 40, 70);
    a.frames.push_back(snd(f1, "kick"));
    Pose k2 = k;
    k2.tails = -50;
    a.frames.push_back(hit(k2, NEAR_LEG, 100, 70));
    return a;
}

// Front kick: B on the ground.
Move kick() {
    Move a;
    a.record.name = "kick";
    a.record.command = "B";
    a.record.condition = "ground is true";
    Pose ch = guard();
    ch.torso = 0;
    ch.nTh = 105;
    ch.nSh = 5;
    ch.fTh = -6;
    ch.fSh = -10;
    ch.fFt = 90;
    Pose ex = ch;
    ex.torso = -8;
    ex.nTh = 95;
    ex.nSh = 62;
    ex.nFt = 150;
    Pose full = ex;
    full.torso = -12;
    full.head = -2;
    full.nTh = 90;
    full.nSh = 88;
    full.nFt = 168;
    full.nUA = 20;
    full.nFA = 140;
    Pose back = ch;
    back.nTh = 80;
    back.nSh = -5;
    a.frames.push_back(fr(ch, 15));
    Frame f1 = hit(ex, NEAR_LEG, 12, 60);
    a.frames.push_back(snd(f1, "kick"));
    a.frames.push_back(hit(full, NEAR_LEG, 20, 60));
    a.frames.push_back(fr(back, 15));
    a.frames.push_back(fr(guard(0.5), 15));
    return a;
}

// Heavy: C, a high roundhouse kick with a shout.
Move heavy() {
    Move a;
    a.record.name = "heavy";
    a.record.command = "C";
    a.record.condition = "ground is true";
    Pose w = guard();
    w.torso = 4;
    w.nTh = 60;
    w.nSh = -30;
    w.fTh = -8;
    w.fSh = -14;
    w.fFt = 90;
    Pose up = w;
    up.torso = -10;
    up.nTh = 120;
    up.nSh = 40;
    up.nFt = 120;
    up.nUA = -20;
    up.nFA = 60;
    up.fUA = 70;
    up.fFA = 150;
    Pose hi = up;
    hi.torso = -28;
    hi.head = 10;
    hi.nTh = 128;
    hi.nSh = 118;
    hi.nFt = 178;
    hi.fTh = -10;
    hi.fSh = -10;
    Pose follow = hi;
    follow.torso = -22;
    follow.nTh = 118;
    follow.nSh = 100;
    follow.nFt = 170;
    Pose down = w;
    down.nTh = 70;
    down.nSh = -10;
    Frame f0 = fr(w, 18);
    a.frames.push_back(f0);
    Frame f1 = fr(up, 15);
    f1.moveX = 2;
    a.frames.push_back(snd(f1, "whoosh"));
    hi.shout = true;
    Frame f2 = hit(hi, NEAR_LEG, 18, 110);
    a.frames.push_back(snd(f2, "shout"));
    a.frames.push_back(hit(follow, NEAR_LEG, 15, 110));
    a.frames.push_back(fr(down, 20));
    a.frames.push_back(fr(guard(0.5), 20));
    return a;
}

// Punch: A, a straight lead-hand punch.
Move punch() {
    Move a;
    a.record.name = "punch";
    a.record.command = "A";
    a.record.condition = "ground is true";
    Pose c = guard();
    c.nUA = 55;
    c.nFA = 125;
    c.torso = 14;
    Pose e = guard();
    e.torso = 18;
    e.head = -14;
    e.nUA = 82;
    e.nFA = 88;
    e.fUA = -25;
    e.fFA = 120;
    e.nTh = 38;
    Pose f = e;
    f.torso = 22;
    f.nUA = 88;
    f.nFA = 90;
    Pose r = c;
    r.nUA = 62;
    r.nFA = 130;
    a.frames.push_back(fr(c, 12));
    Frame f1 = hit(e, NEAR_ARM, 12, 40);
    a.frames.push_back(snd(f1, "punch"));
    a.frames.push_back(hit(f, NEAR_ARM, 16, 40));
    a.frames.push_back(fr(r, 8));
    a.frames.push_back(fr(guard(0.5), 8));
    return a;
}

// Crouching jab: down, A from neutral.  The lead fist snaps out at belly
// height while the fighter stays low.
Move crouchPunch() {
    Move a;
    a.record.name = "crouchPunch";
    a.record.command = "DA";
    a.record.condition = "ground is true";
    Pose c = crouch();
    c.nUA = 40;
    c.nFA = 120;
    Pose e = crouch();
    e.torso = 30;
    e.head = -22;
    e.nUA = 84;
    e.nFA = 86;
    e.fUA = 20;
    e.fFA = 130;
    Pose f = e;
    f.torso = 33;
    f.nUA = 88;
    f.nFA = 88;
    Pose r = crouch();
    r.nUA = 60;
    r.nFA = 130;
    a.frames.push_back(fr(c, 10));
    Frame f1 = hit(e, NEAR_ARM, 10, 30);
    a.frames.push_back(snd(f1, "jab"));
    a.frames.push_back(hit(f, NEAR_ARM, 14, 30));
    a.frames.push_back(fr(r, 8));
    a.frames.push_back(fr(crouch(0.5), 8));
    return a;
}

// Crouching kick: down, B from neutral.  The lead foot pokes out along
// the floor at shin height; no spin and no slide, unlike the sweep.
Move crouchKick() {
    Move a;
    a.record.name = "crouchKick";
    a.record.command = "DB";
    a.record.condition = "ground is true";
    Pose c = crouch();
    c.nTh = 110;
    c.nSh = 20;
    c.nFt = 110;
    Pose e = crouch();
    e.torso = 14;
    e.head = -10;
    e.nUA = 60;
    e.nFA = 165;
    e.fUA = 20;
    e.fFA = 150;
    e.nTh = 84;
    e.nSh = 86;
    e.nFt = 150;
    Pose f = e;
    f.nTh = 86;
    f.nSh = 90;
    f.nFt = 155;
    Pose r = crouch();
    r.nTh = 105;
    r.nSh = 30;
    r.nFt = 115;
    a.frames.push_back(fr(c, 12));
    Frame f1 = hit(e, NEAR_LEG, 12, 45);
    a.frames.push_back(snd(f1, "lowKick"));
    a.frames.push_back(hit(f, NEAR_LEG, 16, 45));
    a.frames.push_back(fr(r, 14));
    a.frames.push_back(fr(crouch(0.5), 14));
    return a;
}

// Crouching heavy: down, C from neutral.  Still low, the fighter drives
// the lead fist up at a slant: a blow against a fighter jumping in.  The
// uppercut, by contrast, rises to full height after a punch.
Move crouchHeavy() {
    Move a;
    a.record.name = "crouchHeavy";
    a.record.command = "DC";
    a.record.condition = "ground is true";
    Pose c = crouch();
    c.torso = 34;
    c.head = -26;
    c.nUA = 20;
    c.nFA = 70;
    Pose e = crouch();
    e.torso = 6;
    e.head = -14;
    e.nUA = 138;
    e.nFA = 146;
    e.fUA = 10;
    e.fFA = 120;
    e.nTh = 96;
    e.fTh = 30;
    Pose f = e;
    f.torso = 2;
    f.nUA = 142;
    f.nFA = 150;
    Pose r = crouch();
    r.torso = 16;
    r.nUA = 90;
    r.nFA = 160;
    a.frames.push_back(fr(c, 14));
    e.shout = true;
    Frame f1 = hit(e, NEAR_ARM, 12, 85);
    a.frames.push_back(snd(f1, "rising"));
    a.frames.push_back(hit(f, NEAR_ARM, 20, 85));
    a.frames.push_back(fr(r, 18));
    a.frames.push_back(fr(crouch(0.5), 16));
    return a;
}

// Air punch: A in the air, a fist driven down and forward.
Move airPunch() {
    Move a;
    a.record.name = "airPunch";
    a.record.command = "A";
    a.record.condition = "ground is false";
    Pose c = tuck(0);
    c.nUA = 40;
    c.nFA = 140;
    Pose e = tuck(0);
    e.torso = 26;
    e.head = -20;
    e.nUA = 62;
    e.nFA = 58;
    e.fUA = 150;
    e.fFA = 120;
    e.tails = -60;
    Pose f = e;
    f.nUA = 58;
    f.nFA = 54;
    f.tails = -50;
    a.frames.push_back(fr(c, 10));
    Frame f1 = hit(e, NEAR_ARM, 40, 50);
    a.frames.push_back(snd(f1, "punch"));
    a.frames.push_back(hit(f, NEAR_ARM, 100, 50));
    return a;
}

// Air heavy: C in the air, a stamping heel driven down at the opponent's
// head or shins, arms flung up for balance.
Move airHeavy() {
    Move a;
    a.record.name = "airHeavy";
    a.record.command = "C";
    a.record.condition = "ground is false";
    Pose c = tuck(0);
    c.nTh = 140;
    c.nSh = 40;
    c.torso = -6;
    Pose k = tuck(0);
    k.torso = -18;
    k.head = 10;
    k.nTh = 52;
    k.nSh = 40;
    k.nFt = 120;
    k.fTh = 120;
    k.fSh = 10;
    k.nUA = 110;
    k.nFA = 160;
    k.fUA = -50;
    k.fFA = 10;
    k.tails = -30;
    Pose k2 = k;
    k2.nSh = 36;
    k2.tails = -20;
    a.frames.push_back(fr(c, 14));
    k.shout = true;
    Frame f1 = hit(k, NEAR_LEG, 40, 90);
    a.frames.push_back(snd(f1, "shout"));
    a.frames.push_back(hit(k2, NEAR_LEG, 100, 90));
    return a;
}

// Shockwave: down, back, C on the ground.  Both palms gather a white chi
// overhead and slam the floor; a wave runs along the floor and, if it
// meets nobody, bursts into a pillar of blue flame where it dies.
Move shockwave() {
    Move a;
    a.record.name = "shockwave";
    a.record.command = "DLC";
    a.record.condition = "ground is true";
    Pose up = guard();
    up.torso = -8;
    up.head = -10;
    up.nHand = up.fHand = OPEN;
    up.nUA = 168;
    up.nFA = 178;
    up.fUA = 160;
    up.fFA = 172;
    up.nTh = 28;
    up.fTh = -20;
    up.glow = 7;
    up.glowAt = {2, -10};
    up.coolGlow = true;
    Pose high = up;
    high.torso = -14;
    high.glow = 11;
    high.shout = true;
    Pose slam = crouch();
    slam.torso = 52;
    slam.head = -34;
    slam.nHand = slam.fHand = OPEN;
    slam.nUA = 48;
    slam.nFA = 24;
    slam.fUA = 40;
    slam.fFA = 18;
    slam.glow = 8;
    slam.glowAt = {6, 2};
    slam.coolGlow = true;
    Pose hold = slam;
    hold.torso = 48;
    hold.glow = 0;
    a.frames.push_back(fr(up, 20));
    Frame f1 = fr(high, 20);
    a.frames.push_back(snd(f1, "shout"));
    Frame f2 = fr(slam, 25);
    snd(f2, "rumble");
    Drawn d = measureFighter(slam);
    char line[64];
    std::snprintf(line, sizeof line, "shockwave %d 0",
                  static_cast<int>(d.nearHand.x) - kAnchorX - 6);
    f2.spawns.push_back(line);
    a.frames.push_back(f2);
    a.frames.push_back(fr(hold, 30));
    a.frames.push_back(fr(crouch(0.5), 25));
    return a;
}

// Hit reaction: the head snaps back and the body is pushed away.
Move hit1() {
    Move a;
    a.record.name = "hit1";
    a.record.command = "X";
    Pose p0 = guard();
    p0.torso = -14;
    p0.head = -16;
    p0.nUA = -10;
    p0.nFA = 60;
    p0.fUA = -40;
    p0.fFA = 20;
    p0.nHand = p0.fHand = OPEN;
    p0.nTh = 40;
    p0.nSh = 10;
    p0.fTh = -10;
    p0.fSh = -20;
    p0.tails = -70;
    Pose p1 = p0;
    p1.torso = -24;
    p1.head = -22;
    p1.nUA = -25;
    p1.nFA = 45;
    p1.fUA = -55;
    p1.fFA = 5;
    p1.blink = true;
    Pose p2 = p0;
    p2.torso = -6;
    p2.head = 8;
    p2.blink = true;
    p0.burst = 16;
    p1.burst = 11;
    Frame f0 = fr(p0, 2);
    a.frames.push_back(f0);
    Frame f1 = fr(p1, 24);
    f1.moveX = -2;
    a.frames.push_back(snd(f1, "hit"));
    Frame f2 = fr(p2, 22);
    a.frames.push_back(snd(f2, "hurt"));
    a.frames.push_back(fr(guard(0.8), 30));
    return a;
}

// High block: the forearms meet a blow at head height.
Move blockHi() {
    Move a;
    a.record.name = "blockHi";
    a.record.command = "X";
    Pose guardUp = highGuard();
    Pose p = guardUp;
    p.torso = -6;
    p.head = 6;
    p.burst = 13;
    p.burstFwd = 36;
    a.frames.push_back(fr(guard(), 6));
    Frame f1 = fr(p, 30);
    f1.moveX = -1;
    a.frames.push_back(snd(f1, "block"));
    a.frames.push_back(fr(guardUp, 20));
    return a;
}

// Low block: crouching, the forearms guard the shins.
Move blockLo() {
    Move a;
    a.record.name = "blockLo";
    a.record.command = "X";
    Pose p = crouch();
    p.nUA = 70;
    p.nFA = 170;
    p.fUA = 55;
    p.fFA = 165;
    p.torso = 18;
    Pose flash = p;
    flash.burst = 13;
    flash.burstFwd = 36;
    a.frames.push_back(fr(crouch(), 6));
    Frame f1 = fr(flash, 30);
    f1.moveX = -1;
    a.frames.push_back(snd(f1, "block"));
    a.frames.push_back(fr(p, 20));
    return a;
}

// Air block: tucked, the forearms raised in the air.
Move blockAir() {
    Move a;
    a.record.name = "blockAir";
    a.record.command = "X";
    Pose p = tuck(0);
    p.nUA = 58;
    p.nFA = 178;
    p.fUA = 42;
    p.fFA = 172;
    p.torso = 6;
    Pose flash = p;
    flash.burst = 13;
    flash.burstFwd = 36;
    a.frames.push_back(fr(tuck(0), 6));
    Frame f1 = fr(flash, 40);
    a.frames.push_back(snd(f1, "block"));
    a.frames.push_back(fr(p, 90));
    return a;
}

// Back jump: a crouch, a lift off the floor and a backward hop.
Move backJump() {
    Move a;
    a.record.name = "backJump";
    a.record.command = "X";
    Pose c = crouch();
    c.torso = 10;
    c.nTh = 70;
    c.fTh = 10;
    c.fSh = -70;
    Pose air = tuck(0);
    air.spin = -25;
    air.torso = 0;
    air.nUA = 100;
    air.nFA = 140;
    air.fUA = 120;
    air.fFA = 150;
    air.tails = -30;
    Pose air2 = air;
    air2.spin = -12;
    Frame f0 = fr(c, 20);
    f0.moveX = -5;
    f0.moveY = 8;
    a.frames.push_back(f0);
    Frame f1 = fr(air, 40);
    f1.moveX = -5;
    a.frames.push_back(snd(f1, "whoosh"));
    Frame f2 = fr(air2, 60);
    f2.moveX = -4;
    a.frames.push_back(f2);
    return a;
}

// Air dashes, started by a double tap in the air: backward.
Move airBack() {
    Move a;
    a.record.name = "airBack";
    a.record.command = "X";
    Pose p = tuck(0);
    p.spin = -30;
    p.tails = -20;
    Pose p2 = p;
    p2.spin = -15;
    Frame f0 = fr(tuck(0), 15);
    f0.moveX = -6;
    f0.moveY = 5;
    a.frames.push_back(f0);
    Frame f1 = fr(p, 60);
    f1.moveX = -6;
    a.frames.push_back(snd(f1, "whoosh"));
    Frame f2 = fr(p2, 80);
    f2.moveX = -5;
    a.frames.push_back(f2);
    return a;
}

// Air dash forward.
Move airForward() {
    Move a;
    a.record.name = "airForward";
    a.record.command = "X";
    Pose p = tuck(0);
    p.torso = 45;
    p.head = -30;
    p.nTh = 60;
    p.nSh = -10;
    p.fTh = -20;
    p.fSh = -70;
    p.tails = -140;
    Pose p2 = p;
    p2.torso = 38;
    Frame f0 = fr(tuck(0), 15);
    f0.moveX = 6;
    f0.moveY = 5;
    a.frames.push_back(f0);
    Frame f1 = fr(p, 60);
    f1.moveX = 6;
    a.frames.push_back(snd(f1, "whoosh"));
    Frame f2 = fr(p2, 80);
    f2.moveX = 5;
    a.frames.push_back(f2);
    return a;
}

// The move file, in order.  File order is priority order within each
// button's list: longer commands before the shorter ones they contain, the
// air version of a button before the ground version.  The fireball stays
// first.
std::vector<Move> moves() {
    return {fireball(),   shockwave(),   uppercut(),  palmStrike(), crouchPunch(), sweep(),
            crouchKick(), crouchHeavy(), airPunch(),  punch(),      airKick(),     kick(),
            airHeavy(),   heavy(),       hit1(),      blockHi(),    blockLo(),     blockAir(),
            backJump(),   airBack(),     airForward()};
}

// Writes a frame folder: one bitmap per frame and the index naming them.
void writeFrames(Writer& out, const std::string& name, const std::vector<Frame>& frames) {
    const std::string dir = "Tavro/" + name;
    std::vector<frameEntry> entries;
    std::vector<RGB> pal;
    fighterPalette(pal);
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        if ((f.damage > 0) != (f.pose.strike != NO_LIMB)) {
            std::fprintf(stderr, "datagen: %s frame %zu: damage without a striking limb\n",
                         name.c_str(), i);
            std::exit(1);
        }
        Indexed img(kFrameW, kFrameH);
        img.palette = pal;
        Drawn d;
        if (!f.drawn) {
            d = measureFighter(f.pose);
        } else {
            const Pose* prev = f.pose.strike != NO_LIMB && i > 0 ? &frames[i - 1].pose : nullptr;
            d = drawFighter(img, f.pose, prev);
        }
        char file[32];
        std::snprintf(file, sizeof file, "f%02zu.bmp", i);
        out.bytes(dir + "/" + file, bmp8(img));
        frameEntry entry = indexEntry(file, f.pause);
        spriteFrame& frame = entry.frame;
        frame.offsetX = kAnchorX;
        frame.offsetY = kAnchorY;
        setCollisionBox(frame, d.body);
        if (f.damage > 0) {
            // The game's box test looks for a corner of one box inside the
            // other, so a damage box wider than the opponent's body can lie
            // across it like a plus sign and miss.  Keep the far end of the
            // striking limb, narrower than any body it should hurt.
            Box strike = d.strike;
            if (strike.x2 - strike.x1 > maxStrikeWidth) strike.x1 = strike.x2 - maxStrikeWidth;
            setDamageBox(frame, strike);
            frame.damage = f.damage;
            frame.hitType = 1;
        }
        frame.soundName = f.sound;
        frame.partNames = f.spawns;
        frame.moveX = f.moveX;
        frame.moveY = f.moveY;
        frame.tagName = name;
        entries.push_back(entry);
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
    std::vector<Action> anims = animations();
    std::vector<animationName> names;
    for (const Action& a : anims) {
        names.push_back({a.name});
        writeFrames(out, a.name, a.frames);
    }
    out.text("Tavro/info", animationIndex::text(names));

    std::vector<moveEntry> records;
    for (const Move& move : moves()) {
        records.push_back(move.record);
        writeFrames(out, move.record.name, move.frames);
    }
    out.text("Tavro/moveset", moveFile::text(records));

    out.text("Tavro/ai/attack", attackFile::text(attackTable()));
}

} // namespace gen
