#include "cornerRule.h"

#include "particle/SquareCollider.h"
#include "sprite/frameIndex.h"

#include <algorithm>

namespace cornerRule {

namespace {

colBox shifted(const colBox& box, int dx) {
    return {box.left + dx, box.top, box.right + dx, box.bottom};
}

// A frame's boxes relative to its anchor, facing right.
frameBoxes relative(const spriteFrame& frame) {
    frameBoxes out;
    out.body = {frame.colX1 - frame.offsetX, frame.colY1 - frame.offsetY,
                frame.colX2 - frame.offsetX, frame.colY2 - frame.offsetY};
    out.damage = {frame.dmgX1 - frame.offsetX, frame.dmgY1 - frame.offsetY,
                  frame.dmgX2 - frame.offsetX, frame.dmgY2 - frame.offsetY};
    return out;
}

// The same box facing left: mirrored about the anchor, as the game mirrors.
colBox facingLeft(const colBox& box) {
    return {-box.right, box.top, -box.left, box.bottom};
}

bool firstStandingBody(const std::string& characterFolder, colBox& body) {
    frameIndex index;
    if (!index.open(characterFolder + "/standing")) return false;
    frameEntry entry;
    if (!index.next(entry)) return false;
    body = relative(entry.frame).body;
    return true;
}

} // namespace

bool overlaps(const colBox& a, const colBox& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

bool crossesLikePlus(const colBox& a, const colBox& b) {
    return overlaps(a, b) && !SquareCollider(a, b).collisionCheck();
}

int plusDistance(const frameBoxes& attack, const colBox& opponentBody) {
    const colBox facing = facingLeft(opponentBody);
    // From the bodies just touching to the damage box's far edge meeting
    // the body's near edge.
    int from = attack.body.right - facing.left + 1;
    const int to = attack.damage.right - facing.left;
    from = std::max(from, 0);
    for (int d = from; d <= to; ++d)
        if (crossesLikePlus(attack.damage, shifted(facing, d))) return d;
    return -1;
}

void check(diagnostics& report, const std::string& characterFolder, const movesetChecker& moves) {
    colBox standing;
    if (!firstStandingBody(characterFolder, standing)) return; // reported elsewhere
    for (const moveRecord& move : moves.moves()) {
        if (!move.frames || !move.frames->opened) continue;
        frameIndex index;
        if (!index.open(move.frames->path)) continue;
        frameEntry entry;
        while (index.next(entry)) {
            if (entry.frame.damage <= 0 || entry.frame.hitType != 1) continue;
            const int d = plusDistance(relative(entry.frame), standing);
            if (d < 0) continue;
            report.warning(index.path(), entry.line,
                           "move \"" + move.name + "\", frame " + entry.bitmap + ": at " +
                               std::to_string(d) +
                               " pixels its damage box crosses the standing opponent's body "
                               "like a plus sign: they overlap, but no corner of either lies "
                               "inside the other, so the game's corner test misses the hit "
                               "(make the box narrower than the body, or shorter)");
        }
    }
}

} // namespace cornerRule
