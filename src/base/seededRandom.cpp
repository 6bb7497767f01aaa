#include "base/seededRandom.h"

#include "base/seams.h"

namespace {

seededRandom g_installed;
bool g_isInstalled = false;

int drawInstalled() {
    return g_installed.nextRaw();
}

} // namespace

std::uint32_t seededRandom::next() {
    std::uint32_t x = state_;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    state_ = x;
    return x;
}

void seededRandom::install(std::uint32_t seed) {
    g_installed.reseed(seed);
    g_isInstalled = true;
    seams::setRandomSource(drawInstalled);
}

bool seededRandom::installed() {
    return g_isInstalled;
}

std::uint32_t seededRandom::installedState() {
    return g_installed.state_;
}

void seededRandom::setInstalledState(std::uint32_t state) {
    g_installed.reseed(state);
}
