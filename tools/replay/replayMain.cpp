// Replays a recorded game headless and prints its final state; exits 1 when
// an expectation of the replay does not hold.
//   replay FILE [--trace] [--refresh N | --sync-test N [--screens]]
//   replay --fields FILE
// (run from the folder that holds data/)
// --refresh N makes the passes in refreshes of N, drawing only the last of
// each, as the web page does; the game must end exactly as without it.
// --sync-test N plays the game in frames of 16 passes, rolling back N frames
// and playing them again after every frame; it stops with exit code 1 at the
// first difference, and like a straight run exits 1 when an expectation does
// not hold.  With --screens each frame is drawn, and drawn again
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

namespace {

const char* usage = "usage: replay FILE [--trace] [--refresh N | --sync-test N [--screens]]\n"
                    "       replay --fields FILE\n";

// What the options after FILE ask for.
struct replayOptions {
    bool trace = false;
    long passesPerRefresh = 1;
    long syncDepth = 0;
    std::string kept;     // --keep FIELD: the sync test's restores leave it as it is
    bool screens = false; // --screens: the sync test compares the screens too
};

// False, with the complaint on standard error, when an option is wrong.
bool readOptions(int argc, char** argv, replayOptions& o) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0) {
            o.trace = true;
        } else if (std::strcmp(argv[i], "--refresh") == 0 && i + 1 < argc) {
            o.passesPerRefresh = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--screens") == 0) {
            o.screens = true;
        } else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            o.kept = argv[++i];
        } else if (std::strcmp(argv[i], "--sync-test") == 0 && i + 1 < argc) {
            o.syncDepth = std::strtol(argv[++i], nullptr, 10);
            if (o.syncDepth < 1 || o.syncDepth > 64) {
                std::cerr << "replay: --sync-test takes 1 to 64 frames\n";
                return false;
            }
        } else {
            std::cerr << usage;
            return false;
        }
    }
    return true;
}

// replay --fields FILE: the names of the saved state's fields.
int listFields(int argc, char** argv) {
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

int runSyncTest(const replayScript& script, const replayOptions& o, const char* file) {
    syncTest test(script, static_cast<int>(o.syncDepth), o.trace ? &std::cerr : nullptr, o.kept,
                  o.screens);
    syncTest::result r = test.run();
    std::cout << r.finalState;
    std::cerr << file << ": " << r.frames << " frames, " << r.rollbacks << " rollbacks of "
              << o.syncDepth << ", " << r.soundsStarted << " sounds started\n";
    if (!r.agreed) {
        std::cerr << file << ": sync test failed at " << r.message << "\n";
        return 1;
    }
    for (const std::string& failure : r.failedExpectations)
        std::cerr << file << ": " << failure << "\n";
    return r.failedExpectations.empty() ? 0 : 1;
}

// The game played straight through (in refreshes of N passes with
// --refresh); 1 when an expectation of the recording does not hold.
int playThrough(const replayScript& script, const replayOptions& o, const char* file) {
    int failed = 0;
    {
        replayRunner runner(script, o.trace ? &std::cerr : nullptr);
        runner.setPassesPerRefresh(o.passesPerRefresh);
        runner.run();
        std::cout << runner.stateText();
        for (const std::string& failure : runner.failedExpectations()) {
            std::cerr << file << ": " << failure << "\n";
            ++failed;
        }
    }
    std::cout.flush();
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << usage;
        return 2;
    }
    if (std::strcmp(argv[1], "--fields") == 0) return listFields(argc, argv);
    replayScript script;
    std::string error;
    if (!script.load(argv[1], error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 2;
    }
    replayOptions options;
    if (!readOptions(argc, argv, options)) return 2;
    if (options.syncDepth > 0) return runSyncTest(script, options, argv[1]);
    return playThrough(script, options, argv[1]);
}
