// Soak run: the real game with the real data and the real opponent for many
// passes of simulated time, player 1 mashing random keys from a seed.  Fails
// when the number of live particles runs away or when memory at the end
// differs from memory after start-up.  Build with -DFIGHTER_SANITIZE=ON to
// have AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer watch.
//   soak [PASSES] [SEED] [EVERY]   (run from the folder that holds data/)
// With EVERY, a line of figures (live particles, heap, resident memory) every
// EVERY passes, to watch a long run stay flat.
#include "replayRunner.h"
#include "sprite/copyBlit.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

// glibc keeps a few freed blocks of each size in a cache per thread, and its
// heap figures count them as in use: the figures would move with whatever
// each thread (SDL's audio thread too) freed last.  The soak runs without
// those caches; it starts itself again with them switched off.
void withoutThreadCaches(char** argv) {
#ifndef FIGHTER_ASAN
    const char* setting = "glibc.malloc.tcache_count=0";
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables && std::strstr(tunables, setting)) return;
    std::string all = tunables && *tunables ? std::string(tunables) + ":" + setting : setting;
    setenv("GLIBC_TUNABLES", all.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("soak: cannot start again without the thread caches");
    std::exit(1);
#else
    (void)argv;
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

// Draw every frame of every frame set once, both facings, and put the screen
// back.  SDL prepares a surface for blitting onto the screen the first time
// it is blitted there and keeps what it made: the run-length copy (classic
// SDL 1.2 frees the plain pixels of a surface it allocated itself, but not
// those of a frame kept in the pixel store), and on sdl12-compat also a record
// of the pair.  That is the library's own one-time
// allocation per frame: a frame first shown late in the run would count it
// as growth (1,776 bytes on sdl12-compat over 50,000 passes).  Making a
// particle's background save also blits a frame elsewhere for a moment, so
// the drawing comes again before the last measurement: both measurements see
// every frame prepared for the screen.
void drawEveryFrameOnce(gameSession& session) {
    SDL_Surface* kept = SDL_DisplayFormat(screen);
    if (!kept) return;
    SDL_SetColorKey(kept, 0, 0);
    copyBlit(screen, nullptr, kept, nullptr);
    auto drawAll = [](CSpriteBase& set) {
        for (std::vector<spriteFrame>* list : {&set.frames, &set.flipFrames})
            for (spriteFrame& frame : *list)
                if (frame.image) SDL_BlitSurface(frame.image, nullptr, screen, nullptr);
    };
    for (animation& a : session.anims.animList)
        drawAll(a.frameSet);
    for (moveInfo& m : session.moves.moves)
        drawAll(m.frameSet);
    for (partInfoList::node* n = session.particleDefs.head; n; n = n->next)
        if (n->info.frameSet) drawAll(*n->info.frameSet);
    drawAll(barbase);
    copyBlit(kept, nullptr, screen, nullptr);
    SDL_FreeSurface(kept);
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

// The keys the soak presses at random.
const SDLKey keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_z, SDLK_x, SDLK_c, SDLK_j};
constexpr int keyCount = sizeof keys / sizeof keys[0];

// Every key let go, the game settled, every frame drawn once: the heap
// measured now (allocated bytes) is comparable with another such moment.
size_t settledHeap(replayRunner& game, bool* held) {
    for (int k = 0; k < keyCount; ++k)
        held[k] = false;
    settle(game, keys, keyCount);
    drawEveryFrameOnce(game.session);
    return allocatedBytes();
}

enum class passOutcome { checked, unchecked, ended };

// One pass.  Every 700 passes, down, forward, A: fireballs keep the particle
// list busy (those passes are not checked).  Otherwise now and then a key
// changes; a rare tap of the debug key is all it gets, and a pass that
// would have tapped it is skipped.
passOutcome playPass(replayRunner& game, long pass, bool* held) {
    const long phase = pass % 700;
    if (phase < 3) {
        static const SDLKey motion[] = {SDLK_DOWN, SDLK_RIGHT, SDLK_z};
        game.setKey(motion[phase], true);
        game.step();
        game.setKey(motion[phase], false);
        game.setKey(SDLK_LEFT, false);
        game.setKey(SDLK_RIGHT, false);
        return passOutcome::unchecked;
    }
    if (roll(8) == 0) {
        int k = static_cast<int>(roll(keyCount));
        if (keys[k] == SDLK_j && roll(50) != 0) return passOutcome::unchecked;
        held[k] = !held[k];
        game.setKey(keys[k], held[k]);
    }
    return game.step() ? passOutcome::checked : passOutcome::ended;
}

// The live particles after a checked pass: at most 500 (the most seen so far
// kept in `most`), with the figures every `every` passes.
bool particlesBounded(long pass, long every, size_t& most) {
    size_t live = static_cast<size_t>(pList.size());
    if (every > 0 && pass % every == 0) {
        std::printf("soak: pass %ld, %zu live particles, heap %zu bytes, resident %ld kB\n", pass,
                    live, allocatedBytes(), residentKb());
        std::fflush(stdout);
    }
    if (live > most) most = live;
    if (live > 500) {
        std::fprintf(stderr, "soak: %zu live particles after %ld passes\n", live, pass);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    withoutThreadCaches(argv);
    long passes = argc > 1 ? std::atol(argv[1]) : 1000000;
    Uint32 seed = argc > 2 ? static_cast<Uint32>(std::atol(argv[2])) : 7;
    const long every = argc > 3 ? std::atol(argv[3]) : 0;
    g_dice = seed;

    replayScript script;
    script.seed = seed;
    script.stepMs = 3;
    script.endTick = 0x7FFFFFFF;
    replayRunner game(script);
    bool held[keyCount] = {};

    // SDL makes a frame's run-length copy the first time it is drawn, and
    // sdl12-compat adds its own bookkeeping for it: the heap moves while new
    // frames come on screen.  So the heap is measured after a warm-up that
    // has played for a while and then drawn every frame once, and again at
    // the end after the same drawing.
    const long warmUp = passes / 10 < 20000 ? passes / 10 : 20000;
    // The figures' first line comes now: the C library gives standard
    // output its buffer at the first write, which must be before the heap
    // is measured, not between the two measurements.
    if (every > 0) {
        std::printf("soak: %ld passes, seed %u, figures every %ld passes\n", passes, seed, every);
        std::fflush(stdout);
    }
    size_t startBytes = 0;
    size_t maxParticles = 0;

    for (long pass = 0; pass < passes; ++pass) {
        if (pass == warmUp) startBytes = settledHeap(game, held);
        const passOutcome outcome = playPass(game, pass, held);
        if (outcome == passOutcome::ended) {
            std::fprintf(stderr, "soak: the game ended after %ld passes\n", pass);
            return 1;
        }
        if (outcome == passOutcome::checked && !particlesBounded(pass, every, maxParticles))
            return 1;
    }
    size_t endBytes = settledHeap(game, held);

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
