// The game exactly as `fighter` plays it, for the real-window test, with one
// difference: each trace line reaches standard output as soon as it is
// complete.  The game itself keeps its trace in a large buffer, so a test
// watching `fighter` sees the trace only in big pieces, or at exit; watching
// this program it can wait for what the game reports ("Change Action:
// fireball") instead of for the clock.
#include "base/seams.h"
#include "game/main.h"

#include <cstdio>
#include <iostream>

int main(int argc, char* argv[]) {
    // std::cout left in step with C stdio writes through stdout, and a
    // line-buffered stdout writes each line whole, in one piece.
    std::setvbuf(stdout, nullptr, _IOLBF, 1 << 16);
    seams::setTraceStream(&std::cout);
    return SDL_main(argc, argv);
}
