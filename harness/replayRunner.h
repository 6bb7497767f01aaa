// Plays the real game headless on the game clock of a replay: the real
// start-up and the real loop, with key presses and releases delivered at
// their ticks, the opponent's random numbers drawn from the replay's seed.
// The same replay always gives the same game.  A recording in the versus form
// is played frame by frame through the versus loop instead, its inputs handed
// straight to the game.
#pragma once

#include "game/main.h"
#include "game/versusLoop.h"
#include "replayScript.h"

#include <SDL.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

class replayRunner {
  public:
    // Starts SDL with the dummy drivers and loads the game from the working
    // directory.  The game's trace goes to `trace` (nowhere when null).
    explicit replayRunner(const replayScript& script, std::ostream* trace = nullptr);
    // The runner keeps the script it plays by reference: never a temporary.
    replayRunner(replayScript&& script, std::ostream* trace = nullptr) = delete;
    ~replayRunner();
    replayRunner(const replayRunner&) = delete;
    replayRunner& operator=(const replayRunner&) = delete;

    // One pass: the clock advances by the script's step, due keys arrive,
    // then the game's pass runs.  False once the game has ended.
    bool step();
    // The versus form: the next frame with its recorded inputs.  False once
    // the match has ended or the recording's frames are all played.
    bool stepFrame();
    // Passes until the script's end tick or until the game ends (the versus
    // form: frames until its end or until the match ends).
    void run();
    // Let run() make the passes in refreshes of `passes`, only the last of
    // each drawn, as a web page does (refreshLoop).  1, the default, draws
    // every pass, as the desktop loop does.  In the versus form it draws one
    // frame in `passes` instead.
    void setPassesPerRefresh(long passes) { passesPerRefresh_ = passes; }

    // One pass as step() makes it, but undrawn, with the pass's input handed
    // back in `players` (two records: the second is player 2's in versus).
    // With `onShown`, the pass is drawn and onShown sees the frame before
    // it is erased.
    bool stepRecorded(passControls* players, const std::function<void()>& onShown = {});
    // A pass played again, undrawn: the clock set to `tick`, the game given
    // `players` (a re-simulation after a restore).
    void replayPass(Uint32 tick, const passControls* players,
                    const std::function<void()>& onShown = {});
    // The same for the versus form: the next frame, undrawn, its number and
    // inputs handed back; and a frame played again.
    bool stepFrameRecorded(Uint32& frame, versusLoop::frameInputs& inputs,
                           const std::function<void()>& onShown = {});
    void replayFrame(Uint32 frame, const versusLoop::frameInputs& inputs,
                     const std::function<void()>& onShown = {});
    bool framesLeft() const { return nextFrame_ < script_.frameCount; }

    // Press or release a key now (for drivers other than the script).
    void setKey(SDLKey key, bool down);
    // The key event alone, as SDL queues a real press or release, for a
    // driver that plays the real loop (the benchmark's key to screen).
    static void pushKeyEvent(SDLKey key, bool down);

    Uint32 now() const;
    long passes() const { return passes_; }
    bool ended() const { return ended_; }

    // The final state, one "name value" per line, in a fixed order.
    std::map<std::string, std::string> state() const;
    std::string stateText() const;
    // Failed expectations of the script, as "line N: name op value (was x)".
    std::vector<std::string> failedExpectations() const;

    gameSession session;

  private:
    void endPass(const std::function<void()>& onShown);
    // The versus form: the next frame's number, its inputs taken into inputs_.
    Uint32 takeNextFrame();
    // The clock advances by the script's step and due keys arrive.
    void advance();

    const replayScript& script_;
    long passesPerRefresh_ = 1;
    size_t nextEvent_ = 0;
    // The versus form: the next frame to play, the next frame line, and the
    // inputs of the frame played last.
    Uint32 nextFrame_ = 0;
    size_t nextLine_ = 0;
    versusLoop::frameInputs inputs_{};
    long passes_ = 0;
    bool ended_ = false;
};
