// Sending a frame to the window, each way the library offers, on the very
// rectangles the loop sent: the frames kept while the loop ran are sent
// again, every way in turn, and each call is timed.  All ways show the same
// pixels in the window (what is not sent has not changed); the game sends
// the cheapest on the library it runs on (src/game/screenUpdate.cpp).
// SDL's dummy driver, which the loop runs on, shows nothing; with a display
// (DISPLAY set) the same rectangles are sent again to a real X11 window of
// the game's size, in a process of its own (`bench --send-x11`).
#include "callTimes.h"
#include "sections.h"

#include "game/main.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

// Every frame sent each way in turn, starting with another way each frame;
// each way's median time.
void timeWays(const std::vector<callTimes::sentFrame>& frames, double medians[wayCount]) {
    std::vector<double> times[wayCount];
    for (size_t i = 0; i < frames.size(); ++i) {
        for (int k = 0; k < wayCount; ++k) {
            const way& w = ways[(i + k) % wayCount];
            auto begin = clock_type::now();
            w.send(frames[i].rects);
            times[(i + k) % wayCount].push_back(microseconds(clock_type::now() - begin));
        }
    }
    for (int k = 0; k < wayCount; ++k)
        medians[k] = median(times[k]);
}

bool writeAll(int fd, const void* data, size_t bytes) {
    const char* at = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t n = write(fd, at, bytes);
        if (n <= 0) return false;
        at += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

bool readAll(int fd, void* data, size_t bytes) {
    char* at = static_cast<char*>(data);
    while (bytes > 0) {
        const ssize_t n = read(fd, at, bytes);
        if (n <= 0) return false;
        at += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

// `self --send-x11 FD` with the frames on its standard input; false when it
// could not open a window.
bool timeWaysOnX11(const char* self, const std::vector<callTimes::sentFrame>& frames,
                   double medians[wayCount]) {
    std::fflush(stdout);
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0) return false;
    if (pipe(fromChild) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return false;
    }
    pid_t child = fork();
    if (child == 0) {
        close(toChild[1]);
        close(fromChild[0]);
        dup2(toChild[0], 0);
        close(toChild[0]);
        const std::string fd = std::to_string(fromChild[1]);
        execl(self, self, "--send-x11", fd.c_str(), static_cast<char*>(nullptr));
        std::_Exit(1);
    }
    close(toChild[0]);
    close(fromChild[1]);
    bool sent = true;
    const Uint32 count = static_cast<Uint32>(frames.size());
    sent = sent && writeAll(toChild[1], &count, sizeof count);
    for (const callTimes::sentFrame& frame : frames) {
        const Uint32 n = static_cast<Uint32>(frame.rects.size());
        sent = sent && writeAll(toChild[1], &n, sizeof n) &&
               writeAll(toChild[1], frame.rects.data(), n * sizeof(SDL_Rect));
    }
    close(toChild[1]);
    const bool got = sent && readAll(fromChild[0], medians, wayCount * sizeof(double));
    close(fromChild[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int sendX11Child(int fd) {
    std::vector<callTimes::sentFrame> frames;
    Uint32 count = 0;
    if (!readAll(0, &count, sizeof count)) return 1;
    for (Uint32 i = 0; i < count; ++i) {
        Uint32 n = 0;
        if (!readAll(0, &n, sizeof n) || n > 100000) return 1;
        callTimes::sentFrame frame;
        frame.rects.resize(n);
        if (!readAll(0, frame.rects.data(), n * sizeof(SDL_Rect))) return 1;
        frames.push_back(std::move(frame));
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "bench --send-x11: %s\n", SDL_GetError());
        return 1;
    }
    screen = SDL_SetVideoMode(800, 600, 32, SDL_HWPALETTE);
    if (!screen) {
        std::fprintf(stderr, "bench --send-x11: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    // A screen that is not one colour, shown whole once.
    for (int y = 0; y < screen->h; y += 4) {
        SDL_Rect band{0, static_cast<Sint16>(y), static_cast<Uint16>(screen->w), 4};
        SDL_FillRect(screen, &band, SDL_MapRGB(screen->format, y % 256, 90, 255 - y % 256));
    }
    SDL_Flip(screen);
    double medians[wayCount];
    timeWays(frames, medians);
    SDL_Quit();
    return writeAll(fd, medians, sizeof medians) ? 0 : 1;
}

void screenUpdateSection(const char* self, libraryRow& row) {
    std::vector<callTimes::sentFrame> frames;
    double rects = 0, pixels = 0;
    for (const callTimes::sentFrame& frame : callTimes::sentFrames()) {
        if (frame.whole || frame.rects.empty()) continue;
        frames.push_back(frame);
        rects += static_cast<double>(frame.rects.size());
        for (const SDL_Rect& r : frame.rects)
            pixels += static_cast<double>(r.w) * r.h;
    }
    if (frames.empty()) return;
    const int sent = static_cast<int>(frames.size());
    double medians[wayCount];
    timeWays(frames, medians);
    // The same rectangles copied row by row into memory of the screen's
    // size: what moving those pixels once costs.
    std::vector<Uint8> copy(static_cast<size_t>(screen->pitch) * screen->h);
    std::vector<double> copyTimes;
    for (const callTimes::sentFrame& frame : frames) {
        auto begin = clock_type::now();
        for (const SDL_Rect& r : frame.rects)
            for (int y = r.y; y < r.y + r.h; ++y)
                std::memcpy(copy.data() + y * screen->pitch + r.x * 4,
                            static_cast<const Uint8*>(screen->pixels) + y * screen->pitch + r.x * 4,
                            static_cast<size_t>(r.w) * 4);
        copyTimes.push_back(microseconds(clock_type::now() - begin));
    }
    std::printf("sending a frame, %d frames of the loop sent again (%.1f rectangles, %.0f pixels "
                "a frame)\n",
                sent, rects / sent, pixels / sent);
    for (int k = 0; k < wayCount; ++k) {
        std::printf("  %-40s median %8.2f us\n", ways[k].name, medians[k]);
        row.sendDummy[k] = medians[k];
    }
    std::printf("  %-40s median %8.2f us\n", "(memcpy of the same rectangles' rows)",
                median(copyTimes));
    std::printf("  SDL_UpdateRects costs %.2f ns a pixel sent (its median over the mean pixels)\n",
                medians[0] * 1000 * sent / pixels);
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::printf("  (no DISPLAY: not sent to an X11 window)\n");
        return;
    }
    // A second try: on a shared machine the X server is sometimes slow to
    // take a window.
    if (!timeWaysOnX11(self, frames, medians) && !timeWaysOnX11(self, frames, medians)) {
        std::printf("  (DISPLAY %s: no X11 window opened)\n", display);
        return;
    }
    std::printf("the same frames sent to an X11 window (DISPLAY %s)\n", display);
    for (int k = 0; k < wayCount; ++k) {
        std::printf("  %-40s median %8.2f us\n", ways[k].name, medians[k]);
        row.sendWindow[k] = medians[k];
    }
    row.windowed = 1;
}

} // namespace bench
