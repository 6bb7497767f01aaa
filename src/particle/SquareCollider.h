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
    static bool pointCollide(colBox box, int x, int y);
    static bool indiCollide(colBox a, colBox b);
    bool collisionCheck() const;
    void displayBoxes() const;
};
