// Replays a recorded game headless and prints its final state; exits 1 when
// an expectation of the replay does not hold.
//   replay FILE [--trace] [--refresh N | --sync-test N [--screens]]
//   replay --fields FILE
// (run from the folder that holds data/)
// --refresh N makes the passes in refreshes of N, drawing only the last of
// each, as the web page does; the game must end exactly as without it.
// --sync-test N plays the game in frames of 16 passes, rolling back N frames
// and playing them again after every frame; it stops with exit code 1 at the
// first difference.  With --screens each frame is drawn, and drawn again
// after its rollback, and the two screens must match.  --keep FIELD makes
// the restores leave that field of the saved state as it is, which some
// recorded game must catch for every field (syncSelfCheck.sh); --fields
// lists the fields.
#include "replayRunner.h"
#include "syncTest.h"

#include "game/matchState.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const char* usage = "usage: replay FILE [--trace] [--refresh N | --sync-test N [--screens]]\n"
                        "       replay --fields FILE\n";
    if (argc < 2) {
        std::cerr << usage;
        return 2;
    }
    if (std::strcmp(argv[1], "--fields") == 0) {
        replayScript script;
        std::string error;
        if (argc < 3 || !script.load(argv[2], error)) {
            std::cerr << usage;
            return 2;
        }
        replayRunner runner(script);
        for (const std::string& name : matchState(runner.session).fieldNames())
            std::cout << name << "\n";
        return 0;
    }
    replayScript script;
    std::string error;
    if (!script.load(argv[1], error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 2;
    }
    bool trace = false;
    long passesPerRefresh = 1;
    long syncDepth = 0;
    std::string kept;     // --keep FIELD: the sync test's restores leave it as it is
    bool screens = false; // --screens: the sync test compares the screens too
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0) {
            trace = true;
        } else if (std::strcmp(argv[i], "--refresh") == 0 && i + 1 < argc) {
            passesPerRefresh = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--screens") == 0) {
            screens = true;
        } else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            kept = argv[++i];
        } else if (std::strcmp(argv[i], "--sync-test") == 0 && i + 1 < argc) {
            syncDepth = std::strtol(argv[++i], nullptr, 10);
            if (syncDepth < 1 || syncDepth > 64) {
                std::cerr << "replay: --sync-test takes 1 to 64 frames\n";
                return 2;
            }
        } else {
            std::cerr << usage;
            return 2;
        }
    }
    if (syncDepth > 0) {
        syncTest test(script, static_cast<int>(syncDepth), trace ? &std::cerr : nullptr, kept,
                      screens);
        syncTest::result r = test.run();
        std::cout << r.finalState;
        std::cerr << argv[1] << ": " << r.frames << " frames, " << r.rollbacks << " rollbacks of "
                  << syncDepth << ", " << r.soundsStarted << " sounds started\n";
        if (!r.agreed) {
            std::cerr << argv[1] << ": sync test failed at " << r.message << "\n";
            return 1;
        }
        return 0;
    }
    int failed = 0;
    {
        replayRunner runner(script, trace ? &std::cerr : nullptr);
        runner.setPassesPerRefresh(passesPerRefresh);
        runner.run();
        std::cout << runner.stateText();
        for (const std::string& failure : runner.failedExpectations()) {
            std::cerr << argv[1] << ": " << failure << "\n";
            ++failed;
        }
    }
    std::cout.flush();
    return failed ? 1 : 0;
}
