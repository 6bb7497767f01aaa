// A small character written to a temporary folder, two fighters facing each
// other on the ground and player 1's controller over them, with a test clock
// and keys that the test holds by hand.
#pragma once

#include "base/gamepad.h"
#include "base/platform.h"
#include "control/inputChecker.h"
#include "control/playerControl.h"
#include "fighter/animationIndex.h"
#include "fighter/animationSet.h"
#include "fighter/fighter.h"
#include "fighter/moveFile.h"
#include "fighter/moveSet.h"
#include "fighter/target.h"
#include "particle/partInfoList.h"
#include "particle/particleFile.h"
#include "particle/particleList.h"
#include "particle/particleListFile.h"
#include "sound/soundSet.h"
#include "sprite/frameIndex.h"
#include "testSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace control_fixture {
using namespace testing_support;

// One frame of a 40x80 figure anchored between its feet; its body box is the
// whole image, its damage box (only when it does damage) reaches 20 px ahead.
struct FrameDescription {
    int damage = 0;
    int hitType = 0;
    std::string sound = "NULL";
    std::vector<std::string> parts;
};
inline FrameDescription frame(int damage, int hitType, const std::string& sound = "NULL") {
    FrameDescription f;
    f.damage = damage, f.hitType = hitType, f.sound = sound;
    return f;
}

struct MoveDescription {
    std::string name, command = "UU", link = "NULL";
    int linkFrame = 0;
    std::string from = "NULL";
    int fromFrame = 0;
    std::string condition = "null";
    std::vector<FrameDescription> frames{FrameDescription{}, FrameDescription{},
                                         FrameDescription{}};
};

inline void writeFrames(const TempDir& dir, const std::string& folder,
                        const std::vector<FrameDescription>& frames) {
    std::vector<frameEntry> entries;
    for (const FrameDescription& f : frames) {
        frameEntry entry;
        entry.bitmap = "f.bmp";
        spriteFrame& frame = entry.frame;
        frame.pause = 100;
        frame.offsetX = 20;
        frame.offsetY = 80;
        frame.colX2 = 40;
        frame.colY2 = 80;
        if (f.damage) {
            frame.dmgX1 = frame.dmgY1 = 20;
            frame.dmgX2 = 60;
            frame.dmgY2 = 40;
        }
        frame.damage = f.damage;
        frame.hitType = f.hitType;
        frame.soundName = f.sound;
        frame.partNames = f.parts;
        frame.tagName = "none";
        entries.push_back(entry);
    }
    dir.write(folder + "/info", frameIndex::text(entries));
    dir.writeBmp(folder + "/f.bmp", 40, 80, 0x3366CC);
}

inline std::vector<MoveDescription> standardMoves() {
    std::vector<MoveDescription> m;
    for (const char* n :
         {"hit1", "blockHi", "blockLo", "blockAir", "backJump", "airBack", "airForward"})
        m.push_back(MoveDescription{n});
    m.push_back(MoveDescription{"fireball", "DRA"});
    m.push_back(MoveDescription{"punch", "A"});
    m.push_back(MoveDescription{"uppercut", "B", "punch", 1});
    m.push_back(MoveDescription{"kick", "B"});
    m.push_back(MoveDescription{"punchCancel", "C", "NULL", 0, "punch", 1});
    m.push_back(MoveDescription{"jab", "UU"});
    m.back().frames = {frame(50, 1), frame(50, 1)};
    m.push_back(MoveDescription{"tap", "UU"});
    m.back().frames = {frame(50, 0)};
    m.push_back(MoveDescription{"crush", "UU"});
    m.back().frames = {frame(5000, 1)};
    m.push_back(MoveDescription{"throw", "UU"});
    FrameDescription spawn, spawnTwo;
    spawn.parts = {"fire 60 0"};
    spawnTwo.parts = {"fire 60 0", "fire 100 0"};
    m.back().frames = {FrameDescription{}, spawn, spawn, FrameDescription{}, spawnTwo};
    m.push_back(MoveDescription{"swing", "UU"});
    m.back().frames = {frame(0, 0), frame(0, 0, "whoosh"), frame(0, 0, "whoosh"),
                       frame(0, 0, "thud")};
    return m;
}

inline void writeCharacter(const TempDir& dir, const std::vector<MoveDescription>& moves) {
    std::vector<animationName> anims = {{"blank"}, {"walk"},  {"running"},
                                        {"duck"},  {"inAir"}, {"standing"}};
    for (const animationName& a : anims)
        writeFrames(dir, "Tavro/" + a.name, {FrameDescription{}});
    dir.write("Tavro/info", animationIndex::text(anims));
    std::vector<moveEntry> records;
    for (const MoveDescription& m : moves) {
        moveEntry record;
        record.name = m.name;
        record.command = m.command;
        record.linkMove = m.link;
        record.linkFrame = m.linkFrame;
        record.fromMove = m.from;
        record.fromFrame = m.fromFrame;
        record.condition = m.condition;
        records.push_back(record);
        writeFrames(dir, "Tavro/" + m.name, m.frames);
    }
    dir.write("Tavro/moveset", moveFile::text(records));
}

// Keys held down, as SDL's key-state array would hold them.
inline Uint8 heldKeys[SDLK_LAST];
inline const Uint8* readHeldKeys() {
    return heldKeys;
}

inline void pushKey(SDLKey key, Uint8 type = SDL_KEYDOWN) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
}

inline void place(Fighter& f, int x, bool right) {
    f.xPos = x;
    f.yPos = g_GroundLevel;
    f.onGround = true;
    f.jumpsLeft = 2;
    f.speed = 1.0f;
    f.setDir(right);
    f.changeAnim("standing");
}

struct Arena {
    HeadlessScreen screen;
    ManualClock clock{1000};
    TraceCapture trace;
    TempDir dir;
    animationSet anims;
    moveSet moves;
    soundSet sounds;
    partInfoList defs;
    particleList live;
    Fighter p1, p2;
    Target targ, targ2; // p2 as p1 sees it, and p1 as p2 sees it
    gamePad pad;
    std::unique_ptr<inputChecker> checker;
    playerControl ctl;
    SDL_Event event{};

    Arena() {
        writeCharacter(dir, standardMoves());
        anims.loadAll((dir / "Tavro").c_str());
        moves.loadAll((dir / "Tavro").c_str());
        p1.initS(&anims, screen.surface());
        p2.initS(&anims, screen.surface());
        place(p1, 300, true);
        place(p2, 500, false);
        targ.setTarget(&p2);
        targ2.setTarget(&p1);
        pad.buttonA = SDLK_z, pad.buttonB = SDLK_x, pad.buttonC = SDLK_c;
        pad.leftKey = SDLK_LEFT, pad.rightKey = SDLK_RIGHT;
        pad.upKey = SDLK_UP, pad.downKey = SDLK_DOWN;
        checker = std::make_unique<inputChecker>(&moves, &p1);
        checker->target = &targ;
        ctl.init(screen.surface());
        ctl.setup(&p1, nullptr, &live, &sounds, &anims, &moves, &pad, checker.get(), &targ);
        std::fill(std::begin(heldKeys), std::end(heldKeys), 0);
        playerControl::setKeyStateSource(readHeldKeys);
        trace.clear();
    }
    ~Arena() { playerControl::setKeyStateSource(nullptr); }

    // A fireball: 40 damage of hit type 1, stops at the first enemy it hits.
    void loadParticles() {
        dir.write("data/particle/default", particleListFile::write({{"fire", 1}}));
        writeFrames(dir, "data/particle/fire", {frame(40, 1)});
        particleRecord fire;
        fire.events[OnHitEnemy] = {"spark"};
        dir.write("data/particle/fire/particle", particleFile::write(fire));
        const std::string home = platform::currentDirectory();
        platform::changeDirectory(dir.path());
        defs.addList("default", screen.surface());
        platform::changeDirectory(home);
        ctl.partInfo = &defs;
    }

    // One pass of player 1's part of the main loop, ms after the last.
    void pass(Uint32 ms = 20) {
        clock.advance(ms);
        ctl.update();
        ctl.inputChecking(event);
    }
    void hold(SDLKey key, bool down = true) { heldKeys[key] = down ? 1 : 0; }
    std::string letters() const {
        std::string s;
        for (const inputKeys& k : checker->keys)
            s += k.key;
        return s;
    }
};

inline int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

} // namespace control_fixture
