// Start-up decodes every bitmap once and converts it to the display format
// once: no frame is loaded twice, and neither the colour key nor the mirror
// costs a conversion of its own.  The program counts both by standing in for
// SDL_LoadBMP_RW, SDL_DisplayFormat and SDL_UpperBlit (a frame is converted
// by a blit straight into its own pixel memory where that gives the same
// pixels).
//
// The game draws its backgrounds, opaque frames and bars with row copies and
// row fills of its own, and its keyed frames (fighters and particles facing
// either way) by copying their opaque runs.  Played twice from the same
// recording, once so and once with every copy, draw and fill handed to SDL's
// blits and fills, it must show the same pixels in every frame (the screen as
// flipped) and leave the same screen after every pass, on whichever SDL 1.2
// it runs: a game against the computer, and a versus match in which player 2
// throws fireballs facing left.  A program of its own: it stands in for SDL_Flip and
// SDL_UpdateRects to see each frame before the real call runs.
#include "particle/particle.h"
#include "replayRunner.h"
#include "sprite/copyBlit.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::uint64_t>* g_frames = nullptr;

// Every pixel of the screen (its colour bytes), folded into 64 bits.
std::uint64_t screenHash(SDL_Surface* screen) {
    const std::uint64_t colour = 0x00FFFFFF00FFFFFFull;
    std::uint64_t lanes[4] = {1, 2, 3, 4};
    for (int y = 0; y < screen->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
        int x = 0;
        for (; x + 8 <= screen->w; x += 8)
            for (int lane = 0; lane < 4; ++lane) {
                std::uint64_t two;
                std::memcpy(&two, row + (x + 2 * lane) * 4, sizeof two);
                lanes[lane] = (lanes[lane] ^ (two & colour)) * 0x9E3779B97F4A7C15ull;
            }
        for (; x < screen->w; ++x) {
            Uint32 one;
            std::memcpy(&one, row + x * 4, sizeof one);
            lanes[0] = (lanes[0] ^ (one & 0xFFFFFF)) * 0x9E3779B97F4A7C15ull;
        }
    }
    return lanes[0] ^ (lanes[1] >> 7) ^ (lanes[2] << 13) ^ (lanes[3] >> 19);
}

} // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
    if (g_frames && screen) g_frames->push_back(screenHash(screen));
    using flipFunction = int (*)(SDL_Surface*);
    static flipFunction real = reinterpret_cast<flipFunction>(dlsym(RTLD_NEXT, "SDL_Flip"));
    return real ? real(screen) : 0;
}

// Frames after the first mostly go to the window as changed rectangles.
extern "C" void SDL_UpdateRects(SDL_Surface* screen, int count, SDL_Rect* rects) {
    if (g_frames && screen) g_frames->push_back(screenHash(screen));
    using updateFunction = void (*)(SDL_Surface*, int, SDL_Rect*);
    static updateFunction real =
        reinterpret_cast<updateFunction>(dlsym(RTLD_NEXT, "SDL_UpdateRects"));
    if (real) real(screen, count, rects);
}

// On sdl12-compat they go one call a rectangle.
extern "C" void SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    if (g_frames && screen) g_frames->push_back(screenHash(screen));
    using updateFunction = void (*)(SDL_Surface*, Sint32, Sint32, Uint32, Uint32);
    static updateFunction real =
        reinterpret_cast<updateFunction>(dlsym(RTLD_NEXT, "SDL_UpdateRect"));
    if (real) real(screen, x, y, w, h);
}

namespace {

int g_decoded = 0;
int g_converted = 0;
int g_blitsOffScreen = 0;

} // namespace

extern "C" SDL_Surface* SDL_LoadBMP_RW(SDL_RWops* source, int freeSource) {
    ++g_decoded;
    using loadFunction = SDL_Surface* (*)(SDL_RWops*, int);
    static loadFunction real = reinterpret_cast<loadFunction>(dlsym(RTLD_NEXT, "SDL_LoadBMP_RW"));
    return real(source, freeSource);
}

extern "C" SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
    ++g_converted;
    using convertFunction = SDL_Surface* (*)(SDL_Surface*);
    static convertFunction real =
        reinterpret_cast<convertFunction>(dlsym(RTLD_NEXT, "SDL_DisplayFormat"));
    return real(surface);
}

// SDL_BlitSurface: during start-up, a blit onto anything but the screen is a
// frame's conversion.
extern "C" int SDL_UpperBlit(SDL_Surface* source, SDL_Rect* from, SDL_Surface* target,
                             SDL_Rect* to) {
    if (target && target != SDL_GetVideoSurface()) ++g_blitsOffScreen;
    using blitFunction = int (*)(SDL_Surface*, SDL_Rect*, SDL_Surface*, SDL_Rect*);
    static blitFunction real = reinterpret_cast<blitFunction>(dlsym(RTLD_NEXT, "SDL_UpperBlit"));
    return real(source, from, target, to);
}

namespace {

// Player 1 throws fireballs, punches, kicks and jumps while the opponent
// plays and hits back; the boxes are shown for a while in the middle.
replayScript busyGame() {
    replayScript script;
    script.seed = 7;
    script.stepMs = 6;
    script.endTick = 9000;
    auto tap = [&script](Uint32 t, SDLKey key) { script.tap(t, key, 30); };
    for (Uint32 t = 300; t < script.endTick - 1000; t += 900) {
        tap(t, SDLK_DOWN);
        tap(t + 40, SDLK_RIGHT);
        tap(t + 80, SDLK_z);
        tap(t + 400, SDLK_x);
        tap(t + 600, SDLK_UP);
        tap(t + 800, SDLK_c);
    }
    tap(4000, SDLK_j);
    tap(6000, SDLK_j);
    return script;
}

struct playedGame {
    std::vector<std::uint64_t> frames;    // at each flip
    std::vector<std::uint64_t> afterPass; // when each pass is over
    int hpLeft[2] = {0, 0};
    int mostParticles = 0;
    // Keyed frames drawn from their runs: fighters facing right and left,
    // particles facing right and left.
    int fightersFacing[2] = {0, 0};
    int particlesFacing[2] = {0, 0};
};

// True when the frame on show is drawn from its opaque runs.
bool drawnFromRuns(const spriteFrame* shown) {
    return shown && shown->image && shown->runs.known() && !blit::sdlDrawingOnly();
}

void countRunDraws(playedGame& played) {
    for (const Fighter* f : {&vikings1, &fighter2})
        if (drawnFromRuns(f->current(f->facingRight))) ++played.fightersFacing[f->facingRight];
    for (particleList::node* n = pList.head; n; n = n->next)
        if (!n->item->dead && drawnFromRuns(n->item->sprite.current(n->item->facingRight)))
            ++played.particlesFacing[n->item->facingRight];
}

// A versus match, both players human: each throws fireballs (Down, forward,
// A; forward is Left for player 2, whose fireballs fly facing left), jumps
// and kicks, and the boxes are shown for a while.  Few enough fireballs that
// nobody is knocked out.
replayScript versusMatch() {
    std::map<Uint32, std::string> pressed[2];
    auto press = [&pressed](int player, Uint32 frame, const char* control) {
        std::string& at = pressed[player][frame];
        at += (at.empty() ? "" : "+") + std::string(control);
    };
    for (Uint32 f = 20; f < 620; f += 60) {
        press(1, f, "down");
        press(1, f + 1, "left");
        press(1, f + 2, "A");
        press(0, f + 30, "down");
        press(0, f + 31, "right");
        press(0, f + 32, "A");
        press(1, f + 20, "up");
        press(0, f + 50, "B");
    }
    press(0, 300, "boxes");
    press(0, 400, "boxes");
    std::map<Uint32, bool> frames;
    for (const auto& player : pressed)
        for (const auto& at : player)
            frames[at.first] = true;
    std::string text = "versus\nseed 3\n";
    for (const auto& f : frames) {
        auto of = [&pressed, &f](int player) {
            auto found = pressed[player].find(f.first);
            return found == pressed[player].end() ? std::string("-") : found->second;
        };
        text += "frame " + std::to_string(f.first) + " - " + of(0) + " - " + of(1) + "\n";
    }
    text += "end 700\n";
    replayScript script;
    std::string error;
    if (!script.parse(text, error)) ADD_FAILURE() << error;
    return script;
}

replayScript (*g_script)() = busyGame;

playedGame play(bool sdlOnly) {
    blit::setSdlDrawingOnly(sdlOnly);
    replayScript script = g_script();
    playedGame played;
    g_frames = &played.frames;
    {
        replayRunner game(script);
        auto step = [&game, &script] {
            return script.versus ? game.stepFrame() : game.now() < script.endTick && game.step();
        };
        while (step()) {
            played.afterPass.push_back(screenHash(SDL_GetVideoSurface()));
            played.mostParticles = std::max(played.mostParticles, pList.size());
            countRunDraws(played);
        }
        played.hpLeft[0] = vikings1.hp;
        played.hpLeft[1] = fighter2.hp;
    }
    g_frames = nullptr;
    return played;
}

// The game's objects live for the whole program, so each way of drawing gets
// a process of its own, which hands its record back through a pipe.
playedGame playInChild(bool sdlOnly) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        playedGame played = play(sdlOnly);
        std::vector<std::uint64_t> all = {played.frames.size(),
                                          played.afterPass.size(),
                                          static_cast<std::uint64_t>(played.hpLeft[0]),
                                          static_cast<std::uint64_t>(played.hpLeft[1]),
                                          static_cast<std::uint64_t>(played.mostParticles),
                                          static_cast<std::uint64_t>(played.fightersFacing[0]),
                                          static_cast<std::uint64_t>(played.fightersFacing[1]),
                                          static_cast<std::uint64_t>(played.particlesFacing[0]),
                                          static_cast<std::uint64_t>(played.particlesFacing[1])};
        all.insert(all.end(), played.frames.begin(), played.frames.end());
        all.insert(all.end(), played.afterPass.begin(), played.afterPass.end());
        const char* bytes = reinterpret_cast<const char*>(all.data());
        size_t left = all.size() * sizeof(std::uint64_t);
        while (left > 0) {
            ssize_t n = write(fds[1], bytes, left);
            if (n <= 0) _exit(1);
            bytes += n;
            left -= static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::vector<char> got;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        got.insert(got.end(), buffer, buffer + n);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    playedGame played;
    const size_t head = 9;
    if (got.size() < head * sizeof(std::uint64_t)) return played;
    std::vector<std::uint64_t> all(got.size() / sizeof(std::uint64_t));
    std::copy(got.begin(), got.begin() + all.size() * sizeof(std::uint64_t),
              reinterpret_cast<char*>(all.data()));
    size_t frames = all[0], passes = all[1];
    if (all.size() != head + frames + passes) return played;
    played.hpLeft[0] = static_cast<int>(all[2]);
    played.hpLeft[1] = static_cast<int>(all[3]);
    played.mostParticles = static_cast<int>(all[4]);
    for (int facing = 0; facing < 2; ++facing) {
        played.fightersFacing[facing] = static_cast<int>(all[5 + facing]);
        played.particlesFacing[facing] = static_cast<int>(all[7 + facing]);
    }
    played.frames.assign(all.begin() + head, all.begin() + head + frames);
    played.afterPass.assign(all.begin() + head + frames, all.end());
    return played;
}

} // namespace

TEST(Frames, StartUpDecodesAndConvertsEveryBitmapOnce) {
    replayScript script = busyGame();
    g_decoded = g_converted = g_blitsOffScreen = 0;
    replayRunner game(script);
    int frames = barbase.numFrames;
    for (const animation& a : game.session.anims.animList)
        frames += a.frameSet.numFrames;
    for (const moveInfo& m : game.session.moves.moves)
        frames += m.frameSet.numFrames;
    for (partInfoList::node* n = game.session.particleDefs.head; n; n = n->next)
        if (n->info.frameSet) frames += n->info.frameSet->numFrames;
    ASSERT_GT(frames, 50);
    const int background = 1;
    EXPECT_EQ(g_decoded, frames + background);
    EXPECT_EQ(g_converted + g_blitsOffScreen, frames + background);
}

namespace {

void expectTheSameFrames(const playedGame& viaSdl, const playedGame& own) {
    ASSERT_EQ(viaSdl.frames.size(), own.frames.size());
    ASSERT_EQ(viaSdl.afterPass.size(), own.afterPass.size());
    for (size_t i = 0; i < own.frames.size(); ++i)
        ASSERT_EQ(viaSdl.frames[i], own.frames[i]) << "the frame of pass " << i + 1 << " differs";
    for (size_t i = 0; i < own.afterPass.size(); ++i)
        ASSERT_EQ(viaSdl.afterPass[i], own.afterPass[i])
            << "the screen after pass " << i + 1 << " differs";
}

} // namespace

// Played before the game against the computer: a match after a game played
// in the same process starts from what that game left (ctest runs every test
// in a process of its own anyway).
TEST(Frames, FireballsFacingEitherWayShowExactlyWhatSdlShows) {
    g_script = versusMatch;
    playedGame viaSdl = playInChild(true);
    playedGame own = playInChild(false);

    // Both players' fireballs hit, and the match runs to its end.
    EXPECT_LT(own.hpLeft[0], 1000);
    EXPECT_LT(own.hpLeft[1], 1000);
    EXPECT_GT(own.hpLeft[0], 0);
    EXPECT_GT(own.hpLeft[1], 0);
    // Particles and fighters drawn from their runs facing either way.
    EXPECT_GT(own.particlesFacing[0], 100);
    EXPECT_GT(own.particlesFacing[1], 100);
    EXPECT_GT(own.fightersFacing[0], 300);
    EXPECT_GT(own.fightersFacing[1], 300);

    ASSERT_GE(own.frames.size(), 690u);
    expectTheSameFrames(viaSdl, own);
}

TEST(Frames, RowCopiesAndFillsShowExactlyWhatSdlShows) {
    g_script = busyGame;
    playedGame viaSdl = playInChild(true);
    playedGame own = play(false);

    // The recording must really move everything: both bars lose hit points,
    // fireballs fly.
    EXPECT_LT(own.hpLeft[1], 1000);
    EXPECT_LT(own.hpLeft[0], 1000);
    EXPECT_GE(own.mostParticles, 1);
    // Keyed frames really went through the runs: the fighters facing either
    // way, player 1's fireballs.  (The opponent throws none in this game:
    // the versus match below has fireballs facing left.)
    EXPECT_GT(own.fightersFacing[0], 1000);
    EXPECT_GT(own.fightersFacing[1], 1000);
    EXPECT_GT(own.particlesFacing[1], 100);

    ASSERT_GT(own.frames.size(), 1000u);
    expectTheSameFrames(viaSdl, own);
}

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
