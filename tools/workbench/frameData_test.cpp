// The frame data against the game itself: recorded games in which player 1
// lands one punch, one kick or one heavy kick are played pass by pass, and
// the moments the game shows (the move starting, its first active frame,
// the damage, the move ending, the hit reaction ending) must agree with the
// figures computed from the data.
#include "frameData.h"

#include "replayRunner.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testing_support;

namespace {

struct observed {
    int start = -1, firstActive = -1, hit = -1, end = -1, reactionEnd = -1;
    int damage = 0;
    int frames = 0; // the move's frame count
};

// Plays the recorded game and notes when each moment first happened.
observed play(const std::string& replay, const std::string& move, int firstActiveFrame,
              moveTiming& expected, int& step) {
    replayScript script;
    std::string error;
    EXPECT_TRUE(script.load("tests/replays/" + replay, error)) << error;
    step = static_cast<int>(script.stepMs);
    replayRunner runner(script);
    const moveInfo& played = runner.session.moves.returnMove(move);
    expected = frameData::of(played, runner.session.moves);
    observed seen;
    seen.frames = static_cast<int>(played.frameSet.frames.size());
    while (runner.now() < script.endTick && runner.step()) {
        const int now = static_cast<int>(runner.now());
        const bool running = vikings1.returnMoveName() == move;
        if (seen.start < 0 && running) seen.start = now;
        if (seen.firstActive < 0 && running && vikings1.frame == firstActiveFrame)
            seen.firstActive = now;
        if (seen.hit < 0 && fighter2.hp < 1000) {
            seen.hit = now;
            seen.damage = 1000 - fighter2.hp;
        }
        if (seen.start >= 0 && seen.end < 0 && !running) seen.end = now;
        if (seen.hit >= 0 && seen.reactionEnd < 0 && fighter2.returnMoveName() == "NULL")
            seen.reactionEnd = now;
    }
    return seen;
}

class FrameDataAgainstGames : public ::testing::TestWithParam<std::array<const char*, 3>> {
  protected:
    void SetUp() override { ASSERT_EQ(chdir(sourceDir().c_str()), 0); }
};

TEST_P(FrameDataAgainstGames, TimesMatchThePlayedMove) {
    const std::string replay = GetParam()[0], move = GetParam()[1];
    const int firstActiveFrame = std::atoi(GetParam()[2]);
    moveTiming t;
    int step = 0;
    const observed seen = play(replay, move, firstActiveFrame, t, step);
    ASSERT_TRUE(t.hurts);
    ASSERT_GE(seen.start, 0) << "the move never started";
    ASSERT_GE(seen.hit, 0) << "the move never hit";
    ASSERT_GE(seen.end, 0);
    ASSERT_GE(seen.reactionEnd, 0);

    EXPECT_EQ(seen.damage, t.damage);
    // The blow lands on the first frame that can hurt.
    EXPECT_GE(seen.hit, seen.firstActive);
    EXPECT_LE(seen.hit, seen.firstActive + step);
    // Startup is the most the first frames take; the move's first frame
    // can be cut short when it starts.
    EXPECT_LE(seen.firstActive - seen.start, t.startup + step);
    // Every frame change comes in the first pass after it is due, up to a
    // pass late, and the next frame's time counts from there.
    const int frames = seen.frames;
    const int busy = seen.end - seen.firstActive;
    EXPECT_GE(busy, t.active + t.recovery);
    EXPECT_LE(busy, t.active + t.recovery + frames * step);
    // The advantage on hit: how much longer the opponent's hit reaction ran
    // than the rest of the move.  The reaction's own first frame can be cut
    // short by up to its pause, and both ends come up to a few passes late.
    const int advantage = seen.reactionEnd - seen.end;
    EXPECT_NEAR(advantage, t.onHit, 4 * step + 3 * frameData::speed + frames * step)
        << replay << ": the opponent was free " << advantage << " ms after player 1";
}

INSTANTIATE_TEST_SUITE_P(
    ThreeMoves, FrameDataAgainstGames,
    ::testing::Values(std::array<const char*, 3>{"framedata_punch.replay", "punch", "1"},
                      std::array<const char*, 3>{"framedata_kick.replay", "kick", "1"},
                      std::array<const char*, 3>{"framedata_heavy.replay", "heavy", "2"}),
    [](const auto& info) { return std::string(info.param[1]); });

// The shipped combos connect whenever the first blow lands: wherever in its
// active frames the first move hits, and whenever in its window the
// follow-up is entered, the follow-up can still hurt at the moment the
// opponent's hit reaction ends (no damage applies before it).  A link starts
// when the move it follows ends; a cancel starts when it is entered.
TEST(FrameData, TheShippedCombosCoverTheEndOfTheHitReaction) {
    ASSERT_EQ(chdir(sourceDir().c_str()), 0);
    HeadlessScreen screen;
    TraceCapture trace;
    moveSet moves;
    moves.loadAll("data/Tavro");
    const int reaction = frameData::length(moves.returnMove("hit1"));
    ASSERT_GT(reaction, 0);
    int combos = 0;
    for (const moveTiming& follow : frameData::all(moves)) {
        if (follow.follows.empty() || !follow.hurts) continue;
        SCOPED_TRACE(follow.name + " after " + follow.follows);
        ++combos;
        const moveTiming first = frameData::of(moves.returnMove(follow.follows), moves);
        ASSERT_TRUE(first.hurts);
        const bool link = moves.returnMove(follow.name).linkMove != "NULL";
        for (int hit = first.startup; hit < first.startup + first.active; ++hit) {
            for (int entered = follow.windowFrom; entered <= follow.windowTo; ++entered) {
                const int start = link ? first.total : entered;
                const int from = start + follow.startup, to = from + follow.active;
                const int reactionEnd = hit + reaction;
                ASSERT_TRUE(from <= reactionEnd && reactionEnd < to)
                    << "the first blow lands at " << hit << " ms, the follow-up starts at " << start
                    << " and can hurt from " << from << " to " << to << " ms; the reaction ends at "
                    << reactionEnd;
            }
        }
    }
    EXPECT_EQ(combos, 3) << "the uppercut, the palm strike and the sweep";
}

// A made-up set: every figure follows from the pauses by hand.
TEST(FrameData, FiguresFollowFromThePauses) {
    moveSet moves;
    auto add = [&](const std::string& name, std::vector<std::array<int, 3>> frames) -> moveInfo& {
        moves.moves.emplace_back();
        moveInfo& move = moves.moves.back();
        move.name = name;
        for (const auto& [pause, damage, hitType] : frames) {
            spriteFrame frame;
            frame.pause = pause;
            frame.damage = damage;
            frame.hitType = hitType;
            move.frameSet.frames.push_back(frame);
        }
        return move;
    };
    add("jab", {{10, 0, 0}, {5, 20, 1}, {0, 0, 0}, {5, 20, 1}, {20, 0, 0}});
    add("hit1", {{50, 0, 0}, {30, 0, 0}});
    add("blockHi", {{40, 0, 0}});
    add("feint", {{10, 0, 0}, {10, 50, 0}}); // hit type 0 never hurts
    moveInfo& follow = add("follow", {{10, 0, 0}, {10, 30, 1}});
    follow.linkMove = "jab";
    follow.linkFrame = 3;
    moveInfo& cut = add("cut", {{10, 0, 0}, {10, 30, 1}});
    cut.fromMove = "jab";
    cut.fromFrame = 99; // past the end: the window is empty, at the end

    const moveTiming jab = frameData::of(moves.moves[0], moves);
    EXPECT_TRUE(jab.hurts);
    EXPECT_EQ(jab.startup, 30);
    EXPECT_EQ(jab.active, 30) << "from the first hurting frame to the end of the last";
    EXPECT_EQ(jab.recovery, 60);
    EXPECT_EQ(jab.total, 120);
    EXPECT_EQ(jab.damage, 20);
    EXPECT_EQ(jab.onHit, 240 - 90);
    EXPECT_EQ(jab.onBlock, 120 - 90);
    EXPECT_EQ(jab.windowFrom, -1);

    const moveTiming feint = frameData::of(moves.moves[3], moves);
    EXPECT_FALSE(feint.hurts);
    EXPECT_EQ(feint.recovery, 60);

    const moveTiming link = frameData::of(follow, moves);
    EXPECT_EQ(link.follows, "jab");
    EXPECT_EQ(link.windowFrom, 45);
    EXPECT_EQ(link.windowTo, 120);
    const moveTiming cancel = frameData::of(cut, moves);
    EXPECT_EQ(cancel.windowFrom, 120);
    EXPECT_EQ(cancel.windowTo, 120);

    EXPECT_EQ(frameData::signedMs(12), "+12");
    EXPECT_EQ(frameData::signedMs(-3), "-3");
    EXPECT_EQ(frameData::signedMs(0), "0");
    const std::string table = frameData::table(moves);
    EXPECT_NE(table.find("| `jab` | 30 | 30 | 60 | 120 | 20 | +150 | +30 | - |"), std::string::npos)
        << table;
    EXPECT_NE(table.find("| `follow` | 30 | 30 | 0 | 60 | 30 | +210 | +90 | 45-120 of jab |"),
              std::string::npos)
        << table;
}

} // namespace
