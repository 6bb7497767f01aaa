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
extern particleList pList;
extern gamePad GPad;

// What the entry function owns for the length of a run.
struct gameSession {
    animationSet anims;
    moveSet moves;
    std::unique_ptr<soundSet> sounds;
    partInfoList particleDefs;
    std::unique_ptr<inputChecker> checker;
    SDL_Event event{}; // the loop's event record, kept across passes
};

// Starts SDL, the audio device and the window; ends the program on failure.
void sdlInit();
// Loads all data and wires every object (everything SDL_main does between
// sdlInit and the loop).  Ends the program when the stage cannot be shown.
void startUp(gameSession& session);
// One pass of the main loop, its frame drawn; false once the player asked to
// quit (the loop then ends).
bool runPass(gameSession& session);
// The pass before its frame: both controllers, the opponent's decisions and
// the bars' values; false once the player asked to quit.
bool updateGame(gameSession& session);
// One frame: restore, save, draw, flip, restore, hit checks; that is
// drawFrame, then eraseAndCheckHits.
void DrawScene();
// The frame up to and including the flip: restore, save, draw, debug boxes.
void drawFrame();
// After the flip: the fighters and particles erased again, then the hit checks.
void eraseAndCheckHits();
// In place of the frame of a pass that is never shown: everything drawing
// changes besides pixels (every sprite's frame clock steps as a draw would
// step it), then the hit checks.  A web page shows one frame per display
// refresh but makes the passes the desktop loop would make in that time.
void advanceUnseenFrame();
// The hit checks that end every frame.
void checkHits();
int SDL_main(int argc, char* argv[]);
