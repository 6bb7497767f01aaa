// Benchmark: the real start-up and the real loop, headless, on the default
// data, with player 1 throwing fireballs, punching and kicking while the
// opponent plays.  Prints the median cost of one pass beside the cost of only
// the rectangle copies that pass must do at minimum (save, draw and restore
// of the same sprites), the start-up time and the peak resident memory.
//   bench [PASSES]      (run from the folder that holds data/)
#include "particle/particle.h"
#include "replayRunner.h"
#include "sprite/copyBlit.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;

double microseconds(clock_type::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

// Scratch surfaces for the floor measurement, so the screen ends unchanged.
SDL_Surface* scratchFor(SDL_Surface* like, std::vector<SDL_Surface*>& pool, size_t index) {
    if (index >= pool.size()) pool.resize(index + 1, nullptr);
    SDL_Surface*& s = pool[index];
    if (!s || s->w != like->w || s->h != like->h) {
        if (s) SDL_FreeSurface(s);
        s = SDL_DisplayFormat(like);
    }
    return s;
}

// The blits a pass cannot avoid for one sprite: save the background, draw the
// frame, restore the background (twice for fighters and particles).
void spriteBlits(CSprite& sprite, SDL_Surface* image, int x, int y, int restores,
                 std::vector<SDL_Surface*>& pool, size_t& used) {
    if (!sprite.backSave || !image) return;
    SDL_Surface* save = scratchFor(sprite.backSave, pool, used++);
    SDL_Rect area{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(save->w),
                  static_cast<Uint16>(save->h)};
    SDL_Rect source = area;
    copyBlit(screen, &source, save, nullptr);
    SDL_Rect at = area;
    SDL_BlitSurface(image, nullptr, screen, &at);
    for (int i = 0; i < restores; ++i) {
        at = area;
        copyBlit(save, nullptr, screen, &at);
    }
}

double blitFloor(std::vector<SDL_Surface*>& pool) {
    auto begin = clock_type::now();
    size_t used = 0;
    for (Fighter* f : {&vikings1, &fighter2}) {
        const spriteFrame* shown = f->current(f->facingRight);
        if (shown)
            spriteBlits(*f, shown->image, f->xPos - shown->offsetX, f->yPos - shown->offsetY, 2,
                        pool, used);
    }
    for (particleList::node* n = pList.head; n; n = n->next) {
        CSprite& s = n->item->sprite;
        const spriteFrame* shown = s.current(n->item->facingRight);
        if (shown && !n->item->dead) spriteBlits(s, shown->image, s.xPos, s.yPos, 2, pool, used);
    }
    for (CSpriteBar* bar : {&play1HPBar, &play2HPBar}) {
        const spriteFrame* shown = bar->current();
        if (shown) spriteBlits(*bar, shown->image, bar->xPos, bar->yPos, 1, pool, used);
    }
    return microseconds(clock_type::now() - begin);
}

// Player 1 keeps busy: a fireball, a punch and a kick every 1.2 seconds.
replayScript busyScript(Uint32 endTick) {
    replayScript script;
    script.seed = 99;
    script.stepMs = 3;
    script.endTick = endTick;
    for (Uint32 t = 500; t < endTick; t += 1200) {
        for (SDLKey key : {SDLK_DOWN, SDLK_RIGHT, SDLK_z}) {
            script.events.push_back({t, true, key});
            script.events.push_back({t + 30, false, key});
            t += 40;
        }
        script.events.push_back({t + 400, true, SDLK_x});
        script.events.push_back({t + 430, false, SDLK_x});
        script.events.push_back({t + 800, true, SDLK_z});
        script.events.push_back({t + 830, false, SDLK_z});
    }
    return script;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    long passes = argc > 1 ? std::atol(argv[1]) : 100000;
    replayScript script = busyScript(static_cast<Uint32>(passes * 3 + 1000));

    auto startBegin = clock_type::now();
    replayRunner game(script);
    double startupMs = microseconds(clock_type::now() - startBegin) / 1000.0;
    long rssAfterStart = statusKb("VmHWM:");

    std::vector<double> passCost, floorCost;
    passCost.reserve(passes);
    floorCost.reserve(passes);
    std::vector<SDL_Surface*> pool;
    double particleSum = 0;
    for (long i = 0; i < passes; ++i) {
        auto begin = clock_type::now();
        if (!game.step()) break;
        passCost.push_back(microseconds(clock_type::now() - begin));
        floorCost.push_back(blitFloor(pool));
        particleSum += pList.size();
    }
    long rssAfterRun = statusKb("VmHWM:");
    for (SDL_Surface* s : pool)
        SDL_FreeSurface(s);

    double pass = median(passCost);
    double floor = median(floorCost);
    std::printf("passes                       %zu\n", passCost.size());
    std::printf("live particles (mean)        %.1f\n",
                passCost.empty() ? 0 : particleSum / passCost.size());
    std::printf("pass, median                 %.2f us\n", pass);
    std::printf("blits only, median           %.2f us\n", floor);
    std::printf("pass / blits                 %.2f\n", floor > 0 ? pass / floor : 0.0);
    std::printf("start-up                     %.1f ms\n", startupMs);
    std::printf("peak RSS after start-up      %ld kB\n", rssAfterStart);
    std::printf("peak RSS after the run       %ld kB\n", rssAfterRun);
    return 0;
}
