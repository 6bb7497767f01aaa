#include "base/gamepad.h"

#include <SDL.h>

void gamePad::setPlayerOneDefaults() {
    name = "Player 1";
    buttonA = SDLK_z;
    buttonB = SDLK_x;
    buttonC = SDLK_c;
    leftKey = SDLK_LEFT;
    rightKey = SDLK_RIGHT;
    upKey = SDLK_UP;
    downKey = SDLK_DOWN;
    joyIndex = -1;
    joyButtonA = 0;
    joyButtonB = 1;
    joyButtonC = 2;
}

void gamePad::setPlayerTwoDefaults() {
    name = "Player 2";
    buttonA = SDLK_a;
    buttonB = SDLK_s;
    buttonC = SDLK_q;
    leftKey = SDLK_d;
    rightKey = SDLK_g;
    upKey = SDLK_r;
    downKey = SDLK_f;
    joyIndex = -1;
    joyButtonA = 0;
    joyButtonB = 1;
    joyButtonC = 2;
}
