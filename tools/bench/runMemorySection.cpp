// What the keyed frames' opaque runs cost, beside the frames' own pixels.
#include "sections.h"

#include "game/main.h"

#include <cstdio>

namespace bench {

void runMemorySection() {
    gameSession* game = loadedGame();
    if (!game) return;
    std::size_t runs = 0, pixels = 0, largest = 0;
    int sets = 0, frames = 0, withRuns = 0;
    auto add = [&](const CSpriteBase& set) {
        ++sets;
        runs += set.runBytes();
        pixels += set.pixelBytes();
        for (const std::vector<spriteFrame>* facing : {&set.frames, &set.flipFrames})
            for (const spriteFrame& frame : *facing) {
                ++frames;
                if (frame.runs.known()) ++withRuns;
                if (frame.image && frame.runs.known())
                    largest = std::max(largest, frame.runs.bytes() * 1000 /
                                                    (static_cast<std::size_t>(frame.image->pitch) *
                                                     frame.image->h));
            }
    };
    for (const animation& a : game->anims.animList)
        add(a.frameSet);
    for (const moveInfo& m : game->moves.moves)
        add(m.frameSet);
    for (partInfoList::node* n = game->particleDefs.head; n; n = n->next)
        if (n->info.frameSet) add(*n->info.frameSet);
    add(barbase);
    std::printf("opaque runs: %d of %d frame images (both facings, %d sets) have them; %.1f kB "
                "beside %.1f MB of pixels = %.2f%% (the largest share of one image %.1f%%)\n",
                withRuns, frames, sets, runs / 1e3, pixels / 1e6,
                pixels ? 100.0 * static_cast<double>(runs) / static_cast<double>(pixels) : 0.0,
                largest / 10.0);
}

} // namespace bench
