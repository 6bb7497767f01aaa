// A character's move list in words a player reads: the keys of each move's
// command with player 1's default bindings, and where it works: on the
// ground, in the air, or after the move it links from or cancels.  `workbench --moves`
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
    // What a condition asks of the fighter: "ground", "air", "ground or
    // air" (no condition), or "never" for one the game never finds true.
    static std::string place(const std::string& condition);
    // Where the move works: "after punch (link)" for a link, "during kick
    // (cancel)" for a cancel, otherwise its place.
    static std::string where(const moveInfo& move);
    // The whole table: one row per move the player can perform, in file
    // order (the order in which the game tries them), with its startup,
    // damage and advantage on hit from the frame data.
    static std::string markdown(moveSet& moves);
    // The same moves as rows of the web page's key table: the keys as
    // <kbd> tags (arrows for directions, forward drawn as the right arrow),
    // then the move and where it works.
    static std::string html(moveSet& moves);
};
