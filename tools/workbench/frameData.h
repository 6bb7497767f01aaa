// What a move is worth, in milliseconds of game time, computed from the
// move file and frame indexes as the game reads them: when it can first
// hurt, how long it can hurt, how long the fighter is still busy after
// that, and who moves first once it has hit or been blocked.
//
// The game plays a fighter's frames three times as long as their pause
// (the fighter's speed).  A hit starts the defender's "hit1" move and a
// blocked attack its block move; no damage applies while either runs, so
// the advantage is how much longer the defender stays busy than the
// attacker, when the attack lands on its first active frame:
//   on hit   = length of "hit1"    - (active + recovery)
//   on block = length of "blockHi" - (active + recovery)
// A positive advantage means the attacker is free first.  A move's first
// frame can be cut short when it starts (the sprite keeps the time of the
// previous frame change), so startup is the most it can take.
#pragma once

#include "fighter/moveSet.h"

#include <string>
#include <vector>

struct moveTiming {
    std::string name;
    bool hurts = false; // a frame with damage and hit type 1
    int startup = 0;    // ms from the start to the first frame that can hurt
    int active = 0;     // ms from that frame to the end of the last one that can hurt
    int recovery = 0;   // ms after that until the move ends
    int total = 0;      // the whole move
    int damage = 0;     // the first hurting frame's damage
    int onHit = 0;      // advantage in ms when it hits (see above)
    int onBlock = 0;    // advantage in ms when it is blocked
    // Links and cancels: the time, in ms from the start of the move they
    // follow or cut short, in which their command is taken.  -1 otherwise.
    int windowFrom = -1, windowTo = -1;
    std::string follows; // that move's name, "" for a move of its own
    // A move that hurts only through a particle: the first particle it
    // spawns and when (ms from the start).
    std::string thrown;
    int throwAt = 0;
};

class frameData {
  public:
    // The fighters' frame speed in the game.
    static constexpr int speed = 3;

    // The time a frame set takes, in ms, from frame `from` to its end.
    static int length(const moveInfo& move, int from = 0);
    // One move's figures; the reactions are looked up by name in `moves`.
    static moveTiming of(const moveInfo& move, moveSet& moves);
    // Every move in file order.
    static std::vector<moveTiming> all(moveSet& moves);
    // "+78", "-12", "0": an advantage as a player reads it.
    static std::string signedMs(int ms);
    // The table `workbench --frame-data` prints: one row per move.
    static std::string table(moveSet& moves);
};
