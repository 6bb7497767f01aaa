// Sending a frame to the window, each way the library offers, on the very
// rectangles the loop sent: the frames kept while the loop ran are sent
// again, every way in turn, and each call is timed.  All ways show the same
// pixels in the window (what is not sent has not changed); the game sends
// the cheapest on the library it runs on (src/game/screenUpdate.cpp).
#include "callTimes.h"
#include "sections.h"

#include "game/main.h"

#include <cstdio>
#include <cstring>

namespace bench {

namespace {

struct way {
    const char* name;
    void (*send)(const std::vector<SDL_Rect>& rects);
};

SDL_Rect hullOf(const std::vector<SDL_Rect>& rects) {
    int x0 = rects[0].x, y0 = rects[0].y, x1 = x0 + rects[0].w, y1 = y0 + rects[0].h;
    for (const SDL_Rect& r : rects) {
        x0 = std::min<int>(x0, r.x);
        y0 = std::min<int>(y0, r.y);
        x1 = std::max<int>(x1, r.x + r.w);
        y1 = std::max<int>(y1, r.y + r.h);
    }
    return SDL_Rect{static_cast<Sint16>(x0), static_cast<Sint16>(y0), static_cast<Uint16>(x1 - x0),
                    static_cast<Uint16>(y1 - y0)};
}

const way ways[] = {
    {"SDL_UpdateRects, the merged list",
     [](const std::vector<SDL_Rect>& r) {
         SDL_UpdateRects(screen, static_cast<int>(r.size()), const_cast<SDL_Rect*>(r.data()));
     }},
    {"SDL_UpdateRect, one call a rectangle",
     [](const std::vector<SDL_Rect>& r) {
         for (const SDL_Rect& one : r)
             SDL_UpdateRect(screen, one.x, one.y, one.w, one.h);
     }},
    {"SDL_UpdateRect of their hull",
     [](const std::vector<SDL_Rect>& r) {
         SDL_Rect h = hullOf(r);
         SDL_UpdateRect(screen, h.x, h.y, h.w, h.h);
     }},
    {"SDL_Flip, the whole screen", [](const std::vector<SDL_Rect>&) { SDL_Flip(screen); }},
};
constexpr int wayCount = sizeof ways / sizeof ways[0];

} // namespace

void screenUpdateSection() {
    const std::vector<callTimes::sentFrame>& frames = callTimes::sentFrames();
    std::vector<double> times[wayCount];
    double rects = 0, pixels = 0;
    int sent = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const callTimes::sentFrame& frame = frames[i];
        if (frame.whole || frame.rects.empty()) continue;
        ++sent;
        rects += static_cast<double>(frame.rects.size());
        for (const SDL_Rect& r : frame.rects)
            pixels += static_cast<double>(r.w) * r.h;
        // Each way in turn, starting with another one each frame.
        for (int k = 0; k < wayCount; ++k) {
            const way& w = ways[(i + k) % wayCount];
            auto begin = clock_type::now();
            w.send(frame.rects);
            times[(i + k) % wayCount].push_back(microseconds(clock_type::now() - begin));
        }
    }
    if (sent == 0) return;
    // The same rectangles copied row by row into memory of the screen's
    // size: what moving those pixels once costs.
    std::vector<Uint8> copy(static_cast<size_t>(screen->pitch) * screen->h);
    std::vector<double> copyTimes, nsPerPixel;
    for (size_t i = 0, k = 0; i < frames.size(); ++i) {
        const callTimes::sentFrame& frame = frames[i];
        if (frame.whole || frame.rects.empty()) continue;
        double pixelsHere = 0;
        auto begin = clock_type::now();
        for (const SDL_Rect& r : frame.rects) {
            for (int y = r.y; y < r.y + r.h; ++y)
                std::memcpy(copy.data() + y * screen->pitch + r.x * 4,
                            static_cast<const Uint8*>(screen->pixels) + y * screen->pitch + r.x * 4,
                            static_cast<size_t>(r.w) * 4);
            pixelsHere += static_cast<double>(r.w) * r.h;
        }
        copyTimes.push_back(microseconds(clock_type::now() - begin));
        nsPerPixel.push_back(times[0][k++] * 1000 / pixelsHere);
    }
    std::printf("sending a frame, %d frames of the loop sent again (%.1f rectangles, %.0f pixels "
                "a frame)\n",
                sent, rects / sent, pixels / sent);
    for (int k = 0; k < wayCount; ++k)
        std::printf("  %-40s median %8.2f us\n", ways[k].name, median(times[k]));
    std::printf("  %-40s median %8.2f us\n", "(memcpy of the same rectangles' rows)",
                median(copyTimes));
    std::printf("  SDL_UpdateRects costs %.2f ns a pixel sent\n", median(nsPerPixel));
}

} // namespace bench
