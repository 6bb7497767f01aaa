// Tests run headless: SDL gets its dummy video and audio drivers whoever
// starts the tests, so nothing writes escape codes to the terminal and no
// sound device is needed.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
