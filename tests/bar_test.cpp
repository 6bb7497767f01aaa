// Hit-point bars: fill length, direction, clipping and clamping.
#include "sprite/CSpriteBar.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace testing_support;

namespace {

const Uint32 kFill = 0xFF3300;
const Uint32 kArt = 0x808080;

struct BarScene {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    CSpriteBase set;
    CSpriteBar bar;

    explicit BarScene(int artWidth = 380, int artHeight = 30) {
        dir.writeBmp("hp/bar.bmp", artWidth, artHeight, kArt);
        dir.write("hp/info", "FILES: 1\nbar.bmp 100 -1 0 0\n0 0\n0 0 0 0\n0 0 0 0\n0\n0\n0\n"
                             "0 0\n0 0\nNULL\n0\n0 0\n0\nbar\n");
        if (set.init((dir / "hp").c_str()) != 0) throw std::runtime_error("no bar art");
        bar.init(&set, screen.surface());
        bar.xPos = 20;
        bar.yPos = 40;
        bar.clearBack = true;
        SDL_FillRect(screen.surface(), nullptr, 0x0000FF);
    }
    Uint32 at(int x) { return rgbAt(screen.surface(), x, 50); }
    // Width of the orange run starting at x.
    int runFrom(int x) {
        int n = 0;
        while (x + n < 800 && at(x + n) == kFill)
            ++n;
        return n;
    }
};

} // namespace

TEST(Bar, FillLengthFollowsTheValueTruncated) {
    BarScene scene;
    scene.bar.setBar(10, 5, 360, 20, 1000, 1000, false);
    scene.bar.draw();
    EXPECT_EQ(360, scene.runFrom(30));
    EXPECT_EQ(kArt, scene.at(29));
    EXPECT_EQ(kArt, scene.at(390));

    scene.bar.setBarValue(999);
    scene.bar.draw();
    EXPECT_EQ(359, scene.runFrom(30));
    EXPECT_EQ(0x000000u, scene.at(389)); // the cleared rest of the bar

    scene.bar.setBarValue(0);
    scene.bar.draw();
    EXPECT_EQ(0, scene.runFrom(30));
    EXPECT_EQ(0x000000u, scene.at(30));
    EXPECT_EQ(kArt, rgbAt(scene.screen.surface(), 30, 44)); // above the bar: art
}

TEST(Bar, ValuesAreClampedToTheRange) {
    BarScene scene;
    scene.bar.setBar(10, 5, 360, 20, 1000, 5000, false);
    EXPECT_EQ(1000, scene.bar.value);
    scene.bar.setBarValue(1200);
    EXPECT_EQ(1000, scene.bar.value);
    scene.bar.draw();
    EXPECT_EQ(360, scene.runFrom(30));
    scene.bar.setBarValue(-5);
    EXPECT_EQ(0, scene.bar.value);
    scene.bar.draw();
    EXPECT_EQ(0, scene.runFrom(30));
    scene.bar.setBar(10, 5, 360, 20, 1000, -7, false);
    EXPECT_EQ(0, scene.bar.value);
}

TEST(Bar, RightToLeftFillIsAnchoredAtTheRightEnd) {
    BarScene scene;
    scene.bar.setBar(10, 5, 360, 20, 1000, 500, true);
    scene.bar.draw();
    // xPos + 190 up to xPos + 370 (exclusive)
    EXPECT_EQ(0x000000u, scene.at(20 + 189));
    EXPECT_EQ(180, scene.runFrom(20 + 190));
    EXPECT_EQ(kArt, scene.at(20 + 370));
}

TEST(Bar, RectangleWiderThanTheArtIsClippedOnce) {
    BarScene scene(200, 15);
    scene.bar.setBar(10, 5, 360, 20, 1000, 1000, false);
    scene.bar.draw();
    EXPECT_EQ(190, scene.bar.barW);
    EXPECT_EQ(10, scene.bar.barH);
    EXPECT_EQ(190, scene.runFrom(30));
    EXPECT_EQ(0x0000FFu, scene.at(220)); // beyond the art: untouched screen
    EXPECT_EQ(0x0000FFu, rgbAt(scene.screen.surface(), 30, 55));
    scene.bar.draw();
    EXPECT_EQ(190, scene.bar.barW);

    // Starting beyond the art leaves nothing to fill.
    scene.bar.setBar(250, 5, 40, 20, 1000, 1000, false);
    scene.bar.draw();
    EXPECT_EQ(0, scene.bar.barW);
    EXPECT_EQ(0x0000FFu, scene.at(270));
}

TEST(Bar, ZeroMaximumShowsAnEmptyBar) {
    BarScene scene;
    scene.bar.setBar(10, 5, 360, 20, 0, 50, false);
    EXPECT_EQ(0, scene.bar.value);
    scene.bar.value = 50; // even if set directly
    scene.bar.draw();
    EXPECT_EQ(0, scene.runFrom(30));
    EXPECT_EQ(0x000000u, scene.at(30));

    // Negative maximum and a value past the maximum set directly stay inside.
    scene.bar.setBar(10, 5, 360, 20, -10, 50, false);
    scene.bar.draw();
    EXPECT_EQ(0, scene.runFrom(30));
    scene.bar.setBar(10, 5, 360, 20, 1000, 1000, false);
    scene.bar.value = 3000;
    scene.bar.draw();
    EXPECT_EQ(360, scene.runFrom(30));
}

TEST(Bar, BarWithoutArtDrawsNothing) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    CSpriteBase none;
    EXPECT_EQ(-1, none.init((dir / "missing").c_str()));
    CSpriteBar bar;
    bar.init(&none, screen.surface());
    bar.setBar(10, 5, 360, 20, 1000, 1000, false);
    bar.clearBack = true;
    SDL_FillRect(screen.surface(), nullptr, 0x0000FF);
    bar.draw();
    EXPECT_EQ(0x0000FFu, rgbAt(screen.surface(), 15, 10));
}
