// The fighter's body: a pose of joint angles is turned into layered shapes
// (tapered capsules and polygons with a dark outline and cylinder shading),
// painted into a paletted frame, and measured for the collision and damage
// boxes so the boxes always match the drawing.
#pragma once

#include "canvas.h"

#include <utility>
#include <vector>

namespace gen {

// Frame geometry shared by every frame of the character.
constexpr int kFrameW = 240;
constexpr int kFrameH = 240;
constexpr int kAnchorX = 120;
constexpr int kAnchorY = 232;

enum Material {
    M_SKIN,
    M_GI,
    M_PANTS,
    M_BELT,
    M_BAND,
    M_HAIR,
    M_WRAP,
    M_DARK,
    M_GLOW,
    M_STREAK,
    M_COUNT
};
constexpr int kOutlineIndex = 1;
constexpr int kShades = 16;
int paletteIndex(int material, int shade);
void fighterPalette(std::vector<RGB>& palette);
// The fighter's palette drawn from other base colours, one per material.
void fighterPaletteOf(const RGB* bases, std::vector<RGB>& palette);
// The colours player 2 wears in a versus match: each colour of the
// fighter's palette that differs, with what replaces it.
std::vector<std::pair<RGB, RGB>> secondPaletteSwaps();

enum Hand { FIST, OPEN };
enum Limb { NO_LIMB, NEAR_ARM, FAR_ARM, NEAR_LEG, FAR_LEG };

// Angles in degrees: 0 points down, 90 forward (the way the fighter faces),
// 180 up, negative values point backward.  Arm and leg segment angles are
// absolute, not relative to the parent segment.
struct Pose {
    double px = 0;        // pelvis x relative to the anchor
    double lift = 0;      // when airborne: pelvis height above the floor
    bool grounded = true; // grounded poses stand with the lowest sole on the floor
    double torso = 8;     // forward lean of the torso
    double head = 0;      // extra head tilt
    double spin = 0;      // whole-body rotation about the pelvis (flips, tucks)
    double nUA = 20, nFA = 140, fUA = 40, fFA = 150; // near / far arm: upper arm, forearm
    double nTh = 20, nSh = -5, nFt = 90;             // near leg: thigh, shin, foot
    double fTh = -20, fSh = -28, fFt = 80;           // far leg
    Hand nHand = FIST, fHand = FIST;
    double tails = -110;   // headband tails direction
    double glow = 0;       // radius of a chi ball between the hands (0: none)
    V2 glowAt{0, 0};       // chi ball position relative to the near hand
    bool coolGlow = false; // the ball glows white-blue instead of orange
    double burst = 0;      // radius of an impact star in front of the chest (0: none)
    double burstFwd = 22;  // how far in front of the chest
    Limb strike = NO_LIMB; // limb that carries the damage box on this frame
    bool blink = false;
    bool shout = false; // mouth open in a yell
};

struct Drawn {
    Box body;   // collision box
    Box strike; // damage box of the striking limb (only meaningful with a strike)
    V2 nearHand, farHand, nearToe, farToe; // tip positions, frame coordinates
};

// Paints the pose into img (already cleared to the colour key) and returns
// its boxes.  prevPose, when given, draws a motion smear of the striking limb
// from where it was in that pose.
Drawn drawFighter(Indexed& img, const Pose& pose, const Pose* prevPose);
// Measures without painting.
Drawn measureFighter(const Pose& pose);
V2 strikeTip(const Drawn& d, Limb limb);

} // namespace gen
