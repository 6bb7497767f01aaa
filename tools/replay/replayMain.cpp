// Replays a recorded game headless and prints its final state; exits 1 when
// an expectation of the replay does not hold.
//   replay FILE [--trace]     (run from the folder that holds data/)
#include "replayRunner.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: replay FILE [--trace]\n";
        return 2;
    }
    replayScript script;
    std::string error;
    if (!script.load(argv[1], error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 2;
    }
    bool trace = argc > 2 && std::strcmp(argv[2], "--trace") == 0;
    int failed = 0;
    {
        replayRunner runner(script, trace ? &std::cerr : nullptr);
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
