// A character's move list in words a player reads: the keys of each move's
// command with player 1's default bindings, whether it works on the ground
// or in the air, and the move it links from or cancels.  `workbench --moves`
// prints it as a Markdown table; the README's move list is that table.
#pragma once

#include "fighter/moveSet.h"

#include <string>

class moveTable {
  public:
    // "Down, Forward, Z" for "DRA"; "" when no button press completes the
    // command (the game starts such a move itself: hit reactions, blocks,
    // the back jump).
    static std::string keys(const std::string& command);
    // "ground", "air", "ground or air", or "never" for a condition the game
    // never finds true.
    static std::string where(const std::string& condition);
    // "after punch (link, from frame 2)", "cancels kick (from frame 2)", or
    // "" for a move started from neutral.
    static std::string after(const moveInfo& move);
    // The whole table, one row per move in file order.
    static std::string markdown(const moveSet& moves);
};
