// The program's entry in a web page (the web build; the desktop's is
// entry.cpp).  The browser calls refresh() once per display refresh.  The
// desktop loop never waits and makes many passes per millisecond, and
// everything in the game that follows time reads the millisecond clock, so
// each refresh makes one pass per millisecond of the game clock since the
// last refresh (refreshLoop), and the game clock follows real time: walking,
// jumps, particles and the opponent's timers run at the desktop's speed.
#include "game/main.h"
#include "game/refreshLoop.h"

#include "base/seams.h"
#include "base/seededRandom.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A refresh that comes late (a busy machine; the page's audio starting,
// which can take a second) makes up for the time it missed.  A page that was
// hidden gets no refreshes at all; on its return the game goes on from where
// it was, as after a stall of the desktop loop, rather than racing through
// every missed millisecond.
constexpr Uint32 mostPassesPerRefresh = 2000;

refreshLoop* g_loop = nullptr;
double g_startMs = 0;
Uint32 g_clock = 0; // the game clock the passes advance, in ms
bool g_looping = false;
Uint32 g_stopAt = 0; // for the browser test: the clock goes no further (0: no stop)

Uint32 realMs() {
    return static_cast<Uint32>(emscripten_get_now() - g_startMs);
}

// The game clock starts when the loop does: start-up in a browser takes far
// longer than on the desktop, and none of it is game time.  So a page opened
// with ?seed=N plays exactly the game a replay with seed N plays when the
// same keys land on the same ticks.
Uint32 gameTicks() {
    return g_looping ? g_clock : 0;
}

// Tells the page how far the game has come ("started", "ended").
void tellPage(const char* what) {
    EM_ASM(
        {
            if (Module.onGameEvent) Module.onGameEvent(UTF8ToString($0));
        },
        what);
}

void refresh() {
    Uint32 now = realMs();
    // A clock the test has stopped stands however long the test takes; only
    // the time up to the stop counts as missed.
    if (g_stopAt && now > g_stopAt) now = g_stopAt > g_clock ? g_stopAt : g_clock;
    if (now - g_clock > mostPassesPerRefresh) g_clock = now - mostPassesPerRefresh;
    const long framesBefore = g_loop->framesDrawn();
    const bool goOn = g_loop->refresh(static_cast<long>(now - g_clock), [] { ++g_clock; });
    if (framesBefore == 0 && g_loop->framesDrawn() == 1) tellPage("first frame");
    // For the key-to-screen measure (web/keyToScreen.js): a frame was drawn.
    if (g_loop->framesDrawn() != framesBefore)
        EM_ASM({
            if (Module.onFrameDrawn) Module.onFrameDrawn();
        });
    if (!goOn) {
        seams::trace().flush();
        emscripten_cancel_main_loop();
        tellPage("ended");
    }
}

} // namespace

// For the browser test: the game clock and how far it is behind real time,
// the passes and frames made, the live particles and both fighters, as JSON.
extern "C" EMSCRIPTEN_KEEPALIVE const char* webStatus() {
    static std::string text;
    auto fighter = [](const Fighter& f) {
        return "{\"x\":" + std::to_string(f.xPos) + ",\"y\":" + std::to_string(f.yPos) +
               ",\"hp\":" + std::to_string(f.hp) + ",\"action\":\"" + f.actionName + "\"}";
    };
    text = "{\"clock\":" + std::to_string(g_clock) +
           ",\"behind\":" + std::to_string(static_cast<int>(realMs() - g_clock)) +
           ",\"passes\":" + std::to_string(g_loop ? g_loop->passesMade() : 0) +
           ",\"frames\":" + std::to_string(g_loop ? g_loop->framesDrawn() : 0) +
           ",\"particles\":" + std::to_string(pList.size()) + ",\"p1\":" + fighter(vikings1) +
           ",\"p2\":" + fighter(fighter2) + "}";
    return text.c_str();
}

// For the browser test: the game clock stops at `tick` (0: goes on), so that
// key presses land on known ticks however late the test sends them.
extern "C" EMSCRIPTEN_KEEPALIVE void webStopAt(Uint32 tick) {
    g_stopAt = tick;
}

// Arguments come from the page's address: ?seed=N seeds the opponent;
// ?stopAt=N stops the game clock at tick N (for the browser test).
int main(int argc, char* argv[]) {
    seams::setTickSource(gameTicks);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0) {
            // The replay tool's generator, so that a page opened with ?seed=N
            // gives the opponent the choices of a replay with seed N.
            seededRandom::install(static_cast<Uint32>(std::strtoul(argv[i + 1], nullptr, 10)));
        }
        if (std::strcmp(argv[i], "--stop-at") == 0)
            g_stopAt = static_cast<Uint32>(std::strtoul(argv[i + 1], nullptr, 10));
    }

    sdlInit();
    static gameSession session;
    startUp(session);
    static refreshLoop loop(session);
    g_loop = &loop;
    seams::trace().flush();
    tellPage("started");

    g_startMs = emscripten_get_now();
    g_clock = 0;
    g_looping = true;
    // Returns at once; the browser calls refresh() on every display refresh.
    emscripten_set_main_loop(refresh, 0, 0);
    return 0;
}
