// datacheck: reads a game data folder the way the game loads it and reports
// every problem as "file:line: error|warning|note: message".
//
//   datacheck [--strict] [data-folder]     (the folder defaults to "data")
//
// Exit code 1 when there is an error (with --strict, also a warning), 2 for
// a wrong command line, 0 otherwise.
#include "dataChecker.h"
#include "diagnostics.h"

#include "base/platform.h"
#include "base/seams.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    std::string folder = "data";
    bool strict = false;
    bool haveFolder = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--strict") == 0) {
            strict = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << "usage: datacheck [--strict] [data-folder]\n"
                         "Checks a game data folder (default: data) and reports every problem.\n"
                         "  --strict  warnings fail the check as errors do\n";
            return 0;
        } else if (argv[i][0] == '-' || haveFolder) {
            std::cerr << "usage: datacheck [--strict] [data-folder]\n";
            return 2;
        } else {
            folder = argv[i];
            haveFolder = true;
        }
    }

    // Bitmaps and sounds are decoded headless, by the same SDL the game uses.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    bool audio = false;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) == 0) {
        // SDL turns Ctrl+C into a quit event nobody reads here.
        platform::restoreStopSignals();
        // The game's loaders convert frames to the display format.
        SDL_SetVideoMode(800, 600, 32, 0);
        audio = Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) == 0;
    }

    // The game's loaders trace every line they read; the findings are
    // what the author asked for.
    std::ostream quiet(nullptr);
    seams::setTraceStream(&quiet);
    seams::setErrorStream(&quiet);

    diagnostics report;
    dataChecker checker(report);
    checker.run(folder);
    report.print(std::cout);

    if (audio) Mix_CloseAudio();
    SDL_Quit();
    if (report.errors() > 0) return 1;
    if (strict && report.warnings() > 0) return 1;
    return 0;
}
