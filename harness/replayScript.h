// A recorded game: key presses and releases at given ticks of the game clock,
// the random seed, the time each pass of the loop takes, and the outcome
// expected at the end; or, in its versus form, both players' inputs frame by
// frame.  docs/replays.md describes both forms.  Text, one instruction per
// line:
//
//   # comment
//   seed 42            random seed of the opponent's decisions
//   step 5             milliseconds the game clock advances per pass
//   down 1000 Down     at tick 1000 press the Down key
//   up 1040 Down       at tick 1040 release it
//   tap 1100 z         press at 1100, release 40 ms later
//   end 30000          stop after the pass that reaches tick 30000
//   expect p2.hp < 1000    a check on the final state (=, !=, <, >, <=, >=)
//
// The versus form opens with `versus` and has `frame` lines instead of keys
// (game/versusRecording.h):
//
//   versus
//   seed 1
//   frame 40 down - - -    frame 40: player 1 holds Down; player 2 nothing
//   frame 41 down right - A
//   end 300                play frames 0 to 299
#pragma once

#include "base/playerInput.h"

#include <SDL.h>

#include <array>

#include <string>
#include <vector>

struct replayEvent {
    Uint32 tick = 0;
    bool down = true;
    SDLKey key = SDLK_UNKNOWN;
};

// The versus form: both players' input of one frame.
struct replayFrame {
    Uint32 frame = 0;
    std::array<playerInput, 2> inputs{};
    int line = 0;
};

struct replayExpectation {
    std::string name;
    std::string op;
    std::string value;
    int line = 0;
};

class replayScript {
  public:
    Uint32 seed = 1;
    Uint32 stepMs = 5;
    Uint32 endTick = 10000;
    std::vector<replayEvent> events; // sorted by tick, in file order within a tick
    std::vector<replayExpectation> expectations;
    // The versus form: frames with a line, by frame number, and the number of
    // frames the match lasts (its `end`).
    bool versus = false;
    std::vector<replayFrame> frames;
    Uint32 frameCount = 0;
    int instructions = 0; // lines that held an instruction

    // False with a "line N: ..." message when the text is not a replay.
    bool parse(const std::string& text, std::string& error);
    // parse of a file's text; also false for a file that is not a regular
    // file or that holds no instruction at all.
    bool load(const std::string& path, std::string& error);

    // KEY pressed at TICK and released HOLD ms later, as the file's
    // "tap TICK KEY" (40 ms); the events stay in tick order, a new one after
    // those already at its tick.
    void tap(Uint32 tick, SDLKey key, Uint32 holdMs = 40);

    // Key names: Left Right Up Down Escape and single letters (z, x, c, j).
    static SDLKey keyFromName(const std::string& name);
};
