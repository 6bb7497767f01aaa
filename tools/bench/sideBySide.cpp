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
    return classicRan && (compatRan || !compatFound) ? 0 : 1;
}

} // namespace bench
