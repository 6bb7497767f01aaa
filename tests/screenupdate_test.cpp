// Showing frames: only the rectangles that changed go to the window, and they
// hold every pixel that changed.
#include "game/screenUpdate.h"
#include "replayRunner.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <vector>

using testing_support::HeadlessScreen;
using testing_support::sourceDir;

namespace {

struct sentFrame {
    bool whole;
    std::vector<SDL_Rect> rects;
};
std::vector<sentFrame> g_frames;

void record(SDL_Surface*, bool whole, const std::vector<SDL_Rect>& sent) {
    g_frames.push_back({whole, sent});
}

// What the window holds: updated from the screen exactly where frames go.
std::vector<Uint32> g_window;
long g_partial = 0, g_whole = 0, g_stale = 0;

void copyRows(SDL_Surface* screen, const SDL_Rect& r) {
    for (int y = r.y; y < r.y + r.h; ++y)
        std::memcpy(&g_window[y * screen->w + r.x],
                    static_cast<Uint8*>(screen->pixels) + y * screen->pitch + r.x * 4, r.w * 4u);
}

// After each frame the window must equal the screen.
void mirror(SDL_Surface* screen, bool whole, const std::vector<SDL_Rect>& sent) {
    const size_t pixels = static_cast<size_t>(screen->w) * screen->h;
    if (g_window.size() != pixels) g_window.assign(pixels, 0);
    SDL_Rect all = {0, 0, static_cast<Uint16>(screen->w), static_cast<Uint16>(screen->h)};
    if (whole) {
        ++g_whole;
        copyRows(screen, all);
        return;
    }
    ++g_partial;
    for (const SDL_Rect& r : sent) {
        ASSERT_GE(r.x, 0);
        ASSERT_GE(r.y, 0);
        ASSERT_LE(r.x + r.w, screen->w);
        ASSERT_LE(r.y + r.h, screen->h);
        copyRows(screen, r);
    }
    for (int y = 0; y < screen->h; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(screen->pixels) +
                                                            y * screen->pitch);
        if (std::memcmp(row, &g_window[y * screen->w], screen->w * 4u) == 0) continue;
        for (int x = 0; x < screen->w; ++x)
            if (row[x] != g_window[y * screen->w + x]) {
                if (g_stale++ == 0) ADD_FAILURE() << "pixel " << x << "," << y << " never sent";
                g_window[y * screen->w + x] = row[x];
            }
    }
}

} // namespace

TEST(ScreenUpdate, SendsTheFirstAndRedrawnFramesWholeAndCutsTheRestToTheScreen) {
    HeadlessScreen screen;
    g_frames.clear();
    screenUpdate::setWatcher(record);
    screenUpdate update;
    update.add(10, 20, 30, 40);
    update.show(screen.surface(), false); // the first frame
    update.add(-5, 590, 20, 20);          // cut at the left and bottom edges
    update.add(900, 10, 50, 50);          // off the screen
    update.add(10, 10, 0, 5);             // empty
    update.show(screen.surface(), false);
    update.show(screen.surface(), false); // nothing new: the last frame's rectangles again
    update.show(screen.surface(), false); // nothing at all
    update.wholeNext();
    update.add(1, 1, 1, 1);
    update.show(screen.surface(), false);
    update.show(screen.surface(), true); // asked for
    screenUpdate::setWatcher(nullptr);

    ASSERT_EQ(6u, g_frames.size());
    EXPECT_TRUE(g_frames[0].whole);
    EXPECT_FALSE(g_frames[1].whole);
    auto rects = [](const sentFrame& f) {
        std::vector<std::vector<int>> out;
        for (const SDL_Rect& r : f.rects)
            out.push_back({r.x, r.y, r.w, r.h});
        return out;
    };
    // The first frame's rectangle comes again: what it covered was put back since.
    EXPECT_EQ((std::vector<std::vector<int>>{{10, 20, 30, 40}, {0, 590, 15, 10}}),
              rects(g_frames[1]));
    EXPECT_EQ((std::vector<std::vector<int>>{{0, 590, 15, 10}}), rects(g_frames[2]));
    EXPECT_FALSE(g_frames[3].whole);
    EXPECT_TRUE(g_frames[3].rects.empty());
    EXPECT_TRUE(g_frames[4].whole);
    EXPECT_TRUE(g_frames[5].whole);
}

// Hundreds of particles mark hundreds of rectangles: weighing every pair
// would cost more than the pass itself, so they go as one, their hull,
// which covers every one of them.
TEST(ScreenUpdate, HundredsOfRectanglesGoAsTheirHull) {
    HeadlessScreen screen;
    g_frames.clear();
    screenUpdate::setWatcher(record);
    screenUpdate update;
    update.show(screen.surface(), false); // the first frame goes whole
    for (int i = 0; i < 400; ++i)
        update.add(100 + (i * 37) % 500, 200 + (i * 11) % 300, 24, 24);
    update.show(screen.surface(), false);
    // A few stay apart, as before.
    update.add(700, 10, 20, 20);
    update.show(screen.surface(), false);
    update.add(700, 10, 20, 20);
    update.show(screen.surface(), false);
    screenUpdate::setWatcher(nullptr);

    ASSERT_EQ(4u, g_frames.size());
    ASSERT_EQ(1u, g_frames[1].rects.size());
    const SDL_Rect& all = g_frames[1].rects[0];
    EXPECT_EQ(100, all.x);
    EXPECT_EQ(200, all.y);
    for (int i = 0; i < 400; ++i) {
        const int x = 100 + (i * 37) % 500, y = 200 + (i * 11) % 300;
        EXPECT_TRUE(x >= all.x && y >= all.y && x + 24 <= all.x + all.w && y + 24 <= all.y + all.h)
            << "rectangle " << i << " not covered";
    }
    // The next frame sends the 400 again (put back since) with the new one:
    // still their hull; after that the one rectangle alone.
    ASSERT_EQ(1u, g_frames[2].rects.size());
    EXPECT_EQ(720, g_frames[2].rects[0].x + g_frames[2].rects[0].w);
    EXPECT_EQ((std::vector<std::vector<int>>{{700, 10, 20, 20}}), [&] {
        std::vector<std::vector<int>> out;
        for (const SDL_Rect& r : g_frames[3].rects)
            out.push_back({r.x, r.y, r.w, r.h});
        return out;
    }());
}

// The real game with fireballs, jumps, walks, hits, particles dying and the
// debug boxes on and off: a window that receives only what is sent always
// shows what the screen holds.
TEST(ScreenUpdate, TheWindowAlwaysShowsTheScreen) {
    ASSERT_EQ(chdir(sourceDir().c_str()), 0);
    replayScript script;
    script.seed = 11;
    script.stepMs = 3;
    script.endTick = 12000;
    Uint32 t = 300;
    auto tap = [&](SDLKey key, Uint32 hold) {
        script.tap(t, key, hold);
        t += hold + 20;
    };
    for (int round = 0; round < 4; ++round) {
        for (SDLKey key : {SDLK_DOWN, SDLK_RIGHT, SDLK_z})
            tap(key, 30);
        t += 300;
        tap(SDLK_RIGHT, 600);
        tap(SDLK_UP, 40);
        t += 500;
        tap(SDLK_x, 30);
        if (round == 1) tap(SDLK_j, 30); // boxes on
        if (round == 2) tap(SDLK_j, 30); // and off again
        tap(SDLK_LEFT, 400);
        tap(SDLK_c, 30);
        t += 400;
    }
    g_window.clear();
    g_partial = g_whole = g_stale = 0;
    screenUpdate::setWatcher(mirror);
    {
        replayRunner game(script);
        game.run();
    }
    screenUpdate::setWatcher(nullptr);
    EXPECT_EQ(0, g_stale) << "pixels the window never got";
    EXPECT_GT(g_partial, 3000) << "frames sent in rectangles";
    EXPECT_GT(g_whole, 50) << "the first frame and the frames with debug boxes";
}
