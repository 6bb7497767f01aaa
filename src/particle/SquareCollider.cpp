#include "particle/SquareCollider.h"

#include "base/seams.h"

void SquareCollider::updateSquares(colBox first, colBox second) {
    sq1 = first;
    sq2 = second;
}

bool SquareCollider::pointCollide(colBox box, int x, int y) {
    return box.left <= x && x <= box.right && box.top <= y && y <= box.bottom;
}

bool SquareCollider::indiCollide(colBox a, colBox b) {
    return pointCollide(a, b.left, b.top) || pointCollide(a, b.right, b.top) ||
           pointCollide(a, b.right, b.bottom) || pointCollide(a, b.left, b.bottom);
}

// Intended: corners only, so two boxes crossing like a plus sign do not meet.
bool SquareCollider::collisionCheck() const {
    return indiCollide(sq1, sq2) || indiCollide(sq2, sq1);
}

void SquareCollider::displayBoxes() const {
    seams::trace() << "sq1: " << sq1.left << " " << sq1.top << " " << sq1.right << " " << sq1.bottom
                   << "\n";
    seams::trace() << "sq2: " << sq2.left << " " << sq2.top << " " << sq2.right << " " << sq2.bottom
                   << "\n";
}
