// The library calls of the game's passes, timed call by call: the benchmark
// stands in for each SDL call the loop makes (the real one runs inside), so
// that it can say where a pass's time goes on each SDL 1.2.
#pragma once

#include <SDL.h>

#include <vector>

namespace callTimes {

// While on, every call listed in callTimes.cpp is counted and timed.
void timing(bool on);
// Prints, per call, the calls a pass makes, their time per pass (mean), the
// median and slowest call, beside the pass's median and mean.
void report(long passes, double passMedianUs, double passMeanUs);

// What one pass spent in the library, read after the pass: sending the frame
// (SDL_UpdateRect, SDL_UpdateRects, SDL_Flip), reading events
// (SDL_PollEvent), and every other call timed.  startPass() clears them.
struct passShare {
    double sending = 0, events = 0, other = 0;
};
void startPass();
passShare lastPass();

// While on, the rectangles of the frames sent to the window are kept (one
// frame in ten, at most a few thousand), for screenUpdateSection.
void keepSentFrames(bool on);
struct sentFrame {
    bool whole = false;
    std::vector<SDL_Rect> rects;
};
const std::vector<sentFrame>& sentFrames();

} // namespace callTimes
