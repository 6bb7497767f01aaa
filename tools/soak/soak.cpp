// Soak run: the real game with the real data and the real opponent for many
// passes of simulated time, player 1 mashing random keys from a seed.  Fails
// when the number of live particles runs away or when memory at the end
// differs from memory after start-up.  Build with -DFIGHTER_SANITIZE=ON to
// have AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer watch.
//   soak [PASSES] [SEED] [EVERY]   (run from the folder that holds data/)
// With EVERY, a line of figures (live particles, heap, resident memory) every
// EVERY passes, to watch a long run stay flat.
#include "replayRunner.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FIGHTER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define FIGHTER_ASAN 1
#endif
#ifdef FIGHTER_ASAN
// AddressSanitizer's own count of the bytes the program holds.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

size_t allocatedBytes() {
#ifdef FIGHTER_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    // Blocks glibc maps on their own (a frame's pixels, for one) count too.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// The soak's own dice, apart from the opponent's.
Uint32 g_dice = 12345;
Uint32 roll(Uint32 n) {
    g_dice = g_dice * 1103515245u + 12345u;
    return (g_dice >> 8) % n;
}

// Release everything and let the game come to rest: no particle alive and no
// move running, so that what is allocated is only what start-up made.
void settle(replayRunner& game, const SDLKey* keys, int keyCount) {
    for (int i = 0; i < keyCount; ++i)
        game.setKey(keys[i], false);
    // One button press empties player 1's key buffer, whatever it held.
    game.setKey(SDLK_z, true);
    game.step();
    game.setKey(SDLK_z, false);
    for (int i = 0; i < 4000; ++i) {
        game.step();
        if (pList.size() == 0 && !vikings1.returnBusy() && !fighter2.returnBusy() && i > 400) break;
    }
}

// SDL makes a keyed frame's run-length copy the first time the frame is
// drawn and keeps it for the rest of the run.  Every frame of every set is
// drawn once, both ways round, before memory is first measured, so that
// what the run allocates after that is the game's own.  The screen is put
// back as it was.
void drawEveryFrameOnce(replayRunner& game) {
    std::vector<CSpriteBase*> sets = {&barbase};
    for (animation& a : game.session.anims.animList)
        sets.push_back(&a.frameSet);
    for (moveInfo& m : game.session.moves.moves)
        sets.push_back(&m.frameSet);
    for (partInfoList::node* n = game.session.particleDefs.head; n; n = n->next)
        if (n->info.frameSet) sets.push_back(n->info.frameSet.get());
    SDL_Surface* kept = SDL_DisplayFormat(screen);
    for (CSpriteBase* set : sets)
        for (std::vector<spriteFrame>* frames : {&set->frames, &set->flipFrames})
            for (spriteFrame& frame : *frames)
                if (frame.image) {
                    SDL_Rect at = {0, 0, 0, 0};
                    SDL_BlitSurface(frame.image, nullptr, screen, &at);
                }
    if (kept) {
        SDL_BlitSurface(kept, nullptr, screen, nullptr);
        SDL_FreeSurface(kept);
    }
}

// Resident memory in kB (0 when it cannot be read).
long residentKb() {
    long pages = 0, resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
    return resident * 4;
}

} // namespace

int main(int argc, char** argv) {
    long passes = argc > 1 ? std::atol(argv[1]) : 1000000;
    Uint32 seed = argc > 2 ? static_cast<Uint32>(std::atol(argv[2])) : 7;
    const long every = argc > 3 ? std::atol(argv[3]) : 0;
    g_dice = seed;

    replayScript script;
    script.seed = seed;
    script.stepMs = 3;
    script.endTick = 0x7FFFFFFF;
    replayRunner game(script);
    drawEveryFrameOnce(game);

    static const SDLKey keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN,
                                  SDLK_z,    SDLK_x,     SDLK_c,  SDLK_j};
    const int keyCount = sizeof keys / sizeof keys[0];
    bool held[keyCount] = {};

    // Measure after a warm-up that has run every kind of move and particle.
    const long warmUp = passes / 10 < 20000 ? passes / 10 : 20000;
    size_t startBytes = 0;
    size_t maxParticles = 0;

    for (long pass = 0; pass < passes; ++pass) {
        if (pass == warmUp) {
            for (int k = 0; k < keyCount; ++k)
                held[k] = false;
            settle(game, keys, keyCount);
            startBytes = allocatedBytes();
        }
        // Every 700 passes, down, forward, A: fireballs keep the particle
        // list busy.
        long phase = pass % 700;
        if (phase < 3) {
            static const SDLKey motion[] = {SDLK_DOWN, SDLK_RIGHT, SDLK_z};
            game.setKey(motion[phase], true);
            game.step();
            game.setKey(motion[phase], false);
            game.setKey(SDLK_LEFT, false);
            game.setKey(SDLK_RIGHT, false);
            continue;
        }
        if (roll(8) == 0) {
            int k = static_cast<int>(roll(keyCount));
            // The debug key is only tapped, and rarely.
            if (keys[k] == SDLK_j && roll(50) != 0) continue;
            held[k] = !held[k];
            game.setKey(keys[k], held[k]);
        }
        if (!game.step()) {
            std::fprintf(stderr, "soak: the game ended after %ld passes\n", pass);
            return 1;
        }
        size_t live = static_cast<size_t>(pList.size());
        if (every > 0 && pass % every == 0) {
            std::printf("soak: pass %ld, %zu live particles, heap %zu bytes, resident %ld kB\n",
                        pass, live, allocatedBytes(), residentKb());
            std::fflush(stdout);
        }
        if (live > maxParticles) maxParticles = live;
        if (live > 500) {
            std::fprintf(stderr, "soak: %zu live particles after %ld passes\n", live, pass);
            return 1;
        }
    }
    for (int k = 0; k < keyCount; ++k)
        held[k] = false;
    settle(game, keys, keyCount);
    size_t endBytes = allocatedBytes();

    std::printf("soak: %ld passes, %u ms of game time, seed %u\n", passes, game.now(), seed);
    std::printf("soak: at most %zu live particles; player 1 hp %d, player 2 hp %d\n", maxParticles,
                vikings1.hp, fighter2.hp);
    std::printf("soak: heap after the warm-up %zu bytes, at the end %zu bytes\n", startBytes,
                endBytes);
    if (endBytes > startBytes) {
        std::fprintf(stderr, "soak: memory grew by %zu bytes\n", endBytes - startBytes);
        return 1;
    }
    return 0;
}
