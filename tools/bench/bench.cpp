// Benchmark: the real start-up and the real loop, headless, on the default
// data, on classic SDL 1.2 and on sdl12-compat side by side.  See
// tools/bench/README.md for what each section measures and where the time
// goes.
//   bench [PASSES]            (run from the folder that holds data/)
// The benchmark starts itself for each library and for some sections:
//   bench --one-library FD PASSES   every section on the SDL 1.2 loaded
//   bench --first-frame FD          start the game, draw the first frame
//   bench --key-to-screen FD        the real loop, with key presses
//   bench --send-x11 FD             the loop's frames sent to an X11 window
//   bench --online                  online play's section (onlineBench.h)
#include "onlineBench.h"
#include "sections.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const long long mainEntered = bench::nowNs();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto is = [&](const char* option) { return argc > 2 && std::strcmp(argv[1], option) == 0; };
    if (argc > 1 && std::strcmp(argv[1], "--online") == 0) return onlineBench::run();
    if (is("--first-frame")) return bench::firstFrameChild(std::atoi(argv[2]), mainEntered);
    if (is("--key-to-screen")) return bench::keyToScreenChild(std::atoi(argv[2]));
    if (is("--send-x11")) return bench::sendX11Child(std::atoi(argv[2]));
    if (is("--one-library"))
        return bench::oneLibrary("/proc/self/exe", std::atoi(argv[2]),
                                 argc > 3 ? std::atol(argv[3]) : 30000);
    return bench::sideBySide("/proc/self/exe", argc > 1 ? std::atol(argv[1]) : 30000);
}
