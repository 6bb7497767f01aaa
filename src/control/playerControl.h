// Drives one fighter: time step, frame sounds and particles, input, walking,
// running, ducking, turning, push-apart, moves, damage and blocking.
#pragma once

#include "base/passControls.h"

#include <SDL.h>

#include <cstdint>
#include <string>

class Fighter;
class partInfoList;
class particleList;
class particle;
class soundSet;
class animationSet;
class moveSet;
class gamePad;
class inputChecker;
class Target;

// Drawing the debug boxes; toggled by player 1's J key.
extern bool debugging;

class playerControl {
  public:
    SDL_Surface* screen = nullptr;
    int32_t quitRequested = 0;
    Fighter* fighter = nullptr;
    partInfoList* partInfo = nullptr;
    particleList* particles = nullptr;
    soundSet* sounds = nullptr;
    animationSet* anims = nullptr;
    moveSet* charMoves = nullptr;
    gamePad* pad = nullptr;
    SDL_Joystick* joystick = nullptr;
    inputChecker* checker = nullptr;
    Target* target = nullptr;
    int32_t prevTick = 0;
    int32_t now = 0;
    float delta = 0.0f;     // time since the previous update, in units of 10 ms
    float moveTimer = 0.0f; // delta gathered since the last movement step
    int32_t curFrame = 0, prevFrame = 0;
    std::string curAction = "NULL", prevAction = "NULL";
    std::string curSound = "NULL", prevSound = "NULL";
    std::string curParticle = "NULL", prevParticle = "NULL";
    bool blocking = false;
    int side = 0; // 0 the left-hand fighter's controller, 1 the right-hand one's

    void init(SDL_Surface* surface);
    void setup(Fighter* who, partInfoList* definitions, particleList* live, soundSet* soundEffects,
               animationSet* animations, moveSet* moves, gamePad* bindings, inputChecker* input,
               Target* opponent);
    void update();
    // Reads this pass's input from SDL (readControls) and plays it
    // (applyControls): the desktop game's step 2.
    void inputChecking(SDL_Event& event);
    // The waiting events, the held keys or stick, through this player's
    // bindings.
    passControls readControls(SDL_Event& event) const;
    // This pass's input, from whichever front end: the presses in order,
    // then one movement step when more than 10 ms gathered, then command
    // recognition may start a move.
    void applyControls(const passControls& controls);
    // The presses alone: buttons, jumps, the quit request, the boxes switch.
    void applyPresses(const passControls& controls);
    // The waiting events' presses through this player's bindings.
    void keyboardCheck(SDL_Event& event);
    void joystickCheck(SDL_Event& event);
    void buttonPress(char letter);
    void keyboardMovement();
    void joystickMovement(SDL_Event& event);
    void updatePosition();
    void checkDirection();
    bool checkCollision();
    bool checkDamgeCollision();

    // Damage and blocking.
    void updateDamageCollision();
    // Particles thrown by `immune` (a versus match: the own fighter) pass
    // through.
    void checkParticleCollision(particleList* live, char side, const Fighter* immune = nullptr);
    void takeDamage(particle* hit);
    void takeBlocking();
    void takeDamage(int damage, int hitType);
    void takeDamage();

    // Where held keys are read from: the media library's key state
    // (media::heldKeys) unless a test installed its own array (indexed by
    // SDLKey); see controlReader.
    static void setKeyStateSource(const Uint8* (*source)());

  protected:
    // The fresh start both controllers share: the screen, every reference
    // but pad, joystick and checker, the frame trackers.
    void resetCommon(SDL_Surface* surface);
    // The match's pieces both controllers drive: the own fighter, the
    // particle definitions and the live particles, sounds, animations,
    // moves and the opponent.
    void attachCommon(Fighter* who, partInfoList* definitions, particleList* live,
                      soundSet* soundEffects, animationSet* animations, moveSet* moves,
                      Target* opponent);
    void applyHit(int damage, int hitType);
    // One movement step from what the player holds: walking, running,
    // ducking, the blocking flag and the standing/walk switching.
    void movementStep(bool left, bool right, bool down);
    // Starts the named move of the character's move set.
    void startMove(const std::string& name);
};
