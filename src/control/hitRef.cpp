#include "control/hitRef.h"

#include "fighter/fighter.h"
#include "fighter/moveSet.h"

moveInfo* hitRef::hitReference(moveSet* moves, int hitType, Fighter* fighter) {
    // Every stance (standing, ducking, in the air) reacts the same way today;
    // the stance is worked out so that reactions per stance can be added.
    enum { standing, ducking, airborne } stance = standing;
    if (fighter) {
        if (fighter->actionName == "duck") stance = ducking;
        if (!fighter->onGround) stance = airborne;
    }
    (void)stance;

    if (hitType != 1 || !moves) return nullptr;
    return &moves->returnMove("hit1");
}
