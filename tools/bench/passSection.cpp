// The loop: the busy game's passes, each beside three yardsticks built from
// the scene that pass drew:
//   1. the bytes-moved limit: every byte the pass copies, draws or fills,
//      moved with plain memcpy and fills of the same sizes, row for row;
//   2. the pass's copy list: the same copies, draws and fills made with the
//      game's own copy, draw and fill calls;
//   3. the strict floor: for each moving sprite one save, one draw and one
//      restore; the bars are left alone.
// The library calls the passes make are timed call by call (callTimes).
#include "callTimes.h"
#include "sections.h"

#include "particle/particle.h"
#include "replayRunner.h"
#include "sprite/copyBlit.h"
#include "sprite/flipper.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace bench {

namespace {

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

SDL_Rect clipped(long long x, long long y, long long w, long long h, const SDL_Surface* to) {
    long long x0 = std::max(x, 0LL), y0 = std::max(y, 0LL);
    long long x1 = std::min(x + w, static_cast<long long>(to->w));
    long long y1 = std::min(y + h, static_cast<long long>(to->h));
    SDL_Rect r{static_cast<Sint16>(x0), static_cast<Sint16>(y0), 0, 0};
    if (x1 > x0 && y1 > y0) {
        r.w = static_cast<Uint16>(x1 - x0);
        r.h = static_cast<Uint16>(y1 - y0);
    }
    return r;
}

// Pixels a frame image really writes, row by row: all of them for an opaque
// image, the ones that are not the colour key for a keyed one.  Counted once
// per image (outside the timings), since keyed images only keep their
// run-length copy and must be unpacked to be read.
const std::vector<int>& visiblePerRow(SDL_Surface* image) {
    static std::map<SDL_Surface*, std::vector<int>> known;
    auto found = known.find(image);
    if (found != known.end()) return found->second;
    std::vector<int>& rows = known[image];
    rows.assign(image->h, image->w);
    if ((image->flags & SDL_SRCCOLORKEY) && SDL_LockSurface(image) == 0) {
        const Uint32 key = image->format->colorkey;
        for (int y = 0; y < image->h; ++y) {
            int n = 0;
            for (int x = 0; x < image->w; ++x)
                n += flipper::get_pixel32(image, x, y) != key;
            rows[y] = n;
        }
        SDL_UnlockSurface(image);
    }
    return rows;
}

// One sprite's share of a pass.
struct spritePart {
    SDL_Surface* save = nullptr;        // the sprite's save surface (its size is all that is used)
    SDL_Rect area{};                    // the saved rectangle on the screen
    int restores = 0;                   // background restores of the rectangle per pass
    bool moving = false;                // fighters and particles; the bars stay put
    const spriteFrame* frame = nullptr; // the frame drawn, keyed or not
    SDL_Surface* image = nullptr;
    SDL_Rect imageAt{}; // where the image lands, cut to the screen
    int imageX = 0, imageY = 0;
    std::vector<SDL_Rect> fills;
    std::vector<Uint32> fillPixels;
};

// A bar: its frame, the cleared background and the filled length.
spritePart barPart(CSpriteBar* bar) {
    spritePart part;
    part.save = bar->backSave;
    part.restores = 1;
    part.imageX = bar->xPos;
    part.imageY = bar->yPos;
    part.area = clipped(bar->xPos, bar->yPos, bar->base->width, bar->base->height, screen);
    const spriteFrame* shown = bar->current();
    if (shown) {
        part.frame = shown;
        part.image = shown->image;
    }
    const int x = bar->xPos + bar->barX, y = bar->yPos + bar->barY;
    if (bar->clearBack) {
        part.fills.push_back(clipped(x, y, bar->barW, bar->barH, screen));
        part.fillPixels.push_back(0);
    }
    int length = bar->maxValue > 0
                     ? static_cast<int>(static_cast<double>(bar->value) / bar->maxValue * bar->barW)
                     : 0;
    length = std::max(std::min(length, bar->barW), 0);
    part.fills.push_back(
        clipped(bar->rightToLeft ? x + bar->barW - length : x, y, length, bar->barH, screen));
    part.fillPixels.push_back(0xFF3300);
    return part;
}

// What the pass just drawn consisted of, read back from the game's objects.
std::vector<spritePart> sceneOfThePass() {
    std::vector<spritePart> parts;
    for (Fighter* f : {&vikings1, &fighter2}) {
        const spriteFrame* shown = f->current();
        const spriteFrame* faced = f->current(f->facingRight);
        if (!f->backSave || !f->base || !shown || !faced) continue;
        spritePart part;
        part.save = f->backSave;
        part.moving = true;
        part.restores = 2;
        part.imageX = f->xPos - faced->offsetX;
        part.imageY = f->yPos - shown->offsetY;
        part.area = clipped(part.imageX, part.imageY, std::min(f->base->width, f->backSave->w),
                            std::min(f->base->height, f->backSave->h), screen);
        part.frame = faced;
        part.image = faced->image;
        parts.push_back(part);
    }
    for (particleList::node* n = pList.head; n; n = n->next) {
        CSprite& s = n->item->sprite;
        if (!s.backSave || !s.base) continue;
        spritePart part;
        part.save = s.backSave;
        part.moving = true;
        part.restores = 2;
        part.imageX = s.xPos;
        part.imageY = s.yPos;
        part.area = clipped(s.xPos, s.yPos, s.base->width, s.base->height, screen);
        const spriteFrame* shown = s.current(n->item->facingRight);
        if (shown && !n->item->dead) {
            part.frame = shown;
            part.image = shown->image;
        }
        parts.push_back(part);
    }
    for (CSpriteBar* bar : {&play1HPBar, &play2HPBar})
        if (bar->backSave && bar->base) parts.push_back(barPart(bar));
    for (spritePart& part : parts)
        if (part.image)
            part.imageAt = clipped(part.imageX, part.imageY, part.image->w, part.image->h, screen);
    return parts;
}

size_t rectBytes(const SDL_Rect& r) {
    return static_cast<size_t>(r.w) * r.h * 4;
}

struct passBytes {
    size_t copies = 0, draws = 0, fills = 0;
    size_t total() const { return copies + draws + fills; }
};

passBytes bytesOf(const std::vector<spritePart>& parts) {
    passBytes bytes;
    for (const spritePart& part : parts) {
        bytes.copies += rectBytes(part.area) * (1 + part.restores);
        if (part.image) {
            const std::vector<int>& rows = visiblePerRow(part.image);
            for (int y = part.imageAt.y - part.imageY;
                 y < part.imageAt.y - part.imageY + part.imageAt.h; ++y)
                bytes.draws += static_cast<size_t>(std::min<int>(rows[y], part.imageAt.w)) * 4;
        }
        for (const SDL_Rect& r : part.fills)
            bytes.fills += rectBytes(r);
    }
    return bytes;
}

// Memory laid out like the game's: a screen, a save per sprite, an image per
// frame, all plain buffers.
struct scratchMemory {
    std::vector<Uint8> screenBytes;
    int pitch = 0;
    std::map<const void*, std::vector<Uint8>> buffers;

    Uint8* at(int x, int y) { return screenBytes.data() + y * pitch + x * 4; }
    Uint8* bufferFor(const void* owner, size_t bytes) {
        std::vector<Uint8>& b = buffers[owner];
        if (b.size() < bytes) b.resize(bytes);
        return b.data();
    }
};

void copyRows(Uint8* to, int toPitch, const Uint8* from, int fromPitch, int rowBytes, int rows) {
    for (int y = 0; y < rows; ++y)
        std::memcpy(to + y * toPitch, from + y * fromPitch, rowBytes);
}

// 1. The bytes-moved limit: the pass's copies, draws and fills as plain
// memcpy and fills of the same rows, on scratch memory.
double bytesMovedLimit(const std::vector<spritePart>& parts, scratchMemory& mem) {
    auto begin = clock_type::now();
    for (const spritePart& part : parts) {
        const SDL_Rect& a = part.area;
        const int rowBytes = a.w * 4;
        Uint8* save = mem.bufferFor(part.save, rectBytes(a));
        copyRows(save, rowBytes, mem.at(a.x, a.y), mem.pitch, rowBytes, a.h);
        for (int i = 0; i + 1 < part.restores; ++i)
            copyRows(mem.at(a.x, a.y), mem.pitch, save, rowBytes, rowBytes, a.h);
        if (part.image && part.imageAt.w > 0) {
            const SDL_Rect& d = part.imageAt;
            const std::vector<int>& rows = visiblePerRow(part.image);
            // One source buffer for every image: the frames' own pixels are
            // not what is timed, and a buffer per frame would swell the
            // memory figures.
            const Uint8* image = mem.bufferFor(nullptr, rectBytes(d));
            for (int y = 0; y < d.h; ++y)
                std::memcpy(mem.at(d.x, d.y + y), image + y * d.w * 4,
                            std::min<int>(rows[d.y - part.imageY + y], d.w) * 4);
        }
        for (size_t i = 0; i < part.fills.size(); ++i) {
            const SDL_Rect& f = part.fills[i];
            for (int y = 0; y < f.h; ++y)
                std::fill_n(reinterpret_cast<Uint32*>(mem.at(f.x, f.y + y)), f.w,
                            part.fillPixels[i]);
        }
        if (part.restores > 0) copyRows(mem.at(a.x, a.y), mem.pitch, save, rowBytes, rowBytes, a.h);
    }
    return microseconds(clock_type::now() - begin);
}

// Scratch save surfaces for the copy list, so that the screen ends unchanged.
SDL_Surface* scratchSave(const SDL_Surface* like) {
    static std::map<const SDL_Surface*, SDL_Surface*> pool;
    SDL_Surface*& s = pool[like];
    if (!s) {
        s = SDL_DisplayFormat(const_cast<SDL_Surface*>(like));
        SDL_SetColorKey(s, 0, 0);
        SDL_SetAlpha(s, 0, SDL_ALPHA_OPAQUE);
    }
    return s;
}

// 2 and 3: the copies with the game's own calls (copyBlit, the frames' runs, rowFill) on the
// real screen: save,
// the restores but the last, the draw, the fills, the last restore.  For
// the floor only the moving sprites, with one restore each.
double gameCopies(const std::vector<spritePart>& parts, bool floorOnly) {
    auto begin = clock_type::now();
    for (const spritePart& part : parts) {
        if (floorOnly && !part.moving) continue;
        SDL_Surface* save = scratchSave(part.save);
        SDL_Rect from = part.area, to{0, 0, 0, 0};
        blit::copyBlit(screen, &from, save, &to);
        const int restores = floorOnly ? 1 : part.restores;
        SDL_Rect whole{0, 0, part.area.w, part.area.h};
        for (int i = 0; i + 1 < restores; ++i) {
            SDL_Rect at = part.area, source = whole;
            blit::copyBlit(save, &source, screen, &at);
        }
        if (part.image) {
            SDL_Rect at{static_cast<Sint16>(part.imageX), static_cast<Sint16>(part.imageY), 0, 0};
            part.frame->runs.blit(part.image, screen, &at);
        }
        for (size_t i = 0; i < part.fills.size(); ++i) {
            SDL_Rect r = part.fills[i];
            if (r.w && r.h) blit::rowFill(screen, &r, part.fillPixels[i]);
        }
        if (restores > 0) {
            SDL_Rect at = part.area, source = whole;
            blit::copyBlit(save, &source, screen, &at);
        }
    }
    return microseconds(clock_type::now() - begin);
}

// memcpy speed in GB/s: blocks that stay in the cache, and blocks that do not.
double memcpyGBs(size_t blockBytes, int repeats) {
    std::vector<char> a(blockBytes, 1), b(blockBytes, 2);
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        auto begin = clock_type::now();
        for (int i = 0; i < repeats; ++i) {
            std::memcpy(i % 2 ? a.data() : b.data(), i % 2 ? b.data() : a.data(), blockBytes);
            asm volatile("" ::: "memory");
        }
        best = std::min(best, std::chrono::duration<double>(clock_type::now() - begin).count());
    }
    return static_cast<double>(blockBytes) * repeats / best / 1e9;
}

// Player 1 keeps busy: a fireball, a punch and a kick every 1.2 seconds.
replayScript busyScript(Uint32 endTick) {
    replayScript script;
    script.seed = 99;
    script.stepMs = 3;
    script.endTick = endTick;
    for (Uint32 t = 500; t < endTick; t += 1200) {
        for (SDLKey key : {SDLK_DOWN, SDLK_RIGHT, SDLK_z}) {
            script.tap(t, key, 30);
            t += 40;
        }
        script.tap(t + 400, SDLK_x, 30);
        script.tap(t + 800, SDLK_z, 30);
    }
    return script;
}

std::unique_ptr<replayScript> g_script;
std::unique_ptr<replayRunner> g_game;

// What the timed passes measured: each pass's cost and the three floors'
// costs, and the sums of the live particles and the bytes the passes moved.
struct passMeasures {
    std::vector<double> passCost, limitCost, listCost, floorCost;
    std::vector<callTimes::passShare> library; // each pass's time in the library's calls
    double particleSum = 0, bytesSum = 0, copyBytes = 0, drawBytes = 0, fillBytes = 0;
};

void timePasses(replayRunner& game, long passes, passMeasures& m) {
    scratchMemory mem;
    mem.pitch = screen->pitch;
    mem.screenBytes.assign(static_cast<size_t>(screen->pitch) * screen->h, 0);
    callTimes::keepSentFrames(true);
    for (long i = 0; i < passes; ++i) {
        callTimes::startPass();
        callTimes::timing(true);
        auto begin = clock_type::now();
        const bool goOn = game.step();
        m.passCost.push_back(microseconds(clock_type::now() - begin));
        callTimes::timing(false);
        m.library.push_back(callTimes::lastPass());
        if (!goOn) break;
        std::vector<spritePart> parts = sceneOfThePass();
        passBytes bytes = bytesOf(parts);
        m.limitCost.push_back(bytesMovedLimit(parts, mem));
        m.listCost.push_back(gameCopies(parts, false));
        m.floorCost.push_back(gameCopies(parts, true));
        m.particleSum += pList.size();
        m.bytesSum += bytes.total();
        m.copyBytes += bytes.copies;
        m.drawBytes += bytes.draws;
        m.fillBytes += bytes.fills;
    }
    callTimes::keepSentFrames(false);
}

// Where a pass goes: each pass's time in the library's calls, timed inside
// the pass, beside the pass's copy list and bytes-moved limit, timed apart on
// the scene each pass drew.  Medians over the passes, as everywhere here (a
// busy machine stretches some passes and some yardsticks), so the parts add
// up to the pass only roughly: the rest is what the pass takes beyond them.
void splitThePass(const passMeasures& m, libraryRow& row) {
    std::vector<double> sending, events, other;
    for (const callTimes::passShare& share : m.library) {
        sending.push_back(share.sending);
        events.push_back(share.events);
        other.push_back(share.other);
    }
    row.list = median(m.listCost);
    row.sending = median(sending);
    row.events = median(events);
    row.otherCalls = median(other);
    std::printf("where a pass goes (medians over the passes)\n");
    std::printf("  the pass                                        %8.2f us\n", row.pass);
    std::printf("  sending the frame (SDL_UpdateRect(s), SDL_Flip) %8.2f us\n", row.sending);
    std::printf("  reading events (SDL_PollEvent)                  %8.2f us\n", row.events);
    std::printf("  the library's other calls (clock, sound)        %8.2f us\n", row.otherCalls);
    std::printf("  the game's copies, draws, fills (copy list)     %8.2f us\n", row.list);
    std::printf("  the rest (controls, opponent, hits, particles)  %8.2f us\n", row.rest());
    std::printf("  pass / limit %.2f; without sending and events %.2f\n",
                row.limit > 0 ? row.pass / row.limit : 0.0,
                row.limit > 0 ? (row.pass - row.sending - row.events) / row.limit : 0.0);
}

} // namespace

gameSession* loadedGame() {
    return g_game ? &g_game->session : nullptr;
}

void passSection(long passes, libraryRow& row) {
    g_script = std::make_unique<replayScript>(busyScript(static_cast<Uint32>(passes * 3 + 1000)));
    auto startBegin = clock_type::now();
    g_game = std::make_unique<replayRunner>(*g_script);
    replayRunner& game = *g_game;
    double startupMs = microseconds(clock_type::now() - startBegin) / 1000.0;
    long rssAfterStart = statusKb("VmHWM:");

    passMeasures m;
    timePasses(game, passes, m);
    const std::vector<double>& passCost = m.passCost;
    long rssAfterRun = statusKb("VmHWM:");

    const double n = passCost.empty() ? 1 : static_cast<double>(passCost.size());
    const double pass = median(passCost);
    auto ratio = [pass](double of) { return of > 0 ? pass / of : 0.0; };
    const double limit = median(m.limitCost), list = median(m.listCost),
                 floor = median(m.floorCost);
    row.pass = pass;
    row.limit = limit;
    row.floor = floor;
    std::printf("passes                            %zu\n", passCost.size());
    std::printf("live particles (mean)             %.1f\n", m.particleSum / n);
    std::printf("bytes a pass moves (mean)         %.2f MB (copies %.2f, draws %.2f, fills %.2f)\n",
                m.bytesSum / n / 1e6, m.copyBytes / n / 1e6, m.drawBytes / n / 1e6,
                m.fillBytes / n / 1e6);
    std::printf("memcpy, 256 KB blocks (in cache)  %.1f GB/s\n", memcpyGBs(256 << 10, 2000));
    std::printf("memcpy, 64 MB blocks (memory)     %.1f GB/s\n", memcpyGBs(64 << 20, 4));
    std::printf("one pass, median                  %.2f us\n", pass);
    std::printf("1 bytes-moved limit, median       %.2f us   pass / limit  %.2f\n", limit,
                ratio(limit));
    std::printf("2 the pass's copy list, median    %.2f us   pass / list   %.2f\n", list,
                ratio(list));
    std::printf("3 strict floor, median            %.2f us   pass / floor  %.2f\n", floor,
                ratio(floor));
    std::printf("start-up in this process          %.1f ms\n", startupMs);
    std::printf("peak RSS after start-up           %ld kB\n", rssAfterStart);
    std::printf("peak RSS after the run            %ld kB\n", rssAfterRun);
    double passSum = 0;
    for (double one : passCost)
        passSum += one;
    callTimes::report(static_cast<long>(passCost.size()), pass, passSum / n);
    splitThePass(m, row);
}

} // namespace bench
