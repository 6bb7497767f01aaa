// The versus form of a recorded game, the one the versus program writes with
// --record and the replay tool plays back (docs/replays.md has the whole
// format):
//
//   versus                       a versus match: both players' inputs by frame
//   seed 1                       the random generator's seed
//   frame 12 down+right - - -    frame 12: player 1 holds Down and Right;
//   frame 13 down+right A - -    frame 13: still held, A pressed
//   end 300                      the match is frames 0 to 299
//
// A frame line gives both players' held and pressed controls (player 1's
// held, pressed, then player 2's); a frame without a line is played as the
// frame before it with nothing pressed, so only frames where something
// changed are written.
#pragma once

#include "base/playerInput.h"
#include "game/versusLoop.h"

#include <cstdint>
#include <map>
#include <string>

namespace versusRecording {

// Controls as the recording names them: "down+right+A"; "-" for none.  Names:
// left right up down A B C quit boxes.
std::string controlNames(std::uint16_t controls);
// The controls a name list gives; false for a name that is no control.
bool controlsFromNames(const std::string& text, std::uint16_t& controls);

// Whether a frame played with `inputs` needs a line: a frame without one is
// played holding what `before` held, with nothing pressed.
bool needsLine(const versusLoop::frameInputs& before, const versusLoop::frameInputs& inputs);
// "frame N P1HELD P1PRESSED P2HELD P2PRESSED\n"
std::string frameLine(std::uint32_t frame, const versusLoop::frameInputs& inputs);

// The opening lines: what the file is, the versus instruction, the seed.
std::string opening(std::uint32_t seed);
// The closing lines: the frames played, then the final state of the live
// match as expectations, so that the replay tool checks it reaches the same.
std::string closing(std::uint32_t frames, const std::map<std::string, std::string>& finalState);

} // namespace versusRecording
