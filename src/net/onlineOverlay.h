// What an online match shows over the game: a line at the foot of the screen
// with the ping, the frames rolled back and the input delay (shown and
// hidden with a key), and a notice in the middle while the match waits for
// the other player or after the connection was lost.
//
// The game draws a frame onto a screen that holds only the stage (it puts
// back what was under the sprites right after showing them) and shows only
// the rectangles it changed.  So the overlay is put on after the game's
// frame and shown by its own rectangles, and taken off (what it covered put
// back, and shown) before the next frame is drawn, so that the game never
// saves it as background.
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

    // Draws the text onto the screen, remembering what it covers (taking
    // off what the last draw put on first), and shows it.  Called after the
    // game drew its frame.
    void draw(SDL_Surface* screen, const text& t);
    // Puts back what the last draw covered, and shows that.  Called before
    // the game draws its next frame.
    void erase(SDL_Surface* screen);

  private:
    struct patch {
        SDL_Rect at;
        SDL_Surface* saved;
    };
    std::vector<patch> patches_;
};
