#include "particle/SquareCollider.h"

#include "base/seams.h"

void SquareCollider::updateSquares(colBox first, colBox second) {
    sq1 = first;
    sq2 = second;
}

void SquareCollider::displayBoxes() const {
    seams::trace() << "sq1: " << sq1.left << " " << sq1.top << " " << sq1.right << " " << sq1.bottom
                   << "\n";
    seams::trace() << "sq2: " << sq2.left << " " << sq2.top << " " << sq2.right << " " << sq2.bottom
                   << "\n";
}
