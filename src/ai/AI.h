// Player 2: a player controller whose decisions come from a small state
// machine instead of a keyboard.
#pragma once

#include "ai/aiAttackList.h"
#include "control/playerControl.h"

#include <string>

struct moveInfo;

enum aiState {
    THINK = 0,
    GET_CLOSER = 1,
    ATTACK = 2,
    RETREAT = 3,
    JUMP_UP_AT = 4,
    JUMP_IN_DIR = 5,
    DUCK = 6,
    SPECIAL = 7,
    BUSY = 8,
    NOTHING = 9
};

class AI : public playerControl {
  public:
    int blockChance = 25;
    aiState state = THINK;
    float timer = 0.0f;
    int phase = 0;
    char rangeLetter = 'L'; // band chosen by the last thinking step
    int jumpDir = 1;        // 0 backward, 1 straight up, 2 forward
    aiAttackList attackList;
    std::string lastAttack;
    std::string nextLink = "NULL";
    moveInfo* nextCancel = nullptr;

    // Intended: hides playerControl::init (nothing is virtual) and keeps blocking.
    void init(SDL_Surface* surface);
    void setup(Fighter* who, partInfoList* definitions, particleList* live, soundSet* soundEffects,
               animationSet* animations, moveSet* moves, Target* opponent, const char* folder);
    void updateAI();
    void stateCheck();
    void setState(aiState next);
    void think();
    void thinkRandom();
    void getCloser();
    void attack();
    void retreat();
    void jumpUpAt();
    void jumpInDir();
    void duck();
    void busy();
    void nothing();
    void special() {}
    void pickLinkMove();
    int getDistance() const;
    int getVerticalDistance() const;
    // Intended: hides all three playerControl::takeDamage; no game path calls it.
    void takeDamage(int damage, int hitType);

  private:
    // Where the opponent stands; a missing Target reads like one that refers
    // to no fighter (0, 0, on the ground).
    int targetX() const;
    int targetY() const;
    bool targetOnGround() const;
    // Move the own fighter forward (the way it faces) or backward.
    void step(bool forward);
    void showAnim(const char* name);
    // The countdown of the jump states.
    void jumpCountdown();
};
