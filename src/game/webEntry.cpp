// The program's entry in a web page (the web build; the desktop's is
// entry.cpp).  The browser calls refresh() once per display refresh.  The
// desktop loop never waits and makes many passes per millisecond, and
// everything in the game that follows time reads the millisecond clock, so
// each refresh makes one pass per millisecond of the game clock since the
// last refresh (refreshLoop), and the game clock follows real time: walking,
// jumps, particles and the opponent's timers run at the desktop's speed.
//
// The versus page online (versus.html?online, which passes --online) is
// played by src/versus/webOnline.cpp, which the page calls itself.
//
// The versus page (versus.html, which passes --versus) plays a match between
// two people at one keyboard instead, as the desktop's versus program does:
// one frame of 16 passes per 16 ms of real time (versusLoop), both players'
// keys read once a frame, the last due frame drawn.
#include "game/framePacer.h"
#include "game/main.h"
#include "game/refreshLoop.h"
#include "game/versusLoop.h"

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

// The versus page's match.
gameSession* g_session = nullptr;
bool g_versus = false;
framePacer g_pacer(versusLoop::frameMs);
std::uint32_t g_frame = 0; // frames played
long g_framesDrawn = 0;

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

// One display refresh of a versus match: the frames due since the last one,
// each with both players' input, the last of them drawn.
void refreshVersus() {
    std::uint32_t due = g_pacer.due(realMs());
    bool goOn = true;
    for (; due > 0 && goOn; --due) {
        // For the browser test: no frame past the stop tick.
        if (g_stopAt && versusLoop::tickOf(g_frame, versusLoop::passesPerFrame) > g_stopAt) break;
        const versusLoop::frameInputs inputs = versusLoop::readInputs(*g_session);
        const bool draw = due == 1;
        // The drawn frame stays on the canvas until the browser has shown it.
        goOn = versusLoop::playFrame(*g_session, g_frame++, inputs, false, draw, true);
        if (draw || !goOn) ++g_framesDrawn;
        if (g_framesDrawn == 1 && (draw || !goOn)) tellPage("first frame");
    }
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
    const Uint32 clock = g_versus ? versusLoop::clock() : g_clock;
    const long passes = g_versus ? static_cast<long>(clock) : g_loop ? g_loop->passesMade() : 0;
    const long frames = g_versus ? g_framesDrawn : g_loop ? g_loop->framesDrawn() : 0;
    text = std::string("{\"versus\":") + (g_versus ? "true" : "false") +
           ",\"clock\":" + std::to_string(clock) +
           ",\"behind\":" + std::to_string(static_cast<int>(realMs() - clock)) +
           ",\"passes\":" + std::to_string(passes) + ",\"frames\":" + std::to_string(frames) +
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
// ?stopAt=N stops the game clock at tick N (for the browser test).  The
// versus page adds --versus.
int main(int argc, char* argv[]) {
    seams::setTickSource(gameTicks);
    Uint32 seed = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--versus") == 0) g_versus = true;
        // The versus page online: the page starts the match itself
        // (src/versus/webOnline.cpp) once it knows its seed and side.
        if (std::strcmp(argv[i], "--online") == 0) {
            tellPage("online");
            return 0;
        }
    }
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0) {
            // The replay tool's generator, so that a page opened with ?seed=N
            // gives the opponent the choices of a replay with seed N.
            seed = static_cast<Uint32>(std::strtoul(argv[i + 1], nullptr, 10));
            seededRandom::install(seed);
        }
        if (std::strcmp(argv[i], "--stop-at") == 0)
            g_stopAt = static_cast<Uint32>(std::strtoul(argv[i + 1], nullptr, 10));
    }

    // A versus match runs on its own clock, frame by frame, from the
    // generator seeded with ?seed=N (1 when not given).
    if (g_versus) versusLoop::begin(seed);

    sdlInit();
    if (g_versus) SDL_WM_SetCaption("Tavro Fighter - versus", "Tavro Fighter - versus");
    static gameSession session;
    session.versus = g_versus;
    g_session = &session;
    startUp(session);
    if (g_versus) {
        seams::trace().flush();
        tellPage("started");
        g_startMs = emscripten_get_now();
        g_pacer.start(realMs());
        emscripten_set_main_loop(refreshVersus, 0, 0);
        return 0;
    }
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
