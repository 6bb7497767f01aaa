#include "callTimes.h"

#include "benchCommon.h"
#include "game/screenUpdate.h"

#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>

namespace {

enum call {
    updateRects,
    updateRect,
    flip,
    upperBlit,
    fillRect,
    pollEvent,
    lockSurface,
    unlockSurface,
    getTicks,
    playChannel,
    callCount
};
const char* const callNames[callCount] = {
    "SDL_UpdateRects", "SDL_UpdateRect",      "SDL_Flip",        "SDL_UpperBlit (SDL_BlitSurface)",
    "SDL_FillRect",    "SDL_PollEvent",       "SDL_LockSurface", "SDL_UnlockSurface",
    "SDL_GetTicks",    "Mix_PlayChannelTimed"};

bool g_timing = false;
long long g_count[callCount] = {};
double g_us[callCount] = {};
// The first calls' times one by one, for their median.
constexpr size_t mostTimesKept = 200000;
std::vector<double> g_each[callCount];
// The current pass's time in each call.
double g_passUs[callCount] = {};

template <typename F> F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// Times one call when timing is on; a call the library makes inside another
// (sdl12-compat's SDL_UpdateRect calls SDL_UpdateRects) is the outer one's.
int g_depth = 0;
struct timed {
    call which;
    bool outermost;
    bench::clock_type::time_point begin;
    explicit timed(call c) : which(c), outermost(g_depth++ == 0) {
        if (g_timing && outermost) begin = bench::clock_type::now();
    }
    ~timed() {
        --g_depth;
        if (!g_timing || !outermost) return;
        const double us = bench::microseconds(bench::clock_type::now() - begin);
        g_us[which] += us;
        g_passUs[which] += us;
        ++g_count[which];
        if (g_each[which].size() < mostTimesKept) g_each[which].push_back(us);
    }
};

bool g_keep = false;
long g_seen = 0;
std::vector<callTimes::sentFrame> g_sent;
constexpr size_t mostKept = 3000;

void watch(SDL_Surface*, bool whole, const std::vector<SDL_Rect>& sent) {
    if (!g_keep || g_seen++ % 10 != 0 || g_sent.size() >= mostKept) return;
    g_sent.push_back(callTimes::sentFrame{whole, sent});
}

} // namespace

extern "C" {

void SDL_UpdateRects(SDL_Surface* screen, int count, SDL_Rect* rects) {
    static auto f = real<void (*)(SDL_Surface*, int, SDL_Rect*)>("SDL_UpdateRects");
    timed t(updateRects);
    f(screen, count, rects);
}

void SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    static auto f = real<void (*)(SDL_Surface*, Sint32, Sint32, Uint32, Uint32)>("SDL_UpdateRect");
    timed t(updateRect);
    f(screen, x, y, w, h);
}

int SDL_Flip(SDL_Surface* screen) {
    static auto f = real<int (*)(SDL_Surface*)>("SDL_Flip");
    timed t(flip);
    return f(screen);
}

int SDL_UpperBlit(SDL_Surface* source, SDL_Rect* from, SDL_Surface* target, SDL_Rect* to) {
    static auto f =
        real<int (*)(SDL_Surface*, SDL_Rect*, SDL_Surface*, SDL_Rect*)>("SDL_UpperBlit");
    timed t(upperBlit);
    return f(source, from, target, to);
}

int SDL_FillRect(SDL_Surface* target, SDL_Rect* rect, Uint32 colour) {
    static auto f = real<int (*)(SDL_Surface*, SDL_Rect*, Uint32)>("SDL_FillRect");
    timed t(fillRect);
    return f(target, rect, colour);
}

int SDL_PollEvent(SDL_Event* event) {
    static auto f = real<int (*)(SDL_Event*)>("SDL_PollEvent");
    timed t(pollEvent);
    return f(event);
}

int SDL_LockSurface(SDL_Surface* surface) {
    static auto f = real<int (*)(SDL_Surface*)>("SDL_LockSurface");
    timed t(lockSurface);
    return f(surface);
}

void SDL_UnlockSurface(SDL_Surface* surface) {
    static auto f = real<void (*)(SDL_Surface*)>("SDL_UnlockSurface");
    timed t(unlockSurface);
    f(surface);
}

Uint32 SDL_GetTicks(void) {
    static auto f = real<Uint32 (*)(void)>("SDL_GetTicks");
    timed t(getTicks);
    return f();
}

int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks) {
    static auto f = real<int (*)(int, Mix_Chunk*, int, int)>("Mix_PlayChannelTimed");
    timed t(playChannel);
    return f(channel, chunk, loops, ticks);
}

} // extern "C"

namespace callTimes {

void timing(bool on) {
    g_timing = on;
}

void keepSentFrames(bool on) {
    g_keep = on;
    screenUpdate::setWatcher(on ? watch : nullptr);
}

const std::vector<sentFrame>& sentFrames() {
    return g_sent;
}

void startPass() {
    for (double& us : g_passUs)
        us = 0;
}

passShare lastPass() {
    passShare share;
    for (int c = 0; c < callCount; ++c) {
        if (c == updateRects || c == updateRect || c == flip)
            share.sending += g_passUs[c];
        else if (c == pollEvent)
            share.events += g_passUs[c];
        else
            share.other += g_passUs[c];
    }
    return share;
}

void report(long passes, double passMedianUs, double passMeanUs) {
    if (passes <= 0) return;
    std::printf("library calls of a pass (the pass: median %.2f us, mean %.2f us)\n", passMedianUs,
                passMeanUs);
    std::printf("  %-32s %12s %14s %14s %14s\n", "call", "calls a pass", "us a pass", "median call",
                "slowest call");
    double total = 0;
    for (int c = 0; c < callCount; ++c) {
        if (g_count[c] == 0) continue;
        total += g_us[c];
        std::printf("  %-32s %12.2f %11.2f us %11.2f us %11.1f us\n", callNames[c],
                    static_cast<double>(g_count[c]) / passes, g_us[c] / passes,
                    bench::median(g_each[c]),
                    *std::max_element(g_each[c].begin(), g_each[c].end()));
    }
    std::printf("  %-32s %12s %11.2f us\n", "all of them", "", total / passes);
}

} // namespace callTimes
