// Both SDL 1.2 libraries in one invocation: the benchmark runs itself once on
// the system's SDL 1.2 (classic SDL 1.2 on the development machine) and once
// with sdl12-compat loaded from its folder, then prints both rows.
#include "sections.h"

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

namespace {

// Where Debian and Ubuntu keep sdl12-compat beside classic SDL 1.2;
// FIGHTER_SDL12_COMPAT names another folder.
std::string compatFolder() {
    const char* chosen = std::getenv("FIGHTER_SDL12_COMPAT");
    return chosen ? chosen : "/usr/lib/x86_64-linux-gnu/sdl12-compat";
}

// Runs `self --one-library` with LD_LIBRARY_PATH as given ("" to leave it
// unset); its sections print as they go.  False when it did not run through.
bool runOn(const char* self, const std::string& libraryPath, long passes, libraryRow& row) {
    std::fflush(stdout);
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (libraryPath.empty())
            unsetenv("LD_LIBRARY_PATH");
        else
            setenv("LD_LIBRARY_PATH", libraryPath.c_str(), 1);
        const std::string fd = std::to_string(fds[1]), count = std::to_string(passes);
        execl(self, self, "--one-library", fd.c_str(), count.c_str(), static_cast<char*>(nullptr));
        std::_Exit(1);
    }
    close(fds[1]);
    ssize_t got = read(fds[0], &row, sizeof row);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got == sizeof row && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void printRow(const char* name, const libraryRow& r) {
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("| %-15s | %6.1f us | %6.1f us | %4.2f | %6.1f us | %4.2f | %5.1f ms | %.0f pass, "
                "%.2f ms | %6.1f us | %4.2f |\n",
                name, r.pass, r.limit, ratio(r.pass, r.limit), r.floor, ratio(r.pass, r.floor),
                r.mainToFirstFrameMs, r.keyPasses, r.keyMs, r.capPass,
                ratio(r.capPass, r.idlePass));
}

// Where a pass goes on each library, call by call, and how far each is from
// its target (1.3 times the limit on classic SDL 1.2, 1.5 times on
// sdl12-compat).
void printWhereThePassGoes(const libraryRow* rows[2], const char* names[2]) {
    std::printf("\n| where a pass goes (medians over the passes) | %s | %s |\n", names[0],
                names[1]);
    std::printf("|---|---|---|\n");
    auto line = [&rows](const char* what, double (*of)(const libraryRow&)) {
        std::printf("| %s |", what);
        for (int k = 0; k < 2; ++k)
            if (rows[k])
                std::printf(" %.1f us |", of(*rows[k]));
            else
                std::printf(" - |");
        std::printf("\n");
    };
    line("one pass", [](const libraryRow& r) { return r.pass; });
    line("sending the frame: `SDL_UpdateRect`, `SDL_UpdateRects`, `SDL_Flip`",
         [](const libraryRow& r) { return r.sending; });
    line("reading events: `SDL_PollEvent`", [](const libraryRow& r) { return r.events; });
    line("the library's other calls: `SDL_GetTicks`, `Mix_PlayChannelTimed`",
         [](const libraryRow& r) { return r.otherCalls; });
    line("the game's copies, draws and fills (its copy list, timed apart)",
         [](const libraryRow& r) { return r.list; });
    line("the rest: controls, opponent, hits, particles (the pass beyond the above)",
         [](const libraryRow& r) { return r.rest(); });
    line("the bytes-moved limit", [](const libraryRow& r) { return r.limit; });
    line("the target: 1.3 (classic), 1.5 (sdl12-compat) times the limit",
         [](const libraryRow& r) { return r.limit * (r.compat == 1 ? 1.5 : 1.3); });
    std::printf("| pass / limit; without sending and events |");
    for (int k = 0; k < 2; ++k)
        if (rows[k] && rows[k]->limit > 0)
            std::printf(" %.2f; %.2f |", rows[k]->pass / rows[k]->limit,
                        (rows[k]->pass - rows[k]->sending - rows[k]->events) / rows[k]->limit);
        else
            std::printf(" - |");
    std::printf("\n");
}

// Sending the loop's frames each way, on each library, to the dummy driver
// the loop ran on and to an X11 window: the game sends them the way marked.
void printSending(const libraryRow* rows[2]) {
    const char* const ways[4] = {
        "`SDL_UpdateRects`, the merged list (the game's way on classic SDL 1.2)",
        "`SDL_UpdateRect`, one call a rectangle (the game's way on sdl12-compat)",
        "`SDL_UpdateRect` of their hull", "`SDL_Flip`, the whole screen"};
    std::printf(
        "\n| sending a frame of the loop (median) | classic SDL 1.2, dummy driver | classic "
        "SDL 1.2, X11 window | sdl12-compat, dummy driver | sdl12-compat, X11 window |\n");
    std::printf("|---|---|---|---|---|\n");
    for (int k = 0; k < 4; ++k) {
        std::printf("| %s |", ways[k]);
        for (int r = 0; r < 2; ++r) {
            if (rows[r])
                std::printf(" %.2f us |", rows[r]->sendDummy[k]);
            else
                std::printf(" - |");
            if (rows[r] && rows[r]->windowed)
                std::printf(" %.2f us |", rows[r]->sendWindow[k]);
            else
                std::printf(" - |");
        }
        std::printf("\n");
    }
}

} // namespace

const char* libraryName() {
    static std::string name;
    const SDL_version* v = SDL_Linked_Version();
    // sdl12-compat reports 1.2.50 and above; classic SDL 1.2 ended at 1.2.15.
    name = std::string(v->patch >= 50 ? "sdl12-compat " : "classic SDL 1.2 ") +
           std::to_string(v->major) + "." + std::to_string(v->minor) + "." +
           std::to_string(v->patch);
    return name.c_str();
}

int sideBySide(const char* self, long passes) {
    libraryRow classic, compat;
    const bool classicRan = runOn(self, "", passes, classic);
    const std::string folder = compatFolder();
    const bool compatFound = access((folder + "/libSDL-1.2.so.0").c_str(), R_OK) == 0;
    const bool compatRan = compatFound && runOn(self, folder, passes, compat);
    if (!compatFound) std::printf("sdl12-compat not found in %s\n", folder.c_str());

    std::printf("\n== side by side, %ld passes\n", passes);
    std::printf("| library         | one pass  | bytes-moved limit | pass / limit | strict "
                "floor | pass / floor | main to first frame | key to screen | pass at the "
                "particle cap | cap / idle pass |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    if (classicRan) printRow(classic.compat == 1 ? "(sdl12-compat?)" : "classic SDL 1.2", classic);
    if (compatRan) printRow(compat.compat == 1 ? "sdl12-compat" : "(not compat?)", compat);
    const libraryRow* rows[2] = {classicRan ? &classic : nullptr, compatRan ? &compat : nullptr};
    const char* names[2] = {"classic SDL 1.2", "sdl12-compat"};
    printWhereThePassGoes(rows, names);
    printSending(rows);
    return classicRan && (compatRan || !compatFound) ? 0 : 1;
}

} // namespace bench
