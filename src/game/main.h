// The game's program-wide objects, start-up, the main loop and the scene.
#pragma once

#include "ai/AI.h"
#include "base/gamepad.h"
#include "control/inputChecker.h"
#include "control/playerControl.h"
#include "fighter/animationSet.h"
#include "fighter/fighter.h"
#include "fighter/moveSet.h"
#include "fighter/target.h"
#include "particle/partInfoList.h"
#include "particle/particleList.h"
#include "sound/soundSet.h"
#include "sprite/CSpriteBar.h"
#include "sprite/paletteSwap.h"

#include <SDL.h>

#include <memory>

extern SDL_Surface* screen; // the window
extern SDL_Surface* back;   // the background image
extern CSpriteBase barbase;
extern CSpriteBar play1HPBar;
extern CSpriteBar play2HPBar;
extern Fighter vikings1; // player 1
extern Fighter fighter2; // player 2, the computer
extern Target targ;      // fighter2, as player 1 sees it
extern Target targ2;     // vikings1, as player 2 sees it
extern playerControl player1;
extern AI basicAI;
extern playerControl player2; // the right-hand fighter's controller in a versus match
extern particleList pList;
extern gamePad GPad;

// What the entry function owns for the length of a run.
struct gameSession {
    // Two people, player 2 on its own keys or the second joystick, instead
    // of the computer opponent (the versus program).
    bool versus = false;
    animationSet anims;
    moveSet moves;
    std::unique_ptr<soundSet> sounds;
    partInfoList particleDefs;
    std::unique_ptr<inputChecker> checker;
    std::unique_ptr<inputChecker> checker2; // versus: player 2's commands
    gamePad pad2;                           // versus: player 2's bindings
    paletteSwap playerTwoColours;           // versus: the colours player 2 wears
    SDL_Event event{};                      // the loop's event record, kept across passes
};

// Starts SDL, the audio device and the window; ends the program on failure.
void sdlInit();
// Loads all data and wires every object (everything SDL_main does between
// sdlInit and the loop).  Ends the program when the stage cannot be shown.
void startUp(gameSession& session);
// A pass is the game's one step: the controllers with this pass's input,
// the opponent, the bars' values, every frame clock; then the frame is drawn
// (or not: drawing changes nothing the game reads); then the hit checks.
// Whatever drives the game (the desktop loop, the web page, a recorded game,
// a network session) hands it each pass's input; only the desktop's reading
// of it (readControls) touches SDL's events.

// One pass of the main loop, its input read from SDL and its frame drawn;
// false once the player asked to quit (the loop then ends).
bool runPass(gameSession& session);
// This pass's input from SDL's events, held keys and sticks: player 1's, and
// in a versus match player 2's.
void readControls(gameSession& session, passControls* players);
// The pass before its frame, its input read from SDL; false once a player
// asked to quit.
bool updateGame(gameSession& session);
// The pass before its frame, with the input of both players (the second is
// read only in a versus match): the controllers, the opponent's decisions,
// the bars' values, every frame clock; false once a player asked to quit.
bool updateGame(gameSession& session, const passControls* players);
// One frame: restore, save, draw, flip, restore, hit checks; that is
// drawFrame, then eraseAndCheckHits.
void DrawScene();
// The frame up to and including the flip: restore, save, draw, debug boxes.
// Pixels only: the game's state is read, never changed.
void drawFrame();
// After the flip: the fighters and particles erased again, then the hit checks.
void eraseAndCheckHits();
// The fighters and particles erased from the screen (what the last drawFrame
// saved under them put back).  Pixels only, like drawFrame: the hit checks
// may come before it.
void eraseFrame();
// In place of the frame of a pass that is never shown: the hit checks.
void advanceUnseenFrame();
// Every sprite's frame clock steps (the end of updateGame).
void advanceFrames();
// The hit checks that end every pass.
void checkHits();
// updateGame after player 1's time step.
bool stepAfterUpdate(gameSession& session, const passControls* players);
int SDL_main(int argc, char* argv[]);
