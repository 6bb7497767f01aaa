// Particle spawn graphs: the input is cut at "\n====\n" into the particle
// files of four definitions a, b, c and d (their frames load), whose
// "OnDeath" lists may name each other and themselves, any number of times.
// One "a" is spawned and the list lives through two seconds of ticks: the
// live particles must stay within the cap, and every update must end.
#include "base/seams.h"
#include "fuzzSupport.h"
#include "particle/partInfoList.h"
#include "particle/particle.h"
#include "particle/particleList.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

Uint32 g_now = 0;
Uint32 fuzzTicks() {
    return g_now;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietGame();
    fuzz::headlessScreen();
    seams::setTickSource(fuzzTicks);
    if (chdir(fuzz::workDir().c_str()) != 0) {
        std::perror("chdir");
        std::abort();
    }
    for (const char* name : {"a", "b", "c", "d"})
        testing_support::writeOneFrameFolder(std::string("data/particle/") + name);
    testing_support::writeFile("data/particle/graph", "PARTS: 4\na 1\nb 2\nc 3\nd 4\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string rest(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"a", "b", "c", "d"}) {
        const size_t cut = rest.find("\n====\n");
        testing_support::writeFile(std::string("data/particle/") + name + "/particle",
                                   rest.substr(0, cut));
        rest = cut == std::string::npos ? "" : rest.substr(cut + 6);
    }
    partInfoList definitions;
    definitions.addList("graph", fuzz::headlessScreen());
    particleList live;
    g_now = 1000;
    live.addParticleD("a 30 30", true, nullptr, &definitions, fuzz::headlessScreen(), 1000);
    for (int step = 0; step < 50; ++step) {
        g_now += 40;
        live.update();
        // Live ones within the cap; the dead wait for the next update.
        int alive = 0;
        for (particleList::node* at = live.head; at; at = at->next)
            if (!at->item->dead) ++alive;
        if (alive > particleList::maxParticles) std::abort();
    }
    return 0;
}
