// Replays a recorded game headless and prints its final state; exits 1 when
// an expectation of the replay does not hold.
//   replay FILE [--trace] [--refresh N]     (run from the folder that holds data/)
// --refresh N makes the passes in refreshes of N, drawing only the last of
// each, as the web page does; the game must end exactly as without it.
#include "replayRunner.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: replay FILE [--trace] [--refresh N]\n";
        return 2;
    }
    replayScript script;
    std::string error;
    if (!script.load(argv[1], error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 2;
    }
    bool trace = false;
    long passesPerRefresh = 1;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0) {
            trace = true;
        } else if (std::strcmp(argv[i], "--refresh") == 0 && i + 1 < argc) {
            passesPerRefresh = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::cerr << "usage: replay FILE [--trace] [--refresh N]\n";
            return 2;
        }
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
