// Command recognition from the key buffer: the 600 ms window, the newest
// button choosing the list, double taps, queued links, cancels and conditions.
#include "control/inputChecker.h"
#include "fighter/fighter.h"
#include "testSupport.h"

#include <gtest/gtest.h>

using testing_support::TraceCapture;

namespace {

moveInfo makeMove(const std::string& name, const std::string& command,
                  const std::string& link = "NULL", int linkFrame = 0,
                  const std::string& from = "NULL", int fromFrame = 0,
                  const std::string& condition = "null") {
    moveInfo m;
    m.name = name, m.command = command, m.linkMove = link, m.linkFrame = linkFrame;
    m.fromMove = from, m.fromFrame = fromFrame, m.condition = condition;
    return m;
}

// A recogniser over hand-made lists, in the order a move file would give.
struct Recogniser {
    TraceCapture trace;
    Fighter fighter;
    moveInfo fireball = makeMove("fireball", "DRA"), downA = makeMove("downA", "DA"),
             punch = makeMove("punch", "A"), uppercut = makeMove("uppercut", "B", "punch", 1),
             kick = makeMove("kick", "B"),
             cancel = makeMove("punchCancel", "C", "NULL", 0, "punch", 1),
             airKick = makeMove("airKick", "C", "NULL", 0, "NULL", 0, "ground any false"),
             groundKick = makeMove("groundKick", "C", "NULL", 0, "NULL", 0, "ground any true"),
             hit1 = makeMove("hit1", "UU");
    inputChecker checker{nullptr, &fighter};

    Recogniser() {
        checker.listA = {&fireball, &downA, &punch};
        checker.listB = {&uppercut, &kick};
        checker.listC = {&cancel, &airKick, &groundKick};
        fighter.onGround = true;
    }
    void press(char key, int time) { checker.acceptInput(inputKeys{time, key, "standing"}); }
    std::string letters() const {
        std::string s;
        for (const inputKeys& k : checker.keys)
            s += k.key;
        return s;
    }
};

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

TEST(InputChecker, CommandsAreMatchedWithinSixHundredMilliseconds) {
    Recogniser r;
    r.press('D', 1000), r.press('R', 1100), r.press('A', 1200);
    EXPECT_EQ(r.checker.update(1250), &r.fireball);
    EXPECT_TRUE(r.checker.keys.empty());
    EXPECT_EQ(r.checker.keyCount, 0);
    EXPECT_NE(r.trace.text().find("Have Move - fireball!"), std::string::npos);

    // D and R are 800 and 700 ms old when A is examined: only A is left.
    r.trace.clear();
    r.press('D', 2000), r.press('R', 2100), r.press('A', 2800);
    EXPECT_EQ(r.checker.update(2800), &r.punch);
    EXPECT_EQ(occurrences(r.trace.text(), "Lets try deleting!"), 2);
    EXPECT_NE(r.trace.text().find("|| Against A\n"), std::string::npos);

    // Exactly 600 ms old still counts; 601 ms does not.
    r.press('D', 3000), r.press('A', 3600);
    EXPECT_EQ(r.checker.update(3600), &r.downA);
    r.press('D', 4000), r.press('A', 4601);
    EXPECT_EQ(r.checker.update(4601), &r.punch);
}

TEST(InputChecker, TheWindowHoldsAcrossTheClockWrapping) {
    // Ticks near 2^31 and 2^32 stored in the signed time stamps.
    for (Uint32 start : {0x7FFFFF00u, 0xFFFFFF00u}) {
        Recogniser r;
        auto at = [start](int ms) { return static_cast<int>(start + static_cast<Uint32>(ms)); };
        r.press('D', at(0)), r.press('R', at(200)), r.press('A', at(400));
        EXPECT_EQ(r.checker.update(at(450)), &r.fireball) << start;
        // Down, forward, then A 700 ms later: only A is left to match.
        r.press('D', at(1000)), r.press('R', at(1100)), r.press('A', at(1800));
        EXPECT_EQ(r.checker.update(at(1800)), &r.punch) << start;
    }
}

TEST(InputChecker, NewestButtonChoosesTheListAndTheCommandMayStandAnywhere) {
    Recogniser r;
    r.press('A', 1000), r.press('B', 1000);
    EXPECT_EQ(r.checker.update(1000), &r.kick);
    EXPECT_NE(r.trace.text().find("|| Against AB\n"), std::string::npos);

    // A direction pressed after the button does not hide the command.
    r.press('D', 2000), r.press('R', 2010), r.press('A', 2020), r.press('D', 2030);
    EXPECT_EQ(r.checker.update(2030), &r.fireball);
}

TEST(InputChecker, EveryExaminedButtonEmptiesTheBuffer) {
    Recogniser r;
    r.press('D', 1000), r.press('R', 1010);
    EXPECT_EQ(r.checker.update(1020), nullptr); // no button yet: buffer kept
    EXPECT_EQ(r.letters(), "DR");

    r.checker.listC.clear();
    r.press('C', 1030);
    EXPECT_EQ(r.checker.update(1030), nullptr);
    EXPECT_TRUE(r.checker.keys.empty());
    EXPECT_NE(r.trace.text().find("DELETING HAHAHAHA\nGot nothing"), std::string::npos);

    // The directions before the failed button are gone for the next one.
    r.press('A', 1040);
    EXPECT_EQ(r.checker.update(1040), &r.punch);
}

TEST(InputChecker, DoubleTapsMarkTheFirstPressOfEachPair) {
    Recogniser r;
    r.press('R', 1000), r.press('R', 1050);
    EXPECT_EQ(r.checker.checkRun(), 'R');
    EXPECT_EQ(r.letters(), "-R");
    EXPECT_EQ(r.checker.checkRun(), 'N'); // a pair is found only once
    r.press('R', 1100);
    EXPECT_EQ(r.checker.checkRun(), 'R');
    EXPECT_EQ(r.letters(), "--R");

    r.checker.deleteList();
    r.press('R', 2000), r.press('L', 2010), r.press('R', 2020);
    EXPECT_EQ(r.checker.checkRun(), 'N');

    r.checker.deleteList();
    r.press('L', 3000), r.press('L', 3010), r.press('R', 3020), r.press('R', 3030);
    EXPECT_EQ(r.checker.checkRun(), 'R'); // the last pair decides
    EXPECT_EQ(r.letters(), "-L-R");
}

TEST(InputChecker, TheNewestPressNeverAgesOut) {
    Recogniser r;
    r.press('D', 1000);
    EXPECT_EQ(r.checker.update(100000), nullptr);
    EXPECT_EQ(r.letters(), "D");
    r.press('R', 100010);
    r.checker.update(100010);
    EXPECT_EQ(r.letters(), "R");
}

TEST(InputChecker, LinksWaitForTheRunningMoveToEnd) {
    Recogniser r;
    r.fighter.curMove = &r.punch;
    r.fighter.frame = 0; // too early for the link: nothing else fits while busy
    r.press('B', 1000);
    EXPECT_EQ(r.checker.update(1000), nullptr);
    EXPECT_EQ(r.checker.pending, nullptr);

    r.fighter.frame = 1;
    r.press('B', 1100);
    EXPECT_EQ(r.checker.update(1100), nullptr);
    EXPECT_EQ(r.checker.pending, &r.uppercut);
    EXPECT_TRUE(r.checker.keys.empty());
    r.press('B', 1150); // recognised again: replaces, does not add
    r.checker.update(1150);
    EXPECT_EQ(r.checker.update(1200), nullptr); // punch still running

    r.fighter.curMove = nullptr;
    r.press('D', 1250);
    EXPECT_EQ(r.checker.update(1300), &r.uppercut);
    EXPECT_EQ(r.letters(), "D"); // the buffer waits for the next pass
    EXPECT_EQ(r.checker.pending, nullptr);
    EXPECT_EQ(r.checker.update(1310), nullptr);

    // A hit in the meantime drops the queued link.
    r.fighter.curMove = &r.punch;
    r.press('B', 2000);
    r.checker.update(2000);
    ASSERT_EQ(r.checker.pending, &r.uppercut);
    r.fighter.curMove = &r.uppercut; // the link itself running keeps it
    r.checker.update(2010);
    EXPECT_EQ(r.checker.pending, &r.uppercut);
    r.fighter.curMove = &r.hit1;
    EXPECT_EQ(r.checker.update(2020), nullptr);
    EXPECT_EQ(r.checker.pending, nullptr);
}

TEST(InputChecker, CancelsAndConditions) {
    Recogniser r;
    r.fighter.curMove = &r.punch;
    r.fighter.frame = 1;
    r.press('C', 1000);
    EXPECT_EQ(r.checker.update(1000), &r.cancel);

    r.fighter.curMove = nullptr;
    r.press('C', 2000);
    EXPECT_EQ(r.checker.update(2000), &r.groundKick);
    EXPECT_NE(r.trace.text().find("Condition much!"), std::string::npos);
    r.fighter.onGround = false;
    r.press('C', 3000);
    EXPECT_EQ(r.checker.update(3000), &r.airKick);
}

} // namespace
