// The main loop for a display that shows one frame per refresh, as a web page
// does: the page may not run a loop of its own, the browser calls it once per
// display refresh instead.  Each refresh makes the passes the desktop loop
// would have made in that time and draws only the last of them; the passes
// whose frames are never shown advance the sprites' frame clocks as drawing
// would (advanceUnseenFrame).  The game is then the desktop's, pass for pass:
// the same positions, moves, hits and opponent's choices.
#pragma once

#include "game/main.h"

#include <functional>

class refreshLoop {
  public:
    explicit refreshLoop(gameSession& session) : session_(session) {}

    // One refresh: first the rest of the pass whose frame the last refresh
    // drew (the browser has shown it by now), then `passes` passes, each
    // after `beforePass` (which moves the game clock on), the last one drawn.
    // The pass in which the player asks to quit is drawn and ends the game:
    // false from then on.
    bool refresh(long passes, const std::function<void()>& beforePass);
    // The rest of the pass whose frame is on show, when no refresh follows.
    void finish();

    bool ended() const { return ended_; }
    long passesMade() const { return passes_; }
    long framesDrawn() const { return frames_; }

  private:
    gameSession& session_;
    bool frameOnShow_ = false;
    bool ended_ = false;
    long passes_ = 0;
    long frames_ = 0;
};
