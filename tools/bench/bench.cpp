// Benchmark: the real start-up and the real loop, headless, on the default
// data, with player 1 throwing fireballs, punching and kicking while the
// opponent plays.  For every pass it also times three yardsticks built from
// the scene that pass drew:
//   1. the bytes-moved limit: every byte the pass copies, draws or fills,
//      moved with plain memcpy and fills of the same sizes, row for row;
//   2. the pass's copy list: the same copies, draws and fills made with the
//      game's own copy, draw and fill calls;
//   3. the strict floor: for each moving sprite one save, one draw and one
//      restore; the bars are left alone.
// It prints the median of each beside the median pass and the ratios, the
// machine's memcpy bandwidth, the time from exec to the first frame, and the
// peak resident memory.
//   bench [PASSES]          (run from the folder that holds data/)
//   bench --online          (the online section: see onlineBench.h)
//   bench --first-frame FD  (used by the benchmark itself: start the game,
//                            draw the first frame, write the clocks to FD)
#include "onlineBench.h"
#include "particle/particle.h"
#include "replayRunner.h"
#include "sprite/copyBlit.h"
#include "sprite/flipper.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;

double microseconds(clock_type::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               clock_type::now().time_since_epoch())
        .count();
}

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
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
                n += get_pixel32(image, x, y) != key;
            rows[y] = n;
        }
        SDL_UnlockSurface(image);
    }
    return rows;
}

// One sprite's share of a pass.
struct spritePart {
    SDL_Surface* save = nullptr; // the sprite's save surface (its size is all that is used)
    SDL_Rect area{};             // the saved rectangle on the screen
    int restores = 0;            // background restores of the rectangle per pass
    bool moving = false;         // fighters and particles; the bars stay put
    SDL_Surface* image = nullptr;
    SDL_Rect imageAt{}; // where the image lands, cut to the screen
    int imageX = 0, imageY = 0;
    std::vector<SDL_Rect> fills;
    std::vector<Uint32> fillPixels;
};

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
        if (shown && !n->item->dead) part.image = shown->image;
        parts.push_back(part);
    }
    for (CSpriteBar* bar : {&play1HPBar, &play2HPBar}) {
        if (!bar->backSave || !bar->base) continue;
        spritePart part;
        part.save = bar->backSave;
        part.restores = 1;
        part.imageX = bar->xPos;
        part.imageY = bar->yPos;
        part.area = clipped(bar->xPos, bar->yPos, bar->base->width, bar->base->height, screen);
        const spriteFrame* shown = bar->current();
        if (shown) part.image = shown->image;
        const int x = bar->xPos + bar->barX, y = bar->yPos + bar->barY;
        if (bar->clearBack) {
            part.fills.push_back(clipped(x, y, bar->barW, bar->barH, screen));
            part.fillPixels.push_back(0);
        }
        int length =
            bar->maxValue > 0
                ? static_cast<int>(static_cast<double>(bar->value) / bar->maxValue * bar->barW)
                : 0;
        length = std::max(std::min(length, bar->barW), 0);
        part.fills.push_back(
            clipped(bar->rightToLeft ? x + bar->barW - length : x, y, length, bar->barH, screen));
        part.fillPixels.push_back(0xFF3300);
        parts.push_back(part);
    }
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

// 2 and 3: the copies with the game's own calls on the real screen: save,
// the restores but the last, the draw, the fills, the last restore.  For
// the floor only the moving sprites, with one restore each.
double gameCopies(const std::vector<spritePart>& parts, bool floorOnly) {
    auto begin = clock_type::now();
    for (const spritePart& part : parts) {
        if (floorOnly && !part.moving) continue;
        SDL_Surface* save = scratchSave(part.save);
        SDL_Rect from = part.area, to{0, 0, 0, 0};
        copyBlit(screen, &from, save, &to);
        const int restores = floorOnly ? 1 : part.restores;
        SDL_Rect whole{0, 0, part.area.w, part.area.h};
        for (int i = 0; i + 1 < restores; ++i) {
            SDL_Rect at = part.area, source = whole;
            copyBlit(save, &source, screen, &at);
        }
        if (part.image) {
            SDL_Rect at{static_cast<Sint16>(part.imageX), static_cast<Sint16>(part.imageY), 0, 0};
            copyBlit(part.image, nullptr, screen, &at);
        }
        for (size_t i = 0; i < part.fills.size(); ++i) {
            SDL_Rect r = part.fills[i];
            if (r.w && r.h) rowFill(screen, &r, part.fillPixels[i]);
        }
        if (restores > 0) {
            SDL_Rect at = part.area, source = whole;
            copyBlit(save, &source, screen, &at);
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

// The child's side of the first-frame timing: what the game's main does up
// to its first SDL_Flip, then the clock when main was entered and the clock
// now, written to the given descriptor.
int firstFrame(int fd, long long mainEntered) {
    sdlInit();
    gameSession session;
    startUp(session);
    runPass(session);
    const long long times[2] = {mainEntered, nowNs()};
    if (write(fd, times, sizeof times) != sizeof times) return 1;
    std::_Exit(0); // the end of the run is not part of the measure
}

// One start of the game, in milliseconds from exec: to main (the system
// loading the program and its libraries) and to the first frame drawn;
// the processor time and the page faults of the whole child.
struct startUpTimes {
    double toMain = 0, toFirstFrame = 0, cpuMs = 0, faults = 0;
};

// The benchmark starts itself as the game (its trace going nowhere) and reads
// back when main began and when the first frame was drawn.  False when the
// child could not be run.  The processor time covers the child's whole run
// (it ends right after the first frame); a busy machine inflates it less than
// the wall time.
bool execToFirstFrame(const char* self, startUpTimes& out) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    long long start = nowNs();
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
            std::_Exit(1);
        std::string fd = std::to_string(fds[1]);
        execl(self, self, "--first-frame", fd.c_str(), static_cast<char*>(nullptr));
        std::_Exit(1);
    }
    close(fds[1]);
    long long times[2] = {0, 0};
    ssize_t got = read(fds[0], times, sizeof times);
    close(fds[0]);
    int status = 0;
    struct rusage used {};
    wait4(child, &status, 0, &used);
    if (got != sizeof times || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    out.toMain = (times[0] - start) / 1e6;
    out.toFirstFrame = (times[1] - start) / 1e6;
    out.cpuMs = (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1e3 +
                (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e3;
    out.faults = static_cast<double>(used.ru_minflt + used.ru_majflt);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const long long mainEntered = nowNs();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (argc > 2 && std::strcmp(argv[1], "--first-frame") == 0)
        return firstFrame(std::atoi(argv[2]), mainEntered);
    if (argc > 1 && std::strcmp(argv[1], "--online") == 0) return onlineBench::run();
    long passes = argc > 1 ? std::atol(argv[1]) : 100000;
    const int startUps = passes == 0 ? 31 : 9;

    // Start-up first, in fresh processes, before this one has loaded anything.
    std::vector<double> firstFrames, toMain, mainToFrame, firstFramesCpu, faults;
    for (int i = 0; i < startUps; ++i) {
        startUpTimes one;
        if (!execToFirstFrame("/proc/self/exe", one)) continue;
        firstFrames.push_back(one.toFirstFrame);
        toMain.push_back(one.toMain);
        mainToFrame.push_back(one.toFirstFrame - one.toMain);
        firstFramesCpu.push_back(one.cpuMs);
        faults.push_back(one.faults);
    }

    replayScript script = busyScript(static_cast<Uint32>(passes * 3 + 1000));
    auto startBegin = clock_type::now();
    replayRunner game(script);
    double startupMs = microseconds(clock_type::now() - startBegin) / 1000.0;
    long rssAfterStart = statusKb("VmHWM:");

    std::vector<double> passCost, limitCost, listCost, floorCost;
    scratchMemory mem;
    mem.pitch = screen->pitch;
    mem.screenBytes.assign(static_cast<size_t>(screen->pitch) * screen->h, 0);
    double particleSum = 0, bytesSum = 0, copyBytes = 0, drawBytes = 0, fillBytes = 0;
    for (long i = 0; i < passes; ++i) {
        auto begin = clock_type::now();
        if (!game.step()) break;
        passCost.push_back(microseconds(clock_type::now() - begin));
        std::vector<spritePart> parts = sceneOfThePass();
        passBytes bytes = bytesOf(parts);
        limitCost.push_back(bytesMovedLimit(parts, mem));
        listCost.push_back(gameCopies(parts, false));
        floorCost.push_back(gameCopies(parts, true));
        particleSum += pList.size();
        bytesSum += bytes.total();
        copyBytes += bytes.copies;
        drawBytes += bytes.draws;
        fillBytes += bytes.fills;
    }
    long rssAfterRun = statusKb("VmHWM:");

    const double n = passCost.empty() ? 1 : static_cast<double>(passCost.size());
    const double pass = median(passCost);
    auto ratio = [pass](double of) { return of > 0 ? pass / of : 0.0; };
    const double limit = median(limitCost), list = median(listCost), floor = median(floorCost);
    std::printf("passes                            %zu\n", passCost.size());
    std::printf("live particles (mean)             %.1f\n", particleSum / n);
    std::printf("bytes a pass moves (mean)         %.2f MB (copies %.2f, draws %.2f, fills %.2f)\n",
                bytesSum / n / 1e6, copyBytes / n / 1e6, drawBytes / n / 1e6, fillBytes / n / 1e6);
    std::printf("memcpy, 256 KB blocks (in cache)  %.1f GB/s\n", memcpyGBs(256 << 10, 2000));
    std::printf("memcpy, 64 MB blocks (memory)     %.1f GB/s\n", memcpyGBs(64 << 20, 4));
    std::printf("one pass, median                  %.2f us\n", pass);
    std::printf("1 bytes-moved limit, median       %.2f us   pass / limit  %.2f\n", limit,
                ratio(limit));
    std::printf("2 the pass's copy list, median    %.2f us   pass / list   %.2f\n", list,
                ratio(list));
    std::printf("3 strict floor, median            %.2f us   pass / floor  %.2f\n", floor,
                ratio(floor));
    std::printf("exec to first frame, median of %zu %.1f ms (fastest %.1f; CPU time %.1f ms)\n",
                firstFrames.size(), median(firstFrames),
                firstFrames.empty() ? 0.0
                                    : *std::min_element(firstFrames.begin(), firstFrames.end()),
                median(firstFramesCpu));
    std::printf("  exec to main (loading libraries) %.1f ms (fastest %.1f)\n", median(toMain),
                toMain.empty() ? 0.0 : *std::min_element(toMain.begin(), toMain.end()));
    std::printf("  main to first frame             %.1f ms (fastest %.1f)\n", median(mainToFrame),
                mainToFrame.empty() ? 0.0
                                    : *std::min_element(mainToFrame.begin(), mainToFrame.end()));
    std::printf("  page faults to first frame      %.0f\n", median(faults));
    std::printf("start-up in this process          %.1f ms\n", startupMs);
    std::printf("peak RSS after start-up           %ld kB\n", rssAfterStart);
    std::printf("peak RSS after the run            %ld kB\n", rssAfterRun);
    return 0;
}
