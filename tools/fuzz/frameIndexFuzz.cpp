// Frame index: a fuzzed "info" beside one valid bitmap, read by the plain
// frame-set loader; every frame it yields is then looked at both ways.
#include "fuzzSupport.h"
#include "sprite/CSpriteBase.h"

#include <cstddef>
#include <cstdint>

namespace {
std::string g_folder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_folder = fuzz::startIn("frames");
    testing_support::writeBmp(g_folder + "/a.bmp", 4, 4, 0xFF8020);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeInput(g_folder + "/info", data, size);
    CSpriteBase set;
    set.init(g_folder.c_str());
    volatile long sum = set.width + set.height;
    for (int i = -1; i <= set.numFrames; ++i) {
        if (!set.hasFrame(i)) continue;
        const spriteFrame& frame = set.frames[i];
        const spriteFrame& mirrored = set.flipFrames[i];
        sum = sum + frame.pause + frame.partNum + static_cast<long>(frame.partNames.size()) +
              mirrored.offsetX + mirrored.colX1 + static_cast<long>(frame.tagName.size()) +
              (frame.image ? frame.image->w : 0) + (mirrored.image ? mirrored.image->h : 0);
    }
    // Moving the set hands its frames over whole.
    CSpriteBase moved(std::move(set));
    sum = sum + moved.numFrames;
    return 0;
}
