// Animation index: a fuzzed "info" naming animation folders; folder "a"
// beside it holds a frame set that loads, other names lead nowhere.
#include "fighter/animationSet.h"
#include "fuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::characterFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzz::characterFolder();
    fuzz::writeInput(folder + "/info", data, size);
    animationSet set;
    set.loadAll(folder.c_str());
    volatile long sum = set.animCount;
    for (const char* name : {"a", "standing", "", "zz"}) {
        animation* found = set.returnAnimation(name);
        if (found) sum = sum + found->frameSet.numFrames + found->frameSet.width;
    }
    for (const animation& entry : set.animList) {
        const CSpriteBase& frames = entry.frameSet;
        for (int i = 0; i < frames.numFrames; ++i)
            if (frames.hasFrame(i)) sum = sum + frames.frames[i].pause;
    }
    return 0;
}
