// One human player's key and joystick bindings.
#pragma once

#include <string>

class gamePad {
  public:
    std::string name = "Default";
    int buttonA = 0, buttonB = 0, buttonC = 0;
    int leftKey = 0, rightKey = 0, upKey = 0, downKey = 0;
    int joyIndex = -1; // -1: keyboard play
    int joyButtonA = 0, joyButtonB = 0, joyButtonC = 0;

    gamePad() = default;
    // Player 1's default bindings: z x c, the arrow keys, joystick buttons 0 1 2.
    void setPlayerOneDefaults();
    // Player 2's (versus) defaults, beside player 1's at one keyboard: R F D G
    // for up, down, left and right, A S Q for the buttons; joystick buttons
    // 0 1 2 of the joystick it is given.
    void setPlayerTwoDefaults();
};
