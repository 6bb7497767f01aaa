// The corner test every contact in the game uses.
#include "particle/SquareCollider.h"
#include "testSupport.h"

#include <gtest/gtest.h>

namespace {
colBox box(int left, int top, int right, int bottom) {
    colBox b;
    b.left = left;
    b.top = top;
    b.right = right;
    b.bottom = bottom;
    return b;
}
bool touch(colBox a, colBox b) {
    return SquareCollider(a, b).collisionCheck();
}
} // namespace

TEST(Collision, EdgesAndCornersBelongToTheBox) {
    colBox a = box(0, 0, 10, 10);
    EXPECT_TRUE(SquareCollider::pointCollide(a, 0, 0));
    EXPECT_TRUE(SquareCollider::pointCollide(a, 10, 10));
    EXPECT_TRUE(SquareCollider::pointCollide(a, 10, 5));
    EXPECT_FALSE(SquareCollider::pointCollide(a, 11, 5));
    EXPECT_FALSE(SquareCollider::pointCollide(a, 5, -1));

    EXPECT_TRUE(touch(a, a));
    EXPECT_TRUE(touch(a, box(10, 0, 20, 10)));  // shared edge
    EXPECT_TRUE(touch(a, box(10, 10, 20, 20))); // shared corner only
    EXPECT_FALSE(touch(a, box(11, 0, 20, 10))); // one pixel apart
    EXPECT_FALSE(touch(a, box(0, 11, 10, 20)));
}

TEST(Collision, ContainmentCountsEitherWayButOnlyOneCornerTestIsTrue) {
    colBox big = box(0, 0, 100, 100);
    colBox small = box(40, 40, 60, 60);
    EXPECT_TRUE(touch(big, small));
    EXPECT_TRUE(touch(small, big));
    EXPECT_TRUE(SquareCollider::indiCollide(big, small));
    EXPECT_FALSE(SquareCollider::indiCollide(small, big));
    // Only the bottom-left corner of the second box lies inside.
    EXPECT_TRUE(SquareCollider::indiCollide(box(0, 0, 10, 10), box(5, 5, 50, -50)));
}

TEST(Collision, CrossShapedOverlapIsNoContact) {
    colBox wide = box(0, 40, 100, 60);
    colBox tall = box(40, 0, 60, 100);
    EXPECT_FALSE(touch(wide, tall));
    EXPECT_FALSE(touch(tall, wide));
}

TEST(Collision, InvertedBoxesContainNoPoint) {
    colBox flippedX = box(10, 0, 0, 10);
    colBox flippedY = box(0, 10, 10, 0);
    for (int x = -1; x <= 11; ++x)
        for (int y = -1; y <= 11; ++y) {
            EXPECT_FALSE(SquareCollider::pointCollide(flippedX, x, y));
            EXPECT_FALSE(SquareCollider::pointCollide(flippedY, x, y));
        }
    EXPECT_FALSE(touch(flippedX, flippedY));
    EXPECT_FALSE(touch(flippedX, flippedX));
}

TEST(Collision, UpdateAndDisplay) {
    testing_support::TraceCapture trace;
    SquareCollider c(box(0, 0, 1, 1), box(5, 5, 6, 6));
    EXPECT_FALSE(c.collisionCheck());
    c.updateSquares(box(-3, -2, 4, 5), box(4, 5, 9, 9));
    EXPECT_TRUE(c.collisionCheck());
    c.displayBoxes();
    EXPECT_EQ("sq1: -3 -2 4 5\nsq2: 4 5 9 9\n", trace.text());
}
