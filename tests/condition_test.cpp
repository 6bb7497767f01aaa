#include "fighter/condition.h"
#include "fighter/fighter.h"
#include "fighter/target.h"
#include "testSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

TEST(Condition, Vocabulary) {
    struct Case {
        const char* text;
        bool onGround, inAir;
    };
    const Case cases[] = {
        {"ground x true", true, false},
        {"ground x false", false, true},
        {"ground x maybe", false, true},
        {"ground x TRUE", false, true},
        {"ground true", false, true}, // no third word: holds in the air
        {"ground", false, true},
        {"ground x true\r\n", true, false}, // a line end is no word
        {"  ground\t x\r\ntrue ", true, false},
        {"ground x true and more", true, false}, // three words only
        {"Ground x true", false, false},
        {"air ground true", false, false},
        {"null", false, false},
        {"", false, false},
        {" \t\r\n", false, false},
    };
    Fighter fighter;
    Target opponent;
    for (const Case& c : cases) {
        fighter.onGround = true;
        EXPECT_EQ(Condition().getResult(c.text, &fighter, &opponent), c.onGround) << c.text;
        fighter.onGround = false;
        EXPECT_EQ(Condition().getResult(c.text, &fighter, &opponent), c.inAir) << c.text;
    }
}

TEST(Condition, WordsTraceAndTheGroundRuleAlone) {
    Fighter fighter;
    Target opponent;
    Condition condition;
    TraceCapture trace;
    condition.getResult("ground  at\ttrue\r\n", &fighter, &opponent);
    EXPECT_EQ(trace.text(), "BIT[0]: ground\nBIT[1]: at\nBIT[2]: true\n");
    EXPECT_EQ(condition.fighter, &fighter);
    EXPECT_EQ(condition.target, &opponent);
    // A reused evaluator forgets the words of the previous text.
    condition.getResult("jump", &fighter, &opponent);
    EXPECT_EQ(condition.words[0], "jump");
    EXPECT_EQ(condition.words[2], "");
    // The ground rule on its own does not look at the first word.
    EXPECT_TRUE(condition.ground());
    fighter.onGround = true;
    EXPECT_FALSE(condition.ground());
    // Without a fighter nothing holds.
    EXPECT_FALSE(Condition().getResult("ground x false", nullptr, nullptr));
}
