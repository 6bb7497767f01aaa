// Sends each finished frame from the screen surface to the window.
//
// After start-up only the sprites change the screen: each frame puts back the
// background where they were, saves it where they are and draws them there.
// So only those rectangles, this frame's and the last frame's (put back since),
// go to the window; the first frame goes whole, and so does every frame with
// the debug boxes on, which may reach outside the sprites.  The window shows
// the same pixels as with a whole-screen flip.  It matters on sdl12-compat:
// there a whole-screen update converts and presents all 800x600 pixels at
// once, on every pass, while changed rectangles are gathered and presented at
// the display's pace.
#pragma once

#include <SDL.h>

#include <vector>

class screenUpdate {
  public:
    // Marks a rectangle of the screen as changed in the coming frame; the
    // part outside the screen is cut off when the frame is shown.
    void add(long long x, long long y, long long w, long long h);
    // The next frame goes to the window whole (the screen was redrawn).
    void wholeNext();
    // True when the coming frame goes whole whatever is marked (the first
    // frame, a new screen, a redrawn one).
    bool wholeComing(const SDL_Surface* screen) const { return wholeNext_ || screen != shown_; }
    // Sends the frame now on `screen`: the whole screen when asked, on the
    // first frame and on a new screen, else the rectangles marked for this
    // frame and the last one (more than a few dozen of them, from hundreds
    // of particles, go as their hull).
    void show(SDL_Surface* screen, bool whole);

    // Sees every frame as it is sent: the screen, whether it went whole and
    // else the rectangles that went.  For tests; null for none.
    using watcher = void (*)(SDL_Surface* screen, bool whole, const std::vector<SDL_Rect>& sent);
    static void setWatcher(watcher w);

  private:
    struct area {
        long long x, y, w, h;
    };
    SDL_Surface* shown_ = nullptr; // the screen of the last frame sent
    bool wholeNext_ = true;
    std::vector<area> now_, last_;
    std::vector<SDL_Rect> sent_;
};
