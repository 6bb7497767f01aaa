// Key to screen on the desktop: the real loop (runPass, as fast as the
// machine lets it, on the real clock) with the punch key pressed now and
// then, as a player's key press arrives: an event in SDL's queue.  For each
// press, the passes and the time from the event being queued to the first
// frame sent to the window that shows the punch (the frame the press
// changes: without it player 1 would still be standing).
#include "sections.h"

#include "base/seams.h"
#include "game/main.h"
#include "game/screenUpdate.h"
#include "replayRunner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <streambuf>
#include <string>

namespace bench {

namespace {

constexpr int presses = 25;

struct pressResult {
    double passes[presses];
    double ms[presses];
    int seen = 0;
    int missed = 0;
};

long g_passes = 0;
bool g_waiting = false;
long g_pressPass = 0;
long long g_pressNs = 0;
pressResult g_result;

// Called as each frame goes to the window, right after the library call.
void frameSent(SDL_Surface*, bool, const std::vector<SDL_Rect>&) {
    if (!g_waiting || vikings1.returnMoveName() != "punch") return;
    g_waiting = false;
    g_result.passes[g_result.seen] = static_cast<double>(g_passes - g_pressPass);
    g_result.ms[g_result.seen] = (nowNs() - g_pressNs) / 1e6;
    ++g_result.seen;
}

} // namespace

int keyToScreenChild(int fd) {
    seams::setTraceStream(&seams::nowhere());
    seams::setErrorStream(&seams::nowhere());
    sdlInit();
    gameSession session;
    startUp(session);
    screenUpdate::setWatcher(frameSent);
    // Half a second of play first; then a press whenever player 1 stands
    // free, at least 400 ms after the last punch was seen.  A press the game
    // does not take within a second (player 1 knocked about) is dropped.
    long long nextPress = nowNs() + 500'000'000LL;
    while (g_result.seen < presses && g_result.missed < presses) {
        const long long now = nowNs();
        if (g_waiting && now - g_pressNs > 1'000'000'000LL) {
            g_waiting = false;
            ++g_result.missed;
        }
        if (!g_waiting && now >= nextPress && !vikings1.returnBusy() && vikings1.onGround &&
            vikings1.returnMoveName() != "punch") {
            replayRunner::pushKeyEvent(SDLK_z, true);
            replayRunner::pushKeyEvent(SDLK_z, false);
            g_pressNs = nowNs();
            g_pressPass = g_passes;
            g_waiting = true;
            nextPress = g_pressNs + 400'000'000LL;
        }
        ++g_passes;
        if (!runPass(session)) break;
    }
    if (write(fd, &g_result, sizeof g_result) != sizeof g_result) return 1;
    std::_Exit(0);
}

void keyToScreenSection(const char* self, libraryRow& row) {
    std::fflush(stdout);
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execl(self, self, "--key-to-screen", fd.c_str(), static_cast<char*>(nullptr));
        std::_Exit(1);
    }
    close(fds[1]);
    pressResult result;
    ssize_t got = read(fds[0], &result, sizeof result);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got != sizeof result || result.seen == 0) {
        std::printf("key to screen: no punch was seen\n");
        return;
    }
    std::vector<double> passes(result.passes, result.passes + result.seen);
    std::vector<double> ms(result.ms, result.ms + result.seen);
    row.keyPasses = median(passes);
    row.keyMs = median(ms);
    std::printf("key to screen (desktop loop, %d presses, %d not taken): median %.0f pass%s, "
                "%.3f ms; most %.0f passes, %.3f ms\n",
                result.seen, result.missed, row.keyPasses, row.keyPasses == 1 ? "" : "es",
                row.keyMs, *std::max_element(passes.begin(), passes.end()),
                *std::max_element(ms.begin(), ms.end()));
}

} // namespace bench
