// The computer opponent's attack table: loading, range look-ups by position,
// and the link and cancel groups.
#include "ai/aiAttackList.h"
#include "ai/attackFile.h"
#include "base/seams.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <set>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// One entry of the attack file: name, range word, link key, cancel key.
std::string entry(const std::string& name, const std::string& range,
                  const std::string& link = "none", const std::string& cancel = "none") {
    return name + "\n" + range + "\n" + link + "\n" + cancel + "\n";
}

std::string section(const std::vector<std::string>& entries) {
    std::string text = "Attacks: " + std::to_string(entries.size()) + "\n";
    for (const std::string& e : entries)
        text += e;
    return text;
}

// A section header with no entries after it.
std::string emptySection(int count = 0) {
    return "Attacks: " + std::to_string(count) + "\n";
}

// Every answer a look-up gives over many draws (the script counts 0..99).
std::set<std::string> answers(aiAttackList& list, char range, const std::string& kind) {
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i)
        seen.insert(list.getAttack(range, kind));
    return seen;
}

std::vector<int> counting() {
    std::vector<int> values;
    for (int i = 0; i < 100; ++i)
        values.push_back(i);
    return values;
}

using names = std::set<std::string>;

} // namespace

TEST(AiAttackList, RangeLookupsPickByPositionInTheirBands) {
    TempDir dir;
    dir.write("ai/attack", section({entry("s1", "S"), entry("s2", "short"), entry("m1", "M"),
                                    entry("m2", "mid"), entry("m3", "M"), entry("l1", "L")}) +
                               emptySection() + section({entry("a1", "s"), entry("a2", "l")}) +
                               emptySection() + emptySection() + emptySection());
    TraceCapture trace;
    aiAttackList list;
    list.getList((dir / "ai").c_str());
    ASSERT_EQ(6u, list.groundList.size());
    EXPECT_EQ(2, list.groundNums.numShort);
    EXPECT_EQ(3, list.groundNums.numMid);
    EXPECT_EQ(1, list.groundNums.numLong);

    ScriptedRandom random(counting());
    // Short picks among short and mid entries, mid among mid and long, long
    // only among the long ones.
    EXPECT_EQ((names{"s1", "s2", "m1", "m2", "m3"}), answers(list, 'S', "ground"));
    EXPECT_EQ((names{"m1", "m2", "m3", "l1"}), answers(list, 'M', "ground"));
    EXPECT_EQ((names{"l1"}), answers(list, 'L', "ground"));
    // Lower case letters are the same requests.
    EXPECT_EQ((names{"s1", "s2", "m1", "m2", "m3"}), answers(list, 's', "ground"));
    EXPECT_EQ((names{"m1", "m2", "m3", "l1"}), answers(list, 'm', "ground"));
    EXPECT_EQ((names{"l1"}), answers(list, 'l', "ground"));
    // No up or down entries, and letters that name no band.
    EXPECT_EQ((names{"null"}), answers(list, 'U', "ground"));
    EXPECT_EQ((names{"null"}), answers(list, 'D', "ground"));
    EXPECT_EQ((names{"null"}), answers(list, 'X', "ground"));

    // The aerial section: short a1 and long a2, no mid entries, so a mid
    // request answers nothing even though a long entry exists.
    EXPECT_EQ((names{"a1"}), answers(list, 'S', "aerial"));
    EXPECT_EQ((names{"null"}), answers(list, 'M', "aerial"));
    EXPECT_EQ((names{"a2"}), answers(list, 'L', "aerial"));

    // A ducking fighter (or any other kind) gets nothing.
    for (char letter : {'S', 'M', 'L', 'U', 'D', 's'})
        EXPECT_EQ("null", list.getAttack(letter, "duck"));
    EXPECT_EQ("null", list.getAttack('S', "Ground"));
}

TEST(AiAttackList, UpAndDownEntriesHaveTheirOwnCountsAfterTheLongOnes) {
    TempDir dir;
    dir.write("ai/attack", section({entry("s1", "S"), entry("l1", "L"), entry("u1", "U"),
                                    entry("u2", "up"), entry("d1", "d"), entry("x1", "X")}) +
                               emptySection() + emptySection() + emptySection() + emptySection() +
                               emptySection());
    TraceCapture trace;
    aiAttackList list;
    list.getList((dir / "ai").c_str());
    EXPECT_EQ(1, list.groundNums.numShort);
    EXPECT_EQ(0, list.groundNums.numMid);
    EXPECT_EQ(1, list.groundNums.numLong);
    EXPECT_EQ(2, list.groundNums.numUp);
    EXPECT_EQ(1, list.groundNums.numDown);
    // The entry with an unknown letter is kept but counted nowhere.
    ASSERT_EQ(6u, list.groundList.size());
    EXPECT_EQ('X', list.groundList[5].range);

    ScriptedRandom random(counting());
    EXPECT_EQ((names{"l1"}), answers(list, 'L', "ground"));
    EXPECT_EQ((names{"u1", "u2"}), answers(list, 'U', "ground"));
    EXPECT_EQ((names{"u1", "u2"}), answers(list, 'u', "ground"));
    EXPECT_EQ((names{"d1"}), answers(list, 'D', "ground"));
    EXPECT_EQ((names{"null"}), answers(list, 'M', "ground"));

    // Counters that claim more entries than the list holds never read past it.
    aiAttackList broken;
    broken.groundList.resize(1);
    broken.groundList[0].moveName = "only";
    broken.groundNums.numShort = 5;
    ScriptedRandom high({4});
    EXPECT_EQ("null", broken.getAttack('S', "ground"));
    ScriptedRandom low({0});
    EXPECT_EQ("only", broken.getAttack('S', "ground"));
}

TEST(AiAttackList, LinksAndCancelsGroupAdjacentRunsAndTheFirstGroupWins) {
    TempDir dir;
    dir.write("ai/attack",
              section({entry("punch", "S")}) + emptySection() + emptySection() + emptySection() +
                  section({entry("c1", "S", "x", "kick"), entry("c2", "S", "x", "kick"),
                           entry("c3", "S", "x", "punch")}) +
                  section({entry("l1", "S", "A"), entry("l2", "S", "A"), entry("l3", "S", "B"),
                           entry("l4", "S", "A")}));
    TraceCapture trace;
    aiAttackList list;
    list.getList((dir / "ai").c_str());

    ASSERT_EQ(3, list.numLinks);
    ASSERT_EQ(3u, list.linkGroups.size());
    EXPECT_EQ("A", list.linkGroups[0].key);
    EXPECT_EQ(2, list.linkGroups[0].numMoves);
    EXPECT_EQ((std::vector<std::string>{"l1", "l2"}), list.linkGroups[0].moveNames);
    EXPECT_EQ("B", list.linkGroups[1].key);
    EXPECT_EQ("A", list.linkGroups[2].key);
    EXPECT_EQ((std::vector<std::string>{"l4"}), list.linkGroups[2].moveNames);
    EXPECT_TRUE(list.linkList.empty()); // released once grouped
    ASSERT_EQ(2, list.numCancels);
    EXPECT_EQ("kick", list.cancelGroups[0].key);
    EXPECT_EQ("punch", list.cancelGroups[1].key);
    EXPECT_TRUE(list.cancelList.empty());

    ScriptedRandom random(counting());
    std::set<std::string> linked;
    for (int i = 0; i < 20; ++i)
        linked.insert(list.findLinkedAttacks("A"));
    EXPECT_EQ((names{"l1", "l2"}), linked); // never l4 of the later run
    EXPECT_EQ("l3", list.findLinkedAttacks("B"));
    EXPECT_EQ("NULL", list.findLinkedAttacks("a")); // names are case-sensitive
    EXPECT_EQ("NULL", list.findLinkedAttacks("C"));
    EXPECT_EQ("c3", list.findCancelAttacks("punch"));
    EXPECT_EQ("NULL", list.findCancelAttacks("A"));
    EXPECT_NE(std::string::npos, trace.text().find("Finding ai a linked attack to use!\n"));
    EXPECT_NE(std::string::npos, trace.text().find("Finding ai a cancel attack to use!\n"));
}

TEST(AiAttackList, EmptyNegativeAndMissingSections) {
    TempDir dir;
    dir.write("ai/attack", section({entry("punch", "S", "x", "y")}) + emptySection(-3) +
                               emptySection() + emptySection() + emptySection() + emptySection(-2));
    TraceCapture trace;
    aiAttackList list;
    list.getList((dir / "ai").c_str());
    // Empty sections hold one blank entry and count nothing.
    ASSERT_EQ(1u, list.list2.size());
    EXPECT_EQ("", list.list2[0].moveName);
    EXPECT_EQ(0, list.list2[0].range);
    EXPECT_EQ(0, list.nums2.numShort);
    EXPECT_EQ(1u, list.aerialList.size());
    // The counts of the follow-up sections are kept as read.
    EXPECT_EQ(0, list.numCancels);
    EXPECT_EQ(-2, list.numLinks);
    ASSERT_EQ(1u, list.cancelList.size());
    EXPECT_TRUE(list.linkGroups.empty());

    ScriptedRandom random({0});
    EXPECT_EQ("NULL", list.findCancelAttacks("punch"));
    EXPECT_EQ("NULL", list.findLinkedAttacks("x"));
    EXPECT_EQ("NULL", list.findCancelAttacks(""));
    EXPECT_EQ("null", list.getAttack('S', "aerial"));
    EXPECT_EQ("punch", list.getAttack('S', "ground"));
    EXPECT_EQ(std::string::npos, trace.text().find("Finding ai a"));

    // No attack file at all: the error line, and every look-up answers none.
    TraceCapture missingTrace;
    aiAttackList missing;
    std::string folder = dir / "nowhere";
    missing.getList(folder.c_str());
    EXPECT_EQ("ERROR opening file " + folder + "/attack\n\n", missingTrace.text());
    for (char letter : {'S', 'M', 'L', 'U', 'D'}) {
        EXPECT_EQ("null", missing.getAttack(letter, "ground"));
        EXPECT_EQ("null", missing.getAttack(letter, "aerial"));
    }
    EXPECT_EQ("NULL", missing.findLinkedAttacks("punch"));
    EXPECT_EQ("NULL", missing.findCancelAttacks("punch"));
}

TEST(AiAttackList, FileEndingEarlyStopsTheSectionAndLaterHeadersReadZero) {
    TempDir dir;
    // Windows line ends, a header claiming far more entries than exist, and
    // an entry cut off after its range line.
    dir.write("ai/attack", "Attacks: 1000000000\r\npunch\r\nS\r\nx\r\ny\r\nkick\r\nM\r\n");
    TraceCapture trace;
    aiAttackList list;
    list.getList((dir / "ai").c_str());
    ASSERT_EQ(2u, list.groundList.size());
    EXPECT_EQ("punch", list.groundList[0].moveName);
    EXPECT_EQ("x", list.groundList[0].linkFrom);
    EXPECT_EQ("y", list.groundList[0].cancelFrom);
    EXPECT_EQ("kick", list.groundList[1].moveName);
    EXPECT_EQ("", list.groundList[1].linkFrom);
    EXPECT_EQ(1, list.groundNums.numShort);
    EXPECT_EQ(1, list.groundNums.numMid);
    EXPECT_EQ(0, list.numLinks);
    EXPECT_EQ(0, list.numCancels);
    EXPECT_EQ(1u, list.aerialList.size());

    ScriptedRandom random({1});
    EXPECT_EQ("kick", list.getAttack('S', "ground"));
    EXPECT_EQ("null", list.getAttack('S', "aerial"));

    // A file that ends exactly after a section: the rest reads as empty.
    dir.write("ai2/attack", section({entry("jab", "S", "A", "B")}));
    aiAttackList whole;
    whole.getList((dir / "ai2").c_str());
    EXPECT_EQ(1u, whole.groundList.size());
    EXPECT_EQ(0, whole.numLinks);
    EXPECT_EQ("jab", whole.getAttack('s', "ground"));

    // A header that does not read as a count leaves its section empty.
    dir.write("ai3/attack", "Attack 2\n" + emptySection() + section({entry("air", "S")}));
    aiAttackList badHeader;
    badHeader.getList((dir / "ai3").c_str());
    EXPECT_EQ(0, badHeader.groundNums.numShort);
    EXPECT_EQ("null", badHeader.getAttack('S', "ground"));
    EXPECT_EQ("air", badHeader.getAttack('S', "aerial"));
}

TEST(AttackFile, WhatIsWrittenIsReadBack) {
    attackSections sections;
    sections[0] = {{"punch", "S", "NULL", "NULL"}, {"heavy", "long", "NULL", "NULL"}};
    sections[2] = {{"airKick", "m", "NULL", "NULL"}};
    sections[4] = {{"sweep", "S", "NULL", "kick"}};
    sections[5] = {{"uppercut", "S", "punch", "NULL"}, {"heavy", "S", "punch", "NULL"}};
    for (const auto& section : sections)
        for (const attackEntry& entry : section)
            EXPECT_EQ(attackFile::unreadable(entry), "") << entry.moveName;

    TempDir dir;
    dir.write("ai/attack", attackFile::text(sections));
    attackFile file;
    ASSERT_TRUE(file.open(dir / "ai"));
    int line = 1;
    for (const auto& section : sections) {
        std::vector<attackEntry> read = file.readEntries(file.readCount());
        ASSERT_EQ(read.size(), section.size());
        for (size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].moveName, section[i].moveName);
            EXPECT_EQ(read[i].range, section[i].range);
            EXPECT_EQ(read[i].linkFrom, section[i].linkFrom);
            EXPECT_EQ(read[i].cancelFrom, section[i].cancelFrom);
            EXPECT_TRUE(read[i].complete);
            EXPECT_EQ(read[i].line, line + 1 + 4 * static_cast<int>(i));
        }
        line += 1 + 4 * static_cast<int>(section.size());
    }
    file.finish();
    EXPECT_TRUE(file.findings().empty());

    // The table reads the same file the same way.
    TraceCapture trace;
    aiAttackList list;
    list.getList((dir / "ai").c_str());
    EXPECT_EQ(list.groundNums.numShort, 1);
    EXPECT_EQ(list.groundNums.numLong, 1);
    EXPECT_EQ(list.aerialNums.numMid, 1);
    ASSERT_EQ(list.linkGroups.size(), 1u);
    EXPECT_EQ(list.linkGroups[0].moveNames, (std::vector<std::string>{"uppercut", "heavy"}));
    ASSERT_EQ(list.cancelGroups.size(), 1u);
    EXPECT_EQ(list.cancelGroups[0].key, "kick");

    attackEntry bad{"punch", "S", "NULL", ""};
    EXPECT_EQ(attackFile::unreadable(bad), "the cancel key \"\" is not one word");
    bad = {"punch", "S M", "NULL", "NULL"};
    EXPECT_EQ(attackFile::unreadable(bad), "the range \"S M\" is not one word");
    bad = {std::string(80, 'p'), "S", "NULL", "NULL"};
    EXPECT_EQ(attackFile::unreadable(bad), "the move name is longer than 79 characters");
    bad = {"punch", "S", std::string("NU\0LL", 5), "NULL"};
    EXPECT_EQ(attackFile::unreadable(bad), "the link key holds a NUL byte");

    // The writer refuses such an entry rather than write it.
    sections[4].push_back(bad);
    try {
        attackFile::text(sections);
        ADD_FAILURE() << "written";
    } catch (const std::invalid_argument& refused) {
        EXPECT_EQ(std::string(refused.what()),
                  "section 5 (cancel), entry 2: " + attackFile::unreadable(bad));
    }
}
