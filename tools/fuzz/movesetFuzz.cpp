// Moveset: a fuzzed "moveset" file; folder "a" beside it holds a frame set
// that loads.  Every look-up the fighters make is tried on the result.
#include "fighter/moveSet.h"
#include "fuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::characterFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzz::characterFolder();
    fuzz::writeInput(folder + "/moveset", data, size);
    moveSet set;
    set.loadAll(folder.c_str());
    volatile long sum = set.count;
    for (const char* key : {"A", "B", "C", "D", ""}) {
        moveList list = set.returnMoveList(key);
        for (moveInfo* move : list)
            sum = sum + static_cast<long>(move->command.size()) + move->linkFrame +
                  move->fromFrame + move->frameSet.numFrames;
    }
    for (const moveInfo& move : set.moves) {
        moveInfo& again = set.returnMove(move.name);
        sum = sum + static_cast<long>(again.name.size()) + again.frameSet.numFrames;
        CSpriteBase& frames = set.returnAnimation(move.linkMove);
        sum = sum + frames.numFrames;
    }
    moveInfo& unknown = set.returnMove("no such move");
    sum = sum + unknown.frameSet.numFrames;
    return 0;
}
