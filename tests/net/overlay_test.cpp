// The online overlay: what it says for each state of the session, and that
// it leaves the screen exactly as it found it once erased.
#include "net/impairedLink.h"
#include "net/onlineOverlay.h"
#include "testSupport.h"
#include "toySimulation.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::vector<Uint32> pixels(SDL_Surface* s) {
    std::vector<Uint32> out;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            out.push_back(rgbAt(s, x, y));
    return out;
}

} // namespace

TEST(OnlineOverlay, SaysWhatTheSessionIsDoing) {
    toySimulation ga, gb;
    std::uint32_t now = 0;
    impairedLink link({}, 1, [&] { return now; });
    rollbackSession::settings s;
    s.inputDelay = 3;
    s.host = true;
    rollbackSession a(ga.callbacks(), s, link.side(0));
    s.localPlayer = 1;
    s.host = false;
    rollbackSession b(gb.callbacks(), s, link.side(1));

    // Before the other side answers.
    a.step(now, {});
    EXPECT_EQ(onlineOverlay::describe(a, false, 0).notice, "waiting for the other player");
    EXPECT_EQ(onlineOverlay::describe(a, false, 0).stats, "");

    for (; now < 500; now += 16) {
        a.step(now, {});
        b.step(now, {});
    }
    onlineOverlay::text t = onlineOverlay::describe(a, true, 0);
    EXPECT_EQ(t.notice, "");
    EXPECT_EQ(t.stats.rfind("ping ", 0), 0u) << t.stats;
    EXPECT_NE(t.stats.find("rolled back 0 (longest 0)"), std::string::npos) << t.stats;
    EXPECT_NE(t.stats.find("input delay 3"), std::string::npos) << t.stats;

    // The other side falls silent: a moment of waiting is not shown, a
    // longer one is.
    for (int i = 0; i < 20; ++i, now += 16)
        a.step(now, {});
    ASSERT_TRUE(a.waiting());
    EXPECT_EQ(onlineOverlay::describe(a, false, 100).notice, "");
    EXPECT_EQ(onlineOverlay::describe(a, false, 300).notice, "waiting for the other player");

    for (; now < 4000; now += 16)
        a.step(now, {});
    EXPECT_EQ(onlineOverlay::describe(a, false, 0).notice, "connection lost");
}

TEST(OnlineOverlay, ErasingPutsBackEveryPixelItCovered) {
    HeadlessScreen screen;
    SDL_Surface* s = screen.surface();
    // A screen that is not one colour, so a wrong restore shows.
    for (int y = 0; y < s->h; y += 8) {
        SDL_Rect band = {0, static_cast<Sint16>(y), static_cast<Uint16>(s->w), 8};
        SDL_FillRect(s, &band, SDL_MapRGB(s->format, y % 256, (y * 3) % 256, 90));
    }
    const std::vector<Uint32> before = pixels(s);

    onlineOverlay overlay;
    onlineOverlay::text t;
    t.stats = "ping 80 ms   rolled back 3 (longest 7)   input delay 2";
    t.notice = "connection lost";
    overlay.draw(s, t);
    // Both lines are there: white ink at the foot and in the middle.
    int footInk = 0, middleInk = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            if (rgbAt(s, x, y) == 0xFFFFFF) (y > s->h - 30 ? footInk : middleInk) += 1;
    EXPECT_GT(footInk, 100);
    EXPECT_GT(middleInk, 20);

    // Drawing again first puts back what the last draw covered.
    t.notice = "";
    overlay.draw(s, t);
    overlay.erase(s);
    EXPECT_TRUE(pixels(s) == before);
    overlay.erase(s); // twice is harmless
    EXPECT_TRUE(pixels(s) == before);
}
