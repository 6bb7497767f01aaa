// Command recognition: recent key presses with their times, matched against
// the commands of the moves that end in the newest button.
#pragma once

#include "fighter/moveSet.h"

#include <cstdint>
#include <list>
#include <string>

class Fighter;
class Target;

// One recorded key press.
struct inputKeys {
    int32_t time = 0;
    char key = 0;      // A B C U D R L, or '-' for a press used by a double tap
    std::string state; // the fighter's action at the press (trace only)
};

// The buffer window is inputDelay x 10 milliseconds.
extern int32_t inputDelay;

class inputChecker {
  public:
    std::list<inputKeys> keys; // oldest first
    int32_t keyCount = 0;
    moveList listA, listB, listC;
    Fighter* fighter = nullptr;
    Target* target = nullptr;
    moveInfo* pending = nullptr; // a link waiting for the running move to end

    inputChecker(moveSet* moves, Fighter* who);
    void getMoveLists(moveSet* moves);
    void acceptInput(const inputKeys& press);
    moveInfo* update(int now);
    moveInfo* findButton();
    moveInfo* checkList(int position, int time, const std::string& letters);
    char checkRun();
    void printB();
    void print();
    void deleteList();
    void shaveOff(int now);
};
