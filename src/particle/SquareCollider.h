// The contact test used for every touch in the game: two boxes touch when a
// corner of either lies inside (or on the edge of) the other.  Deliberately a
// corner test: a cross-shaped overlap, where no corner is inside, is no touch.
#pragma once

#include "base/colBox.h"

class SquareCollider {
  public:
    colBox sq1;
    colBox sq2;

    SquareCollider(colBox first, colBox second) : sq1(first), sq2(second) {}
    void updateSquares(colBox first, colBox second);
    // Inline: every live particle is tested against a fighter twice a pass.
    static bool pointCollide(colBox box, int x, int y) {
        return box.left <= x && x <= box.right && box.top <= y && y <= box.bottom;
    }
    static bool indiCollide(colBox a, colBox b) {
        return pointCollide(a, b.left, b.top) || pointCollide(a, b.right, b.top) ||
               pointCollide(a, b.right, b.bottom) || pointCollide(a, b.left, b.bottom);
    }
    // Intended: corners only, so two boxes crossing like a plus sign do not meet.
    bool collisionCheck() const { return indiCollide(sq1, sq2) || indiCollide(sq2, sq1); }
    void displayBoxes() const;
};
