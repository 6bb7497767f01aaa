#include "ai/AI.h"

#include "base/randomNumber.h"
#include "base/seams.h"
#include "control/hitRef.h"
#include "fighter/fighter.h"
#include "fighter/moveSet.h"
#include "fighter/target.h"

#include <cstdlib>

namespace {

// How far each step walks, retreats or drifts through the air.
constexpr int stepPixels = 3;
constexpr int jumpStrength = 16;

bool isNone(const std::string& name) {
    return name == "null" || name == "NULL";
}

} // namespace

void AI::init(SDL_Surface* surface) {
    // The same fresh start as a player's controller; the opponent has no pad,
    // joystick or command recogniser, and keeps whatever blocking it had.
    resetCommon(surface);
    blockChance = 25;
    state = THINK;
    timer = 0.0f;
    jumpDir = 1;
    lastAttack = "";
    nextLink = "NULL";
    nextCancel = nullptr;
}

void AI::setup(Fighter* who, partInfoList* definitions, particleList* live, soundSet* soundEffects,
               animationSet* animations, moveSet* moves, Target* opponent, const char* folder) {
    attachCommon(who, definitions, live, soundEffects, animations, moves, opponent);
    attackList.getList(folder);
}

void AI::updateAI() {
    if (!(moveTimer > 1.0f)) return;
    updatePosition();
    if (fighter) {
        if (fighter->returnBusy()) {
            // A prepared cancel cuts in once the attack has reached the
            // frame the cancel may start from.
            if (nextCancel && nextCancel->fromFrame <= fighter->frame &&
                fighter->returnMoveName() == lastAttack) {
                state = ATTACK;
                phase = 3;
            } else {
                state = BUSY;
            }
        } else if (fighter->returnMoveName() != lastAttack && nextLink != "NULL") {
            seams::trace() << "Not busy? link Attack! " << nextLink << "\n";
            state = ATTACK;
            phase = 2;
        }
    }
    stateCheck();
    moveTimer = 0.0f;
}

void AI::stateCheck() {
    switch (state) {
    case THINK:
        think();
        break;
    case GET_CLOSER:
        getCloser();
        break;
    case ATTACK:
        attack();
        break;
    case RETREAT:
        retreat();
        break;
    case JUMP_UP_AT:
        jumpUpAt();
        break;
    case JUMP_IN_DIR:
        jumpInDir();
        break;
    case DUCK:
        duck();
        break;
    case SPECIAL:
        special();
        break;
    case BUSY:
        busy();
        break;
    case NOTHING:
        nothing();
        break;
    }
}

void AI::setState(aiState next) {
    switch (next) {
    case GET_CLOSER:
    case RETREAT:
    case NOTHING:
        state = next;
        break;
    case ATTACK:
        phase = 1;
        state = ATTACK;
        break;
    case JUMP_UP_AT:
    case JUMP_IN_DIR:
        // Both jumps leave the ground as they are entered.
        if (fighter) fighter->Jump(jumpStrength);
        phase = 1;
        state = next;
        break;
    case DUCK:
        timer = static_cast<float>(g_randomNumber.getNumber(50) + 1);
        state = DUCK;
        break;
    default:
        break;
    }
}

void AI::think() {
    thinkRandom();
}

void AI::thinkRandom() {
    if (fighter && fighter->actionName != "standing") fighter->changeAnim("standing");
    jumpDir = g_randomNumber.getNumber(3);
    int distance = getDistance();
    timer = static_cast<float>(g_randomNumber.getNumber(20) + 1);

    static const aiState shortLevel[] = {ATTACK, ATTACK, RETREAT, JUMP_IN_DIR, DUCK, NOTHING};
    static const aiState shortLower[] = {ATTACK,     ATTACK, RETREAT, JUMP_UP_AT,
                                         JUMP_UP_AT, DUCK,   NOTHING};
    static const aiState shortHigher[] = {ATTACK, ATTACK, RETREAT, JUMP_IN_DIR, NOTHING};
    static const aiState midGround[] = {GET_CLOSER, GET_CLOSER, RETREAT, JUMP_IN_DIR,
                                        ATTACK,     ATTACK,     DUCK,    NOTHING};
    static const aiState midAir[] = {GET_CLOSER, GET_CLOSER, RETREAT, JUMP_UP_AT,
                                     JUMP_UP_AT, DUCK,       NOTHING};
    static const aiState longRange[] = {GET_CLOSER, GET_CLOSER, JUMP_IN_DIR, ATTACK, NOTHING, DUCK};

    const aiState* candidates = nullptr;
    int count = 0;
    auto choose = [&](const aiState* list, int n, char letter, const char* line) {
        candidates = list;
        count = n;
        rangeLetter = letter;
        seams::trace() << line << "\n";
    };

    int ownY = fighter ? fighter->yPos : 0;
    int theirY = targetY();
    if (distance <= 150) {
        if (theirY - 25 < ownY && ownY < theirY + 25)
            choose(shortLevel, 6, 'S', "       Short Range AI, enem infront ");
        // Intended: "above" is traced when the player is lower on the screen.
        else if (theirY > ownY)
            choose(shortLower, 7, 'U', "       Short Range AI, enem above ");
        else
            choose(shortHigher, 5, 'D', "       Short Range AI, enem below ");
    } else if (distance < 500) {
        if (targetOnGround())
            choose(midGround, 8, 'M', "       Mid Range AI ");
        else
            choose(midAir, 7, 'M', "       Mid Range AI enem in air");
    } else {
        choose(longRange, 6, 'L', "       Long Range AI");
    }

    int pick = g_randomNumber.getNumber(count);
    if (pick < 0 || pick >= count) pick = 0;
    setState(candidates[pick]);
}

void AI::getCloser() {
    if (getDistance() <= 99) {
        state = THINK;
        return;
    }
    step(true);
    showAnim("walk");
}

void AI::attack() {
    seams::trace() << "RUNNING AI ATTACK\n";
    std::string kind = "ground";
    if (fighter && !fighter->onGround)
        kind = "aerial";
    else if (fighter && fighter->actionName == "duck")
        kind = "duck";

    switch (phase) {
    case 1: {
        seams::trace() << "Going for the attack!\n";
        std::string name = attackList.getAttack(rangeLetter, kind);
        if (!isNone(name)) {
            seams::trace() << "the new attack is : " << name << "\n";
            if (charMoves && fighter) {
                moveInfo& move = charMoves->returnMove(name);
                lastAttack = name;
                if (!fighter->returnBusy()) fighter->changeAction(&move);
                pickLinkMove();
            }
        }
        phase = 2;
        break;
    }
    case 2:
        if (!isNone(nextLink)) {
            seams::trace() << "the new link attack is : " << nextLink << "\n";
            if (charMoves && fighter) {
                moveInfo& move = charMoves->returnMove(nextLink);
                lastAttack = nextLink;
                // Intended: unlike a new attack, a link starts busy or not.
                fighter->changeAction(&move);
                pickLinkMove();
            }
        }
        seams::trace() << "Attack to think\n";
        state = THINK;
        break;
    case 3:
        if (nextCancel && fighter) {
            moveInfo* cancel = nextCancel;
            lastAttack = cancel->name;
            fighter->changeAction(cancel);
            pickLinkMove();
        }
        seams::trace() << "Attack to think\n";
        state = THINK;
        break;
    default:
        break;
    }
}

void AI::retreat() {
    timer -= delta;
    if (timer < 1) {
        // Intended: only a retreat that runs its course lowers the guard; one
        // cut short by a move leaves the opponent blocking every hit after it.
        blocking = false;
        state = THINK;
        return;
    }
    blocking = true;
    step(false);
    showAnim("walk");
}

void AI::jumpUpAt() {
    if (!fighter || fighter->onGround) {
        state = THINK;
        return;
    }
    step(true);
    if (phase == 0) {
        if (getVerticalDistance() > 100 && fighter->yPos < targetY()) {
            fighter->Jump(jumpStrength);
            phase = 1;
        } else {
            seams::trace() << "mid air attack\n";
            phase = 1;
            state = ATTACK;
            // The attack picks its move on the next step; the jump's
            // countdown must not reset the phase it needs.
            return;
        }
    }
    if (phase == 1) jumpCountdown();
}

void AI::jumpInDir() {
    if (!fighter || fighter->onGround) {
        state = THINK;
        return;
    }
    if (jumpDir == 0) step(false);
    if (jumpDir == 2) step(true);
    if (phase == 0) {
        // Another push in the air, if a jump is left.
        fighter->Jump(jumpStrength);
        phase = 1;
    }
    if (phase == 1) jumpCountdown();
}

// Intended: the jump countdown counts steps, not time as the others do.
void AI::jumpCountdown() {
    timer -= 1;
    if (timer < 1) {
        phase = 0;
        timer = static_cast<float>(g_randomNumber.getNumber(20));
    }
}

void AI::duck() {
    timer -= delta;
    if (fighter && fighter->actionName != "duck") {
        seams::trace() << "Lets try ducking!\n";
        fighter->changeAnim("duck");
    }
    if (timer < 1) {
        // Stays down until the next thinking step stands it up.
        timer = 0;
        state = THINK;
    }
}

void AI::busy() {
    if (!fighter || !fighter->returnBusy()) state = THINK;
}

void AI::nothing() {
    timer -= delta;
    if (timer < 1) {
        timer = 0;
        state = THINK;
        showAnim("standing");
    }
}

void AI::pickLinkMove() {
    nextLink = "NULL";
    nextCancel = nullptr;
    int r = g_randomNumber.getNumber(3);
    seams::trace() << "We randomly got the number: " << r << "\n";
    if (r == 0) {
        seams::trace() << "Attempting linked move! \n";
        nextLink = attackList.findLinkedAttacks(lastAttack);
    } else if (r == 2) {
        seams::trace() << "Attempting cancel move! \n";
        std::string cancel = attackList.findCancelAttacks(lastAttack);
        if (!isNone(cancel) && charMoves) nextCancel = &charMoves->returnMove(cancel);
    }
}

int AI::getDistance() const {
    return std::abs((fighter ? fighter->xPos : 0) - targetX());
}

int AI::getVerticalDistance() const {
    return std::abs((fighter ? fighter->yPos : 0) - targetY());
}

void AI::takeDamage(int damage, int hitType) {
    if (g_randomNumber.getNumber(100) < blockChance) {
        if (fighter && charMoves) takeBlocking();
        return;
    }
    if (!fighter) return;
    if (charMoves) {
        hitRef reference;
        moveInfo* reaction = reference.hitReference(charMoves, hitType, fighter);
        if (reaction && !fighter->returnBusy()) fighter->changeAction(reaction);
    }
    fighter->changeHP(-damage);
}

int AI::targetX() const {
    return target ? target->retX() : 0;
}

int AI::targetY() const {
    return target ? target->retY() : 0;
}

bool AI::targetOnGround() const {
    Fighter* opponent = target ? target->returnTarget() : nullptr;
    return opponent ? opponent->onGround : true;
}

void AI::step(bool forward) {
    if (!fighter) return;
    bool towardPlusX = forward == fighter->facingRight;
    fighter->xPos += towardPlusX ? stepPixels : -stepPixels;
}

void AI::showAnim(const char* name) {
    if (fighter && fighter->actionName != name) fighter->changeAnim(name);
}
