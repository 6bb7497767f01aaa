// The random source and the control bindings record.
#include "gamepad.h"
#include "randomNumber.h"
#include "seams.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {
int g_next = 0;
int fixedRandom() { return g_next; }
} // namespace

TEST(RandomNumber, StaysWithinRangeAndToleratesNonPositiveBounds) {
    seams::setRandomSource(fixedRandom);
    g_next = 12345;
    EXPECT_EQ(0, g_randomNumber.getNumber(1));
    EXPECT_EQ(12345 % 7, g_randomNumber.getNumber(7));
    EXPECT_EQ(0, g_randomNumber.getNumber(0));
    EXPECT_EQ(0, g_randomNumber.getNumber(-4));
    seams::setRandomSource(nullptr);
    for (int i = 0; i < 200; ++i) {
        int v = g_randomNumber.getNumber(3);
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 3);
    }
}

TEST(GamePad, ConstructedEmptyAndPlayerOneDefaults) {
    gamePad pad;
    EXPECT_EQ("Default", pad.name);
    EXPECT_EQ(0, pad.buttonA);
    EXPECT_EQ(0, pad.downKey);
    EXPECT_EQ(-1, pad.joyIndex);
    EXPECT_EQ(0, pad.joyButtonC);
    pad.setPlayerOneDefaults();
    EXPECT_EQ(122, pad.buttonA);
    EXPECT_EQ(120, pad.buttonB);
    EXPECT_EQ(99, pad.buttonC);
    EXPECT_EQ(276, pad.leftKey);
    EXPECT_EQ(275, pad.rightKey);
    EXPECT_EQ(273, pad.upKey);
    EXPECT_EQ(274, pad.downKey);
    EXPECT_EQ(-1, pad.joyIndex);
    EXPECT_EQ(0, pad.joyButtonA);
    EXPECT_EQ(1, pad.joyButtonB);
    EXPECT_EQ(2, pad.joyButtonC);
}
