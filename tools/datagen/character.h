// Tavro, the default fighter, as tables.  A move is two tables: its key
// poses, one row each with every joint angle, and its frames, one row each
// with the pose shown, the pause, the striking limb and its damage, the
// sound, the step and the particle thrown.  The animations are frame tables
// over the stock stances alone.
#pragma once

#include "canvas.h"
#include "fighter/moveFile.h"
#include "figure.h"

#include <string>
#include <vector>

namespace gen {

// Every angle of a pose, in the order of the tables' columns (degrees, as
// in Pose: 0 points down, 90 forward, 180 up).
struct Joints {
    double torso, head;        // lean of the torso, extra tilt of the head
    double nUA, nFA, fUA, fFA; // near and far arm: upper arm, forearm
    double nTh, nSh, nFt;      // near leg: thigh, shin, foot
    double fTh, fSh, fFt;      // far leg
    double tails;              // the headband's tails
};

// What a pose shows besides its angles.  Looks combine with |.
struct Look {
    bool air = false; // off the floor, at the top of a jump
    bool nearOpen = false, farOpen = false;
    double glow = 0;       // a chi ball between the hands: its radius
    V2 glowAt{0, 0};       // and its place from the near hand
    bool coolGlow = false; // white-blue instead of orange
    double burst = 0;      // an impact star in front of the chest: its radius
    double burstFwd = 22;  // and how far in front
    double spin = 0;       // the whole body turned about the pelvis
    bool blink = false;
    bool shout = false;
};
Look operator|(Look a, const Look& b);
extern const Look aloft, openHands, openNearHand, blinking, shouting;
Look glow(double radius, double x, double y);
Look coolGlow(double radius, double x, double y);
Look burst(double radius, double forward = 22);
Look spin(double degrees);

// The stances every pose starts from: the guard breathing (b from 0 to 1),
// the crouch breathing, the tuck of a jump wobbling (w in degrees).
Pose guard(double b = 0);
Pose crouch(double b = 0);
Pose tuck(double w);
// A pose with a look added.
Pose with(Pose pose, const Look& look);

// A key pose of a move: its name in the move's frame table.
struct PoseRow {
    const char* name;
    Joints joints;
    Look look = {};
};

// The pose a frame shows: a key pose of its move, by name, or a stance.
class PoseRef {
  public:
    PoseRef(const char* name) : name_(name) {}
    PoseRef(const Pose& pose) : pose_(pose) {}
    // The pose, looked up among the move's key poses when named.
    Pose resolve(const std::string& move, const std::vector<PoseRow>& poses) const;

  private:
    const char* name_ = nullptr;
    Pose pose_;
};

// A particle a frame throws, placed from the near hand of the frame's pose:
// ahead of it by `ahead` pixels, at its height or on the floor.
struct Spawn {
    const char* name = nullptr;
    int ahead = 0;
    bool onFloor = false;
};
Spawn thrown(const char* name, int ahead);
Spawn alongFloor(const char* name, int ahead);

// One frame.  The damage box is the striking limb's; a frame with damage
// names its limb, and only such a frame.
struct FrameRow {
    PoseRef pose;
    int pause;
    Limb strike = NO_LIMB;
    int damage = 0;
    const char* sound = "NULL";
    int moveX = 0, moveY = 0;
    Spawn spawn = {};
};

// An animation the game asks for by name.
struct Animation {
    std::string name;
    std::vector<FrameRow> frames;
    bool drawn = true; // false: see-through, only measured for its boxes
};

// A move: its record in the move file, its key poses and its frames.
struct Move {
    moveEntry record;
    std::vector<PoseRow> poses;
    std::vector<FrameRow> frames;
};
// A move's record with its name, command and condition ("null": none).
Move newMove(const char* name, const char* command, const char* condition = "null");

// The animation index, in order.
std::vector<Animation> animations();
// The move file, in order.
std::vector<Move> moves();

} // namespace gen
