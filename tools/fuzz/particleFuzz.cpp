// Particle list and particle file: the input is cut at "\n====\n" into the
// list (data/particle/list) and the particle file of folder "p"
// (data/particle/p/particle), whose frames load.
#include "fuzzSupport.h"
#include "particle/partInfoList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The particle loader reads data/particle/... from the working folder.
    fuzz::startInWorkDir();
    testing_support::writeOneFrameFolder("data/particle/p");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [list, particle] = fuzz::splitInput(data, size);
    testing_support::writeFile("data/particle/list", list);
    testing_support::writeFile("data/particle/p/particle", particle);
    partInfoList parts;
    parts.addList("list", fuzz::headlessScreen());
    volatile long sum = 0;
    for (const char* name : {"p", "spark", "list", ""}) {
        particleInfo* info = parts.findParticle(name);
        if (!info) continue;
        sum = sum + info->alpha + info->lifetime + info->listNumber;
        for (int event = -1; event <= eventKinds; ++event)
            sum = sum + static_cast<long>(info->firstEntry(event).size());
    }
    return 0;
}
