#include "base/seams.h"

#include <cstdlib>
#include <iostream>

namespace seams {
namespace {

Uint32 sdlTicks() {
    return SDL_GetTicks();
}
int cRandom() {
    return std::rand();
}

Uint32 (*g_tickSource)() = sdlTicks;
int (*g_randomSource)() = cRandom;
std::ostream* g_trace = nullptr;
std::ostream* g_errors = nullptr;
bool (*g_soundGate)(int, const std::string&) = nullptr;

// Standard output is untied from C stdio and given a large buffer once, so a
// busy trace costs a memcpy, not a system call per line.
std::ostream& bufferedStdout() {
    static bool ready = [] {
        std::ios::sync_with_stdio(false);
        return true;
    }();
    (void)ready;
    return std::cout;
}

} // namespace

Uint32 ticks() {
    return g_tickSource();
}
void setTickSource(Uint32 (*source)()) {
    g_tickSource = source ? source : sdlTicks;
}

int rawRandom() {
    return g_randomSource();
}
void setRandomSource(int (*source)()) {
    g_randomSource = source ? source : cRandom;
}

std::ostream& trace() {
    return g_trace ? *g_trace : bufferedStdout();
}
void setTraceStream(std::ostream* stream) {
    g_trace = stream;
}

std::ostream& errors() {
    return g_errors ? *g_errors : std::cerr;
}
void setErrorStream(std::ostream* stream) {
    g_errors = stream;
}

bool soundMayStart(int player, const std::string& name) {
    return !g_soundGate || g_soundGate(player, name);
}
void setSoundGate(bool (*gate)(int player, const std::string& name)) {
    g_soundGate = gate;
}

} // namespace seams
