// What the benchmark's sections share: the clock, medians, and the row of
// the side-by-side table each SDL 1.2 library fills in.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

using clock_type = std::chrono::steady_clock;

inline double microseconds(clock_type::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

inline long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               clock_type::now().time_since_epoch())
        .count();
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// One library's row of the table: microseconds, except the start-up.
struct libraryRow {
    int compat = -1; // the library the row was measured on: 1 sdl12-compat, 0 classic
    double pass = 0;
    double limit = 0;
    double floor = 0;
    double mainToFirstFrameMs = 0;
    double keyPasses = 0; // key to screen on the desktop, median
    double keyMs = 0;
    double idlePass = 0; // the particle cap's section: an idle pass with no particles
    double capPass = 0;  // and a pass with the list at its cap
    // Where a pass goes (medians): the pass's copy list, and its time in
    // the library's calls; the rest is the pass beyond them.
    double list = 0;
    double sending = 0;    // SDL_UpdateRect(s), SDL_Flip
    double events = 0;     // SDL_PollEvent
    double otherCalls = 0; // the clock, sound
    double rest() const { return pass - sending - events - otherCalls - list; }
    // Sending the loop's frames each way (the merged list in one call, one
    // call a rectangle, their hull, the whole screen), medians: on the
    // dummy driver the loop runs on, and on an X11 window when there was one.
    double sendDummy[4] = {0, 0, 0, 0};
    double sendWindow[4] = {0, 0, 0, 0};
    int windowed = 0;
};

} // namespace bench
