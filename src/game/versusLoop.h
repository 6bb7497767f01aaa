// A versus match's loop: two people, the match played in frames of 16 passes
// of 1 ms of game clock, each frame with one input record per player.  The
// desktop's versus program, the web page's versus mode, a recorded versus
// game and an online match all play their frames through playFrame, so a
// match plays the same wherever its inputs come from.
//
// In a frame, what a player pressed takes effect on the first pass (in the
// canonical order of passControls::fromInput) and what they hold holds for
// all 16.  Only the frame's last pass is drawn; the others make only their
// hit checks (drawing changes nothing the game reads).  The game clock is the
// match's own: pass p (1 to 16) of frame f runs at tick f * 16 + p, whatever
// the real time, so a frame played again after a rollback runs on the ticks
// it first ran on.
#pragma once

#include "base/playerInput.h"
#include "game/main.h"

#include <array>
#include <cstdint>

namespace versusLoop {

constexpr std::uint32_t passesPerFrame = 16;
constexpr std::uint32_t frameMs = 16; // one frame per 16 ms of real time

using frameInputs = std::array<playerInput, 2>; // by player: 0 left, 1 right

// Readies the seams for a match, before startUp: the game clock becomes the
// match's (tick 0 until frame 0), random numbers come from the generator
// seeded with `seed`, and sounds pass the gate that lets a frame played again
// start each of its sounds only once.
void begin(std::uint32_t seed);
// Gives the seams back (SDL's clock, rand(), every sound starts).
void finish();

// Both players' input since the last call, through their bindings: SDL's
// waiting events (the presses) and the keys or sticks held now.
frameInputs readInputs(gameSession& session);

// Plays frame `frame` with both players' inputs; false once a player asked to
// quit (that pass is the frame's last).  `draw`: the frame's last pass is
// drawn and shown.  `resimulating`: the frame has been played before (a
// rollback plays it again), so it writes no trace line and starts none of
// the sounds it already started.  `keepShown` (a web page, whose screen is
// the canvas the browser shows only after the page's code returns): the drawn
// frame stays on the screen, and its erase waits for finishFrame, which the
// next playFrame calls first.  The last pass's hit checks are made at once
// (erasing changes only pixels), so the state is whole when playFrame
// returns: an online page saves it and takes its checksum right away.
bool playFrame(gameSession& session, std::uint32_t frame, const frameInputs& inputs,
               bool resimulating, bool draw, bool keepShown = false);
// The rest of a frame played with keepShown: the fighters and particles
// erased.  Nothing when none waits.  Call it before a restore changes the
// particles (their erase needs the ones that were drawn).
void finishFrame();
// Draws the game as it is now and keeps it on the screen, as a frame played
// with keepShown, unless such a frame is on show already.  An online page
// calls it when a step played no new frame after a rollback had erased the
// last one (the side waited, or gave a frame up for time sync), and for its
// first picture.  Pixels only.
void showState();

// The game clock: the tick of the last pass played (0 before frame 0).
std::uint32_t clock();
// The tick of pass `pass` (1 to 16) of frame `frame`.
constexpr std::uint32_t tickOf(std::uint32_t frame, std::uint32_t pass) {
    return frame * passesPerFrame + pass;
}

} // namespace versusLoop
