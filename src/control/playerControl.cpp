#include "control/playerControl.h"

#include "base/gamepad.h"
#include "base/media.h"
#include "base/seams.h"
#include "control/controlReader.h"
#include "control/hitRef.h"
#include "control/inputChecker.h"
#include "fighter/fighter.h"
#include "fighter/moveSet.h"
#include "fighter/target.h"
#include "particle/SquareCollider.h"
#include "particle/particle.h"
#include "particle/particleList.h"
#include "sound/soundSet.h"

bool debugging = false;

namespace {

// Strength of a jump started by the player.
constexpr int jumpStrength = 16;

} // namespace

void playerControl::setKeyStateSource(const Uint8* (*source)()) {
    controlReader::setKeyStateSource(source);
}

void playerControl::init(SDL_Surface* surface) {
    resetCommon(surface);
    pad = nullptr;
    joystick = nullptr;
    checker = nullptr;
    blocking = false;
}

void playerControl::resetCommon(SDL_Surface* surface) {
    screen = surface;
    quitRequested = 0;
    fighter = nullptr;
    partInfo = nullptr;
    particles = nullptr;
    sounds = nullptr;
    anims = nullptr;
    charMoves = nullptr;
    target = nullptr;
    curAction = prevAction = "NULL";
    curSound = prevSound = "NULL";
    curParticle = prevParticle = "NULL";
    curFrame = prevFrame = 0;
}

void playerControl::setup(Fighter* who, partInfoList* definitions, particleList* live,
                          soundSet* soundEffects, animationSet* animations, moveSet* moves,
                          gamePad* bindings, inputChecker* input, Target* opponent) {
    attachCommon(who, definitions, live, soundEffects, animations, moves, opponent);
    pad = bindings;
    checker = input;
    if (pad && pad->joyIndex > -1) joystick = SDL_JoystickOpen(pad->joyIndex);
}

void playerControl::attachCommon(Fighter* who, partInfoList* definitions, particleList* live,
                                 soundSet* soundEffects, animationSet* animations, moveSet* moves,
                                 Target* opponent) {
    fighter = who;
    partInfo = definitions;
    particles = live;
    sounds = soundEffects;
    anims = animations;
    charMoves = moves;
    target = opponent;
}

void playerControl::update() {
    now = static_cast<int32_t>(seams::ticks());
    // Worked out exactly and only then stored as a float: 9 ms is 0.9.
    // The difference is taken modulo 2^32, so it stays the time elapsed when
    // the millisecond counter passes the top of the signed range (after
    // 24.8 days) or wraps to 0 (after 49.7 days).
    const Uint32 elapsed = static_cast<Uint32>(now) - static_cast<Uint32>(prevTick);
    delta = static_cast<float>(static_cast<double>(elapsed) * 0.1);
    prevTick = now;
    moveTimer += delta;

    prevFrame = curFrame;
    prevAction = curAction;
    prevSound = curSound;
    prevParticle = curParticle;

    if (!fighter) return;
    curFrame = fighter->frame;
    curAction = fighter->actionName;
    curSound = fighter->returnSound();

    // A frame that names a sound starts it once, when it is reached.
    if (curFrame != prevFrame && curSound != "NULL" && curSound != prevSound) {
        if (sounds) sounds->Play(curSound, -1, side);
    }

    // A frame's particles are spawned once, when its first particle changes.
    const int count = fighter->returnPartNum();
    if (count <= 0) {
        curParticle = "NULL";
    } else {
        curParticle = fighter->returnParticle(1);
        if (curParticle != prevParticle) {
            for (int i = 1; i <= count; i++) {
                seams::trace() << "TD: " << now << "\n";
                if (particles)
                    particles->addParticle(fighter->returnParticle(i), fighter, nullptr, partInfo,
                                           screen, now);
            }
        }
    }

    if (curAction != prevAction) {
        curFrame = 0;
        prevFrame = 0;
    }
}

void playerControl::inputChecking(SDL_Event& event) {
    applyControls(readControls(event));
}

passControls playerControl::readControls(SDL_Event& event) const {
    const controlReader::binding me{pad, joystick};
    passControls controls;
    controlReader::readEvents(event, &me, &controls, 1);
    controls.held = controlReader::heldControls(me);
    return controls;
}

void playerControl::applyControls(const passControls& controls) {
    applyPresses(controls);

    if (moveTimer > 1.0f) {
        movementStep((controls.held & playerInput::left) != 0,
                     (controls.held & playerInput::right) != 0,
                     (controls.held & playerInput::down) != 0);
        updatePosition();
        moveTimer = 0.0f;
    }

    if (!checker || !fighter) return;
    moveInfo* move = checker->update(now);
    if (move) {
        // While a move runs only a move that cancels it may start.
        if (!fighter->returnBusy() || move->fromMove != "NULL") fighter->changeAction(move);
        return;
    }
    if (fighter->returnBusy()) return;

    const char run = checker->checkRun();
    if (fighter->onGround) {
        if (run == 'L')
            startMove("backJump");
        else if (run == 'R')
            fighter->setRunning();
    } else {
        if (run == 'L')
            startMove("airBack");
        else if (run == 'R')
            startMove("airForward");
    }
}

void playerControl::startMove(const std::string& name) {
    if (!fighter || !charMoves) return;
    fighter->changeAction(&charMoves->returnMove(name));
}

void playerControl::applyPresses(const passControls& controls) {
    for (int i = 0; i < controls.pressCount; ++i) {
        // Left and Right become back and forward with the facing of now.
        const bool right = fighter && fighter->facingRight;
        switch (controls.presses[i]) {
        case playerInput::quit:
            quitRequested = 1;
            break;
        case playerInput::buttonA:
            buttonPress('A');
            break;
        case playerInput::buttonB:
            buttonPress('B');
            break;
        case playerInput::buttonC:
            buttonPress('C');
            break;
        case playerInput::up:
            if (fighter) fighter->Jump(jumpStrength);
            buttonPress('U');
            break;
        case playerInput::down:
            buttonPress('D');
            break;
        case playerInput::right:
            buttonPress(right ? 'R' : 'L');
            break;
        case playerInput::left:
            buttonPress(right ? 'L' : 'R');
            break;
        case playerInput::boxes:
            debugging = !debugging;
            break;
        default:
            break;
        }
    }
}

void playerControl::keyboardCheck(SDL_Event& event) {
    applyPresses(readControls(event));
}

void playerControl::joystickCheck(SDL_Event& event) {
    applyPresses(readControls(event));
}

void playerControl::buttonPress(char letter) {
    if (!checker) return;
    inputKeys press;
    press.time = now;
    press.key = letter;
    press.state = fighter ? fighter->actionName : std::string();
    checker->acceptInput(press);
}

void playerControl::keyboardMovement() {
    const controlReader::binding me{pad, nullptr};
    const std::uint16_t held = controlReader::heldControls(me);
    movementStep((held & playerInput::left) != 0, (held & playerInput::right) != 0,
                 (held & playerInput::down) != 0);
}

void playerControl::joystickMovement(SDL_Event& /*event*/) {
    if (!(moveTimer > 1.0f)) return;
    const controlReader::binding me{pad, joystick};
    const std::uint16_t held = joystick ? controlReader::heldControls(me) : 0;
    movementStep((held & playerInput::left) != 0, (held & playerInput::right) != 0,
                 (held & playerInput::down) != 0);
}

void playerControl::movementStep(bool left, bool right, bool down) {
    if (!fighter) return;
    bool idle = true;
    bool run = false;
    std::string before = fighter->actionName;
    bool dir = fighter->facingRight;

    if (fighter->returnBusy() || fighter->actionName == "duck") {
        // Standing still; only which way the player holds counts.
        if (left) dir = false;
        if (right) dir = true;
    } else if (fighter->actionName != "running") {
        if (left) {
            dir = false;
            idle = false;
            fighter->xPos -= 3;
        }
        if (right) {
            dir = true;
            idle = false;
            fighter->xPos += 3;
        }
    } else {
        // A run only goes on forward; it never turns round.
        if (fighter->facingRight && right) {
            fighter->xPos += 6;
            dir = true;
            run = true;
        } else if (!fighter->facingRight && left) {
            fighter->xPos -= 6;
            dir = false;
            run = true;
        }
    }

    // Holding away from the way the fighter faces is blocking.
    blocking = dir != fighter->facingRight;

    if (down) {
        fighter->duck();
        idle = false;
    } else if (before == "duck") {
        fighter->changeAnim("standing");
    }

    before = fighter->actionName;
    if (run) {
        if (fighter->actionName != "running") fighter->changeAnim("running");
    } else if (!fighter->returnBusy() && fighter->actionName != "duck" &&
               fighter->actionName != "inAir") {
        if (idle && before != "standing") fighter->changeAnim("standing");
        if (!idle && before != "walk") fighter->changeAnim("walk");
    }
}

void playerControl::updatePosition() {
    if (!(moveTimer > 1.0f)) return;
    if (fighter) {
        checkDirection();
        if (checkCollision()) {
            // Step back from the opponent, away from the way we face.
            if (fighter->facingRight)
                fighter->xPos -= 3;
            else
                fighter->xPos += 3;
        }
        fighter->Gravity();
        fighter->boundary();
    }
    if (particles) particles->update();
}

void playerControl::checkDirection() {
    // A fighter in the middle of a move keeps its facing until it ends.
    if (!fighter || !target || fighter->returnBusy()) return;
    // Intended: on equal x the fighter faces left.
    fighter->setDir(target->retX() > fighter->xPos);
}

bool playerControl::checkCollision() {
    if (!fighter || !target) return false;
    return SquareCollider(fighter->getCBox(), target->getColBox(true)).collisionCheck();
}

bool playerControl::checkDamgeCollision() {
    if (!fighter || !target) return false;
    return SquareCollider(fighter->getCBox(), target->getDmgBox()).collisionCheck();
}

// Damage and blocking.

void playerControl::applyHit(int damage, int hitType) {
    if (!fighter) return;
    moveInfo* reaction = hitRef().hitReference(charMoves, hitType, fighter);
    // A fighter already reeling or blocking takes nothing more.  Intended: one
    // that cannot start its reaction (no jump left in the air) is hurt again
    // on every pass while the boxes meet.
    if (!reaction || !fighter->returnHitable()) return;
    seams::trace() << "Damage is forced!!!\n";
    fighter->changeAction(reaction);
    fighter->changeHP(-damage);
}

void playerControl::updateDamageCollision() {
    if (!fighter || !target) return;
    if (!SquareCollider(fighter->getCBox(), target->getDmgBox()).collisionCheck()) return;
    // Intended: a held guard rises for any damage box, even one that does no harm.
    if (blocking) {
        seams::trace() << "BLOCKING\n";
        takeBlocking();
        return;
    }
    const Fighter* attacker = target->returnTarget();
    if (!attacker) return;
    applyHit(attacker->getDamage(), attacker->getHitType());
}

void playerControl::checkParticleCollision(particleList* live, char side, const Fighter* immune) {
    if (!live || !fighter) return;
    takeDamage(live->collideFighter(fighter, side, immune));
}

void playerControl::takeDamage(particle* hit) {
    if (!hit) return;
    if (blocking) {
        takeBlocking();
        return;
    }
    const int damage = hit->getDamage();
    const int hitType = hit->getHitType();
    seams::trace() << "Force those damages! " << damage << " " << hitType << "\n";
    applyHit(damage, hitType);
}

void playerControl::takeBlocking() {
    if (!fighter || !charMoves) return;
    const char* name = "blockAir";
    if (fighter->onGround) name = fighter->actionName == "duck" ? "blockLo" : "blockHi";
    moveInfo& block = charMoves->returnMove(name);
    // A fighter busy with a move cannot raise its guard.
    if (!fighter->returnBusy()) fighter->changeAction(&block);
}

void playerControl::takeDamage(int damage, int hitType) {
    applyHit(damage, hitType);
}

void playerControl::takeDamage() {
    if (!target) return;
    const Fighter* attacker = target->returnTarget();
    if (!attacker) return;
    applyHit(attacker->getDamage(), attacker->getHitType());
}
