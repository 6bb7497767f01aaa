// Tavro's moves, one function each: its record in the move file, its key
// poses (every joint angle, in degrees: 0 points down, 90 forward, 180 up)
// and its frames.  moves() lists them in file order.
//
// Ground moves carry no step on their first frame: when a move has run out,
// the fighter shows that frame again until its controller picks an animation,
// and the frame's step would apply once more.  Only the back jump and the air
// dashes lift on their first frame, and they last until the landing.
//
// The moves the engine starts by itself (hit reactions, blocks, back jumps,
// air dashes) carry the command X, which no key completes.
#include "character.h"

namespace gen {

namespace {

// Fireball: down, forward, A.  Palms gather a glowing ball at the hip and
// thrust it forward; the ball leaves the hands on the thrust frame.
Move fireball() {
    Move m = newMove("fireball", "DRA");
    // clang-format off
    m.poses = {
        //       torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"gather",   2,  -6, -35,  45, -45,  35,  36,  -2,  92, -24, -40,  80, -112,
                   openHands | glow(6, -4, -6)},
        {"charge",  -6,  -6, -45,  35, -55,  25,  36,  -2,  92, -24, -40,  80, -112,
                   openHands | glow(10, -4, -6) | shouting},
        {"thrust",  22, -16,  84,  90,  76,  88,  48,  -2,  92, -30, -34,  80, -112, openHands},
        {"follow",  18, -16,  84,  90,  76,  88,  48,  -2,  92, -30, -34,  80, -112, openHands},
    };
    m.frames = {
        // pose      pause  limb     damage  sound       dx  dy  spawn
        {"gather",      25},
        {"charge",      25, NO_LIMB,      0, "shout"},
        {"thrust",      20, NO_LIMB,      0, "fireball",  0,  0, thrown("fireball", 20)},
        {"follow",      30},
        {guard(0.5),    25},
    };
    // clang-format on
    return m;
}

// Shockwave: down, back, C on the ground.  Both palms gather a white chi
// overhead and slam the floor; a wave runs along the floor and, if it
// meets nobody, bursts into a pillar of blue flame where it dies.
Move shockwave() {
    Move m = newMove("shockwave", "DLC", "ground is true");
    // clang-format off
    m.poses = {
        //         torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"raise",     -8, -10, 168, 178, 160, 172,  28,  -2,  92, -20, -40,  80, -112,
                     openHands | coolGlow(7, 2, -10)},
        {"overhead", -14, -10, 168, 178, 160, 172,  28,  -2,  92, -20, -40,  80, -112,
                     openHands | coolGlow(11, 2, -10) | shouting},
        {"slam",      52, -34,  48,  24,  40,  18, 100,  -8,  92,  38, -88,  30, -100,
                     openHands | coolGlow(8, 6, 2)},
        {"hold",      48, -34,  48,  24,  40,  18, 100,  -8,  92,  38, -88,  30, -100, openHands},
    };
    m.frames = {
        // pose       pause  limb     damage  sound     dx  dy  spawn
        {"raise",        20},
        {"overhead",     20, NO_LIMB,      0, "shout"},
        {"slam",         25, NO_LIMB,      0, "rumble",  0,  0, alongFloor("shockwave", -6)},
        {"hold",         30},
        {crouch(0.5),    25},
    };
    // clang-format on
    return m;
}

// Uppercut: queued behind the punch (down, A), a rising fist.  It lunges far
// enough that a punch landed at the fist's farthest reach, whose hit reaction
// pushes the opponent further off, is still met when the reaction ends.
Move uppercut() {
    Move m = newMove("uppercut", "DA");
    m.record.linkMove = "punch";
    m.record.linkFrame = 1;
    // clang-format off
    m.poses = {
        //     torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"low",   30, -18,  10,  80,  30, 155,  70,  -5,  92,  10, -50,  60, -100},
        {"rise",   8, -12, 100, 150, -20,  80,  40,   5,  92, -15, -30,  80, -112, shouting},
        {"top",    4, -18,  95, 148, -20,  80,  60, -10,  92,  -5, -12,  80, -112},
        {"high",   2, -18, 102, 158, -20,  80,  60, -10,  92,  -5, -12,  80, -112},
        {"hold",  -4, -18,  95, 148, -20,  80,  60, -10,  92,  -5, -12,  80, -112},
    };
    m.frames = {
        // pose      pause  limb      damage  sound    dx
        {"low",         12},
        {"rise",        12, NEAR_ARM,     70, "shout",  9},
        {"top",         18, NEAR_ARM,     70, "NULL",   8},
        {"high",        30, NEAR_ARM,     70, "NULL",   2},
        {"hold",        15},
        {guard(0.5),    15},
    };
    // clang-format on
    return m;
}

// Palm strike: queued behind the crouching jab (forward, A), the fighter
// springs up from the crouch and drives an open palm forward, lunging so
// that it still reaches an opponent the jab knocked back.
Move palmStrike() {
    Move m = newMove("palmStrike", "RA");
    m.record.linkMove = "crouchPunch";
    m.record.linkFrame = 1;
    // clang-format off
    m.poses = {
        //      torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"load",   28, -18,  30, 100,  30, 155, 100,  -8,  92,  38, -88,  30, -100, openNearHand},
        {"drive",  20, -14,  86,  92, -30, 110,  48,  -4,  92, -26, -36,  80, -112,
                  openNearHand | shouting},
        {"reach",  24, -14,  90,  90, -30, 110,  48,  -4,  92, -26, -36,  80, -112, openNearHand},
        {"hold",   22, -14,  92,  96, -30, 110,  48,  -4,  92, -26, -36,  80, -112, openNearHand},
        {"back",   10,  -8,  60, 130,  12, 148,  30,  -2,  92, -18, -40,  80, -112, openNearHand},
    };
    m.frames = {
        // pose      pause  limb      damage  sound    dx
        {"load",        12},
        {"drive",       12, NEAR_ARM,     55, "shout",  7},
        {"reach",       18, NEAR_ARM,     55, "NULL",   6},
        {"hold",        26, NEAR_ARM,     55, "NULL",   2},
        {"back",        14},
        {guard(0.5),    14},
    };
    // clang-format on
    return m;
}

// Crouching jab: down, A from neutral.  The lead fist snaps out at belly
// height while the fighter stays low.
Move crouchPunch() {
    Move m = newMove("crouchPunch", "DA", "ground is true");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",  24, -18,  40, 120,  30, 155, 100,  -8,  92,  38, -88,  30, -100},
        {"extend",   30, -22,  84,  86,  20, 130, 100,  -8,  92,  38, -88,  30, -100},
        {"full",     33, -22,  88,  88,  20, 130, 100,  -8,  92,  38, -88,  30, -100},
        {"recoil",   24, -18,  60, 130,  30, 155, 100,  -8,  92,  38, -88,  30, -100},
    };
    m.frames = {
        // pose       pause  limb      damage  sound
        {"chamber",      10},
        {"extend",       10, NEAR_ARM,     30, "jab"},
        {"full",         14, NEAR_ARM,     30},
        {"recoil",        8},
        {crouch(0.5),     8},
    };
    // clang-format on
    return m;
}

// Sweep: down, B while the kick is out; cancels the kick into a low
// spinning sweep that slides forward.  Its last sweeping frame stays out long
// enough to cover the end of the hit reaction of a kick that landed on its
// last active frame, even when the sweep cut in at the first moment it could;
// the short recovery keeps the whole move as long as before.
Move sweep() {
    Move m = newMove("sweep", "DB");
    m.record.fromMove = "kick";
    m.record.fromFrame = 3;
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"plant",    38, -24,  70, 150,  10,  40,  92,  10, 110,  82, -12,  95, -100},
        {"sweep",    38, -24,  70, 150,  10,  40,  66,  74, 140,  82, -12,  95, -100},
        {"through",  42, -24,  70, 150,  10,  40,  70,  82, 140,  82, -12,  95, -100},
        {"follow",   40, -24,  70, 150,  10,  40,  70,  82, 140,  82, -12,  95, -100},
        {"recover",  38, -24,  70, 150,  10,  40,  80,   0,  92,  82, -12,  95, -100},
    };
    m.frames = {
        // pose     pause  limb      damage  sound     dx
        {"plant",      12},
        {"sweep",      12, NEAR_LEG,     60, "whoosh",  3},
        {"through",    20, NEAR_LEG,     60, "NULL",    2},
        {"follow",     39, NEAR_LEG,     60},
        {"recover",     4},
        {crouch(),      9},
    };
    // clang-format on
    return m;
}

// Crouching kick: down, B from neutral.  The lead foot pokes out along
// the floor at shin height; no spin and no slide, unlike the sweep.
Move crouchKick() {
    Move m = newMove("crouchKick", "DB", "ground is true");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",  24, -18,  48, 162,  30, 155, 110,  20, 110,  38, -88,  30, -100},
        {"extend",   14, -10,  60, 165,  20, 150,  84,  86, 150,  38, -88,  30, -100},
        {"full",     14, -10,  60, 165,  20, 150,  86,  90, 155,  38, -88,  30, -100},
        {"recoil",   24, -18,  48, 162,  30, 155, 105,  30, 115,  38, -88,  30, -100},
    };
    m.frames = {
        // pose       pause  limb      damage  sound
        {"chamber",      12},
        {"extend",       12, NEAR_LEG,     45, "lowKick"},
        {"full",         16, NEAR_LEG,     45},
        {"recoil",       14},
        {crouch(0.5),    14},
    };
    // clang-format on
    return m;
}

// Crouching heavy: down, C from neutral.  Still low, the fighter drives
// the lead fist up at a slant: a blow against a fighter jumping in.  The
// uppercut, by contrast, rises to full height after a punch.
Move crouchHeavy() {
    Move m = newMove("crouchHeavy", "DC", "ground is true");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",  34, -26,  20,  70,  30, 155, 100,  -8,  92,  38, -88,  30, -100},
        {"extend",    6, -14, 138, 146,  10, 120,  96,  -8,  92,  30, -88,  30, -100, shouting},
        {"full",      2, -14, 142, 150,  10, 120,  96,  -8,  92,  30, -88,  30, -100},
        {"recoil",   16, -18,  90, 160,  30, 155, 100,  -8,  92,  38, -88,  30, -100},
    };
    m.frames = {
        // pose       pause  limb      damage  sound
        {"chamber",      14},
        {"extend",       12, NEAR_ARM,     85, "rising"},
        {"full",         20, NEAR_ARM,     85},
        {"recoil",       18},
        {crouch(0.5),    16},
    };
    // clang-format on
    return m;
}

// Air punch: A in the air, a fist driven down and forward.
Move airPunch() {
    Move m = newMove("airPunch", "A", "ground is false");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",  18, -10,  40, 140,  35, 160, 118,  -8, 100,  85, -40,  70,  -75, aloft},
        {"extend",   26, -20,  62,  58, 150, 120, 118,  -8, 100,  85, -40,  70,  -60, aloft},
        {"full",     26, -20,  58,  54, 150, 120, 118,  -8, 100,  85, -40,  70,  -50, aloft},
    };
    m.frames = {
        // pose     pause  limb      damage  sound
        {"chamber",    10},
        {"extend",     40, NEAR_ARM,     50, "punch"},
        {"full",      100, NEAR_ARM,     50},
    };
    // clang-format on
    return m;
}

// Punch: A, a straight lead-hand punch.
Move punch() {
    Move m = newMove("punch", "A", "ground is true");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",  14,  -8,  55, 125,  12, 148,  30,  -2,  92, -18, -40,  80, -112},
        {"extend",   18, -14,  82,  88, -25, 120,  38,  -2,  92, -18, -40,  80, -112},
        {"full",     22, -14,  88,  90, -25, 120,  38,  -2,  92, -18, -40,  80, -112},
        {"recoil",   14,  -8,  62, 130,  12, 148,  30,  -2,  92, -18, -40,  80, -112},
    };
    m.frames = {
        // pose      pause  limb      damage  sound
        {"chamber",     12},
        {"extend",      12, NEAR_ARM,     40, "punch"},
        {"full",        16, NEAR_ARM,     40},
        {"recoil",       8},
        {guard(0.5),     8},
    };
    // clang-format on
    return m;
}

// Flying kick: B in the air.
Move airKick() {
    Move m = newMove("airKick", "B", "ground is false");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",  18, -10,  55, 168,  35, 160, 120,   0, 100,  85, -40,  70,  -75, aloft},
        {"extend",  -12,   6, -40,  10, 120, 160,  62,  58, 140, 100, -30,  70,  -60, aloft},
        {"full",    -12,   6, -40,  10, 120, 160,  62,  58, 140, 100, -30,  70,  -50, aloft},
    };
    m.frames = {
        // pose     pause  limb      damage  sound
        {"chamber",    12},
        {"extend",     40, NEAR_LEG,     70, "kick"},
        {"full",      100, NEAR_LEG,     70},
    };
    // clang-format on
    return m;
}

// Front kick: B on the ground.
Move kick() {
    Move m = newMove("kick", "B", "ground is true");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",   0,  -8,  32, 158,  12, 148, 105,   5,  92,  -6, -10,  90, -112},
        {"extend",   -8,  -8,  32, 158,  12, 148,  95,  62, 150,  -6, -10,  90, -112},
        {"full",    -12,  -2,  20, 140,  12, 148,  90,  88, 168,  -6, -10,  90, -112},
        {"recoil",    0,  -8,  32, 158,  12, 148,  80,  -5,  92,  -6, -10,  90, -112},
    };
    m.frames = {
        // pose      pause  limb      damage  sound
        {"chamber",     15},
        {"extend",      12, NEAR_LEG,     60, "kick"},
        {"full",        20, NEAR_LEG,     60},
        {"recoil",      15},
        {guard(0.5),    15},
    };
    // clang-format on
    return m;
}

// Air heavy: C in the air, a stamping heel driven down at the opponent's
// head or shins, arms flung up for balance.
Move airHeavy() {
    Move m = newMove("airHeavy", "C", "ground is false");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"chamber",  -6, -10,  55, 168,  35, 160, 140,  40, 100,  85, -40,  70,  -75, aloft},
        {"stamp",   -18,  10, 110, 160, -50,  10,  52,  40, 120, 120,  10,  70,  -30,
                    aloft | shouting},
        {"full",    -18,  10, 110, 160, -50,  10,  52,  36, 120, 120,  10,  70,  -20, aloft},
    };
    m.frames = {
        // pose     pause  limb      damage  sound
        {"chamber",    14},
        {"stamp",      40, NEAR_LEG,     90, "shout"},
        {"full",      100, NEAR_LEG,     90},
    };
    // clang-format on
    return m;
}

// Heavy: C, a high roundhouse kick with a shout.
Move heavy() {
    Move m = newMove("heavy", "C", "ground is true");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"windup",    4,  -8,  32, 158,  12, 148,  60, -30,  92,  -8, -14,  90, -112},
        {"rise",    -10,  -8, -20,  60,  70, 150, 120,  40, 120,  -8, -14,  90, -112},
        {"high",    -28,  10, -20,  60,  70, 150, 128, 118, 178, -10, -10,  90, -112, shouting},
        {"follow",  -22,  10, -20,  60,  70, 150, 118, 100, 170, -10, -10,  90, -112},
        {"recover",   4,  -8,  32, 158,  12, 148,  70, -10,  92,  -8, -14,  90, -112},
    };
    m.frames = {
        // pose      pause  limb      damage  sound     dx
        {"windup",      18},
        {"rise",        15, NO_LIMB,       0, "whoosh",  2},
        {"high",        18, NEAR_LEG,    110, "shout"},
        {"follow",      15, NEAR_LEG,    110},
        {"recover",     20},
        {guard(0.5),    20},
    };
    // clang-format on
    return m;
}

// Hit reaction: the head snaps back and the body is pushed away.
Move hit1() {
    Move m = newMove("hit1", "X");
    // clang-format off
    m.poses = {
        //        torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"jolt",    -14, -16, -10,  60, -40,  20,  40,  10,  92, -10, -20,  80,  -70,
                    openHands | burst(16)},
        {"reel",    -24, -22, -25,  45, -55,   5,  40,  10,  92, -10, -20,  80,  -70,
                    openHands | burst(11) | blinking},
        {"recover",  -6,   8, -10,  60, -40,  20,  40,  10,  92, -10, -20,  80,  -70,
                    openHands | blinking},
    };
    m.frames = {
        // pose      pause  limb     damage  sound   dx
        {"jolt",         2},
        {"reel",        24, NO_LIMB,      0, "hit",  -2},
        {"recover",     22, NO_LIMB,      0, "hurt"},
        {guard(0.8),    30},
    };
    // clang-format on
    return m;
}

// High block: the forearms meet a blow at head height.
Move blockHi() {
    Move m = newMove("blockHi", "X");
    // clang-format off
    m.poses = {
        //     torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"meet",  -6,   6,  58, 178,  42, 172,  24,  -2,  92, -24, -40,  80, -112, burst(13, 36)},
        {"hold",   2,  -4,  58, 178,  42, 172,  24,  -2,  92, -24, -40,  80, -112},
    };
    m.frames = {
        // pose   pause  limb     damage  sound    dx
        {guard(),     6},
        {"meet",     30, NO_LIMB,      0, "block", -1},
        {"hold",     20},
    };
    // clang-format on
    return m;
}

// Low block: crouching, the forearms guard the shins.
Move blockLo() {
    Move m = newMove("blockLo", "X");
    // clang-format off
    m.poses = {
        //     torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"meet",  18, -18,  70, 170,  55, 165, 100,  -8,  92,  38, -88,  30, -100, burst(13, 36)},
        {"hold",  18, -18,  70, 170,  55, 165, 100,  -8,  92,  38, -88,  30, -100},
    };
    m.frames = {
        // pose    pause  limb     damage  sound    dx
        {crouch(),     6},
        {"meet",      30, NO_LIMB,      0, "block", -1},
        {"hold",      20},
    };
    // clang-format on
    return m;
}

// Air block: tucked, the forearms raised in the air.
Move blockAir() {
    Move m = newMove("blockAir", "X");
    // clang-format off
    m.poses = {
        //     torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"meet",   6, -10,  58, 178,  42, 172, 118,  -8, 100,  85, -40,  70,  -75,
                 aloft | burst(13, 36)},
        {"hold",   6, -10,  58, 178,  42, 172, 118,  -8, 100,  85, -40,  70,  -75, aloft},
    };
    m.frames = {
        // pose   pause  limb     damage  sound
        {tuck(0),     6},
        {"meet",     40, NO_LIMB,      0, "block"},
        {"hold",     90},
    };
    // clang-format on
    return m;
}

// Back jump: a crouch, a lift off the floor and a backward hop.
Move backJump() {
    Move m = newMove("backJump", "X");
    // clang-format off
    m.poses = {
        //       torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"crouch",  10, -18,  48, 162,  30, 155,  70,  -8,  92,  10, -70,  30, -100},
        {"leap",     0, -10, 100, 140, 120, 150, 118,  -8, 100,  85, -40,  70,  -30,
                   aloft | spin(-25)},
        {"float",    0, -10, 100, 140, 120, 150, 118,  -8, 100,  85, -40,  70,  -30,
                   aloft | spin(-12)},
    };
    m.frames = {
        // pose    pause  limb     damage  sound     dx  dy
        {"crouch",    20, NO_LIMB,      0, "NULL",   -5,  8},
        {"leap",      40, NO_LIMB,      0, "whoosh", -5},
        {"float",     60, NO_LIMB,      0, "NULL",   -4},
    };
    // clang-format on
    return m;
}

// Air dashes, started by a double tap in the air: backward.
Move airBack() {
    Move m = newMove("airBack", "X");
    // clang-format off
    m.poses = {
        //       torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"tumble",  18, -10,  55, 168,  35, 160, 118,  -8, 100,  85, -40,  70,  -20,
                   aloft | spin(-30)},
        {"level",   18, -10,  55, 168,  35, 160, 118,  -8, 100,  85, -40,  70,  -20,
                   aloft | spin(-15)},
    };
    m.frames = {
        // pose    pause  limb     damage  sound     dx  dy
        {tuck(0),     15, NO_LIMB,      0, "NULL",   -6,  5},
        {"tumble",    60, NO_LIMB,      0, "whoosh", -6},
        {"level",     80, NO_LIMB,      0, "NULL",   -5},
    };
    // clang-format on
    return m;
}

// Air dash forward.
Move airForward() {
    Move m = newMove("airForward", "X");
    // clang-format off
    m.poses = {
        //      torso head  nUA  nFA  fUA  fFA  nTh  nSh  nFt  fTh  fSh  fFt tails
        {"dive",   45, -30,  55, 168,  35, 160,  60, -10, 100, -20, -70,  70, -140, aloft},
        {"glide",  38, -30,  55, 168,  35, 160,  60, -10, 100, -20, -70,  70, -140, aloft},
    };
    m.frames = {
        // pose   pause  limb     damage  sound     dx  dy
        {tuck(0),    15, NO_LIMB,      0, "NULL",    6,  5},
        {"dive",     60, NO_LIMB,      0, "whoosh",  6},
        {"glide",    80, NO_LIMB,      0, "NULL",    5},
    };
    // clang-format on
    return m;
}
} // namespace

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

} // namespace gen
