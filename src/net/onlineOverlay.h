// What an online match shows over the game: a line at the foot of the screen
// with the ping, the frames rolled back and the input delay (shown and
// hidden with a key), and a notice in the middle while the match waits for
// the other player or after the connection was lost.  The overlay saves
// what it covers before it draws and puts it back after the flip, so the
// game's own drawing, which restores only what it drew, never sees it.
#pragma once

#include "net/rollbackSession.h"

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

class onlineOverlay {
  public:
    ~onlineOverlay();

    struct text {
        std::string stats;  // at the foot: ping, frames rolled back, input delay
        std::string notice; // in the middle: waiting, or why the match ended
    };
    // The text for the session's state.  `waitingMs` is how long the
    // session has been waiting for the other side's inputs.
    static text describe(const rollbackSession& session, bool showStats, std::uint32_t waitingMs);

    // Draws the text onto the screen, remembering what it covers.  Called
    // after the game drew its frame, before the flip.
    void draw(SDL_Surface* screen, const text& t);
    // Shows what the last draw covered on the screen at once, without a
    // flip (while no frame is drawn, as when the match waits).
    void show(SDL_Surface* screen);
    // Puts back what the last draw covered.  Called after the flip.
    void erase(SDL_Surface* screen);

  private:
    struct patch {
        SDL_Rect at;
        SDL_Surface* saved;
    };
    std::vector<patch> patches_;
};
