// The game's box test finds a touch only when a corner of one box lies
// inside the other.  A damage box that lies across a body like a plus sign
// (wider than the body while the body is taller than the box, or the other
// way round) overlaps it without a corner inside either: the game misses it.
//
// The checker warns about every attacking frame of a move whose damage box
// crosses the standing opponent's body that way at some distance within the
// move's usual reach: from the bodies just touching out to the farthest
// distance at which the damage box still overlaps the body.  The workbench
// explains the same case on the frame it shows.
#pragma once

#include "base/colBox.h"
#include "diagnostics.h"
#include "movesetChecker.h"

#include <string>

namespace cornerRule {

// The boxes share at least one pixel.
bool overlaps(const colBox& a, const colBox& b);
// They overlap, yet the game's corner test misses them.
bool crossesLikePlus(const colBox& a, const colBox& b);

// Boxes relative to the anchor, as a frame index gives them minus its anchor.
struct frameBoxes {
    colBox body;
    colBox damage;
};
// The distance (anchor to anchor, the opponent facing the attacker) at
// which `attack`'s damage box first crosses `opponent`'s body like a plus
// sign within the usual reach, or -1 when it never does.
int plusDistance(const frameBoxes& attack, const colBox& opponentBody);

// Warns about the moves of `moves` against the "standing" animation of the
// character folder (its first frame).
void check(diagnostics& report, const std::string& characterFolder, const movesetChecker& moves);

} // namespace cornerRule
