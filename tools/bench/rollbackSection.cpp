// What a rollback costs: the size of a saved state, a save, a restore, one
// undrawn pass, and an 8-frame rollback (a restore, then 8 frames of 16
// passes with a save before each), with no particles and with the particle
// list full.
#include "sections.h"

#include "base/seams.h"
#include "game/main.h"
#include "game/matchState.h"
#include "particle/particle.h"

#include <cstdio>
#include <vector>

namespace bench {

namespace {

Uint32 g_tick = 0;
Uint32 benchTicks() {
    return g_tick;
}

// One undrawn pass of the game, nobody pressing anything.
void pass(gameSession& game) {
    ++g_tick;
    const passControls idle[2];
    updateGame(game, idle);
    advanceUnseenFrame();
}

template <class F> double medianMicroseconds(int runs, F&& work) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = clock_type::now();
        work();
        times.push_back(microseconds(clock_type::now() - start));
    }
    return median(times);
}

void measure(gameSession& game, const char* label) {
    matchState state(game);
    std::vector<unsigned char> saved, scratch;
    state.save(saved);
    const Uint32 savedTick = g_tick;
    const double save = medianMicroseconds(2000, [&] { state.save(scratch); });
    const double restore = medianMicroseconds(2000, [&] {
        state.restore(saved);
        g_tick = savedTick;
    });
    const double onePass = medianMicroseconds(2000,
                                              [&] {
                                                  state.restore(saved);
                                                  g_tick = savedTick;
                                                  pass(game);
                                              }) -
                           restore;
    const double rollback = medianMicroseconds(200, [&] {
        state.restore(saved);
        g_tick = savedTick;
        for (int frame = 0; frame < 8; ++frame) {
            state.save(scratch);
            for (int p = 0; p < 16; ++p)
                pass(game);
        }
    });
    state.restore(saved);
    g_tick = savedTick;
    std::printf("rollback, %s (%d particles): state %.1f kB, save %.2f us, restore %.2f us, "
                "undrawn pass %.2f us, 8-frame rollback %.1f us (%.2f ms; a frame is 16 ms)\n",
                label, pList.size(), saved.size() / 1e3, save, restore, onePass, rollback,
                rollback / 1e3);
}

} // namespace

void rollbackSection() {
    gameSession* game = loadedGame();
    if (!game) return;
    seams::setTickSource(benchTicks);
    g_tick = 100000;
    pList.clear();
    measure(*game, "no particles");
    // Fireballs thrown from all over the stage until the list is full: a
    // fireball flies for seconds, so the list stays full while measured.
    for (int i = 0; pList.size() < particleList::maxParticles && i < 4000; ++i) {
        vikings1.xPos = 20 + (i * 37) % 760;
        pList.addParticle("fireball 0 " + std::to_string(40 + i % 200), &vikings1, nullptr,
                          &game->particleDefs, screen, static_cast<int>(g_tick));
    }
    measure(*game, "full particle list");
    seams::setTickSource(nullptr);
}

} // namespace bench
