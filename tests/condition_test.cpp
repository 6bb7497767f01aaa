#include "condition.h"
#include "fighter.h"
#include "target.h"
#include "testSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The condition's verdict on the ground and in the air.
struct Verdicts {
    bool ground;
    bool air;
};

Verdicts judge(const std::string& text) {
    Fighter fighter;
    Target opponent;
    Verdicts v{};
    fighter.onGround = true;
    v.ground = Condition().getResult(text, &fighter, &opponent);
    fighter.onGround = false;
    v.air = Condition().getResult(text, &fighter, &opponent);
    return v;
}

} // namespace

TEST(Condition, GroundVocabulary) {
    Verdicts standing = judge("ground anything true");
    EXPECT_TRUE(standing.ground);
    EXPECT_FALSE(standing.air);

    Verdicts airborne = judge("ground anything false");
    EXPECT_FALSE(airborne.ground);
    EXPECT_TRUE(airborne.air);

    // The second word is never read; any other third word means "in the air".
    Verdicts other = judge("ground is maybe");
    EXPECT_FALSE(other.ground);
    EXPECT_TRUE(other.air);

    // Only two words: the third is missing, so "true" in second place does
    // not count and the condition holds in the air.
    Verdicts twoWords = judge("ground true");
    EXPECT_FALSE(twoWords.ground);
    EXPECT_TRUE(twoWords.air);

    Verdicts alone = judge("ground");
    EXPECT_FALSE(alone.ground);
    EXPECT_TRUE(alone.air);

    // Words are compared exactly.
    Verdicts capital = judge("Ground x true");
    EXPECT_FALSE(capital.ground);
    EXPECT_FALSE(capital.air);
    Verdicts trueCapital = judge("ground x TRUE");
    EXPECT_FALSE(trueCapital.ground);
    EXPECT_TRUE(trueCapital.air);
}

TEST(Condition, OtherFirstWordsAndEmptyTextsNeverHold) {
    for (const char* text : {"air ground true", "", "   \t", "\r\n", "null", "x ground true"}) {
        Verdicts v = judge(text);
        EXPECT_FALSE(v.ground) << '"' << text << '"';
        EXPECT_FALSE(v.air) << '"' << text << '"';
    }
}

TEST(Condition, WordSplittingOnBlanksTabsAndLineEnds) {
    // A trailing line end (as a move file might leave it) is no word.
    for (const char* text :
         {"ground x true\r\n", "ground x true\n", "  ground \t x\ttrue  ", "ground\tx\r\ntrue"}) {
        Verdicts v = judge(text);
        EXPECT_TRUE(v.ground) << '"' << text << '"';
        EXPECT_FALSE(v.air) << '"' << text << '"';
    }
    // Words past the third are not part of the rule.
    Verdicts extra = judge("ground x true and more");
    EXPECT_TRUE(extra.ground);
    EXPECT_FALSE(extra.air);

    Fighter fighter;
    Target opponent;
    Condition condition;
    TraceCapture trace;
    condition.getResult("ground  at\ttrue\r\n", &fighter, &opponent);
    EXPECT_EQ(trace.text(), "BIT[0]: ground\nBIT[1]: at\nBIT[2]: true\n");
    EXPECT_EQ(condition.words[0], "ground");
    EXPECT_EQ(condition.words[2], "true");
    EXPECT_EQ(condition.fighter, &fighter);
    EXPECT_EQ(condition.target, &opponent);

    // A reused evaluator forgets the words of the previous text.
    condition.getResult("ground", &fighter, &opponent);
    EXPECT_EQ(condition.words[1], "");
    EXPECT_EQ(condition.words[2], "");
}

TEST(Condition, GroundRuleAloneIgnoresTheFirstWord) {
    Fighter fighter;
    Condition condition;
    condition.getResult("jump x true", &fighter, nullptr);
    fighter.onGround = true;
    EXPECT_TRUE(condition.ground());
    fighter.onGround = false;
    EXPECT_FALSE(condition.ground());

    // Without a fighter nothing holds.
    Condition lonely;
    EXPECT_FALSE(lonely.getResult("ground x false", nullptr, nullptr));
    EXPECT_FALSE(lonely.ground());
}
