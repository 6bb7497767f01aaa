#include "characterFolder.h"
#include "moveSet.h"
#include "testSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::vector<MoveRecord> threeMoves() {
    MoveRecord punch;
    punch.name = "punch";
    punch.command = "A";
    MoveRecord fireball;
    fireball.name = "fireball";
    fireball.command = "DRA";
    fireball.linkMove = "punch";
    fireball.linkFrame = 2;
    fireball.fromMove = "kick";
    fireball.fromFrame = 3;
    fireball.condition = "ground  x true";
    MoveRecord airKick;
    airKick.name = "airKick";
    airKick.command = "B";
    airKick.fromFrame = -1;
    airKick.condition = "ground in false";
    return {punch, fireball, airKick};
}

} // namespace

TEST(MoveSet, LoadsRecordsInFileOrderWithTheirFrames) {
    HeadlessScreen screen;
    TempDir dir;
    writeFrameFolder(dir, "char/punch", {FrameSpec{}, FrameSpec{}});
    writeFrameFolder(dir, "char/fireball", {FrameSpec{}, FrameSpec{}, FrameSpec{}});
    writeFrameFolder(dir, "char/airKick", {FrameSpec{}});
    // Word lines contribute their first word only.
    std::string text = moveFile(threeMoves());
    text.replace(text.find("DRA\n"), 4, "DRA  trailing words\n");
    dir.write("char/moveset", text);

    moveSet set;
    TraceCapture trace;
    EXPECT_EQ(set.loadAll((dir / "char").c_str()), 1);
    ASSERT_EQ(set.count, 3);
    ASSERT_EQ(set.moves.size(), 3u);
    EXPECT_EQ(set.folder, dir / "char");

    const moveInfo& punch = set.moves[0];
    const moveInfo& fireball = set.moves[1];
    const moveInfo& airKick = set.moves[2];
    EXPECT_EQ(punch.name, "punch");
    EXPECT_EQ(punch.command, "A");
    EXPECT_EQ(punch.linkMove, "NULL");
    EXPECT_EQ(punch.fromMove, "NULL");
    // "null" is stored exactly, without its line end.
    EXPECT_EQ(punch.condition, "null");
    EXPECT_EQ(fireball.name, "fireball");
    EXPECT_EQ(fireball.command, "DRA");
    EXPECT_EQ(fireball.linkMove, "punch");
    EXPECT_EQ(fireball.linkFrame, 2);
    EXPECT_EQ(fireball.fromMove, "kick");
    EXPECT_EQ(fireball.fromFrame, 3);
    // The condition line keeps its inner blanks.
    EXPECT_EQ(fireball.condition, "ground  x true");
    EXPECT_EQ(airKick.fromFrame, -1);
    EXPECT_EQ(airKick.condition, "ground in false");

    // Each move has the frames of its own folder.
    EXPECT_EQ(punch.frameSet.numFrames, 2);
    EXPECT_EQ(fireball.frameSet.numFrames, 3);
    EXPECT_EQ(airKick.frameSet.numFrames, 1);

    std::string t = trace.text();
    EXPECT_NE(t.find("Lets Rock!: fireball\n"), std::string::npos);
    EXPECT_NE(t.find("load folder " + (dir / "char/fireball") + "\n"), std::string::npos);
    EXPECT_NE(t.find("Loaded!\n"), std::string::npos);
    EXPECT_NE(t.find("Command: DRA\n"), std::string::npos);
    EXPECT_NE(t.find("Condition: ground  x true\n"), std::string::npos);
    EXPECT_LT(t.find("Lets Rock!: punch"), t.find("Lets Rock!: fireball"));
}

TEST(MoveSet, WindowsLineEndsReadTheSame) {
    TempDir dir;
    dir.write("char/moveset", moveFile(threeMoves(), "\r\n"));
    moveSet set;
    TraceCapture trace;
    set.loadAll((dir / "char").c_str());
    ASSERT_EQ(set.count, 3);
    EXPECT_EQ(set.moves[0].name, "punch");
    EXPECT_EQ(set.moves[0].condition, "null");
    EXPECT_EQ(set.moves[1].command, "DRA");
    EXPECT_EQ(set.moves[1].linkMove, "punch");
    EXPECT_EQ(set.moves[1].fromFrame, 3);
    EXPECT_EQ(set.moves[1].condition, "ground  x true");
    EXPECT_EQ(set.moves[2].name, "airKick");
}

TEST(MoveSet, LookupsFallBackToTheFirstMoveAndFindTheEarlierTwin) {
    TempDir dir;
    std::vector<MoveRecord> records = threeMoves();
    MoveRecord twin;
    twin.name = "fireball";
    twin.command = "C";
    records.push_back(twin);
    dir.write("char/moveset", moveFile(records));
    moveSet set;
    TraceCapture trace;
    set.loadAll((dir / "char").c_str());
    ASSERT_EQ(set.count, 4);

    trace.clear();
    EXPECT_EQ(set.find("airKick"), 2);
    EXPECT_EQ(trace.text(), "Comparing punch with airKick\nComparing fireball with airKick\n"
                            "Comparing airKick with airKick\n");
    EXPECT_EQ(set.find("blockAir"), 0);
    EXPECT_EQ(&set.returnMove("blockAir"), &set.moves[0]);
    // Names are compared exactly.
    EXPECT_EQ(&set.returnMove("Fireball"), &set.moves[0]);
    EXPECT_EQ(&set.returnMove("fire"), &set.moves[0]);
    // Two moves of one name: always the earlier.
    EXPECT_EQ(set.find("fireball"), 1);
    EXPECT_EQ(set.returnMove("fireball").command, "DRA");
    EXPECT_EQ(&set.returnAnimation("airKick"), &set.moves[2].frameSet);
}

TEST(MoveSet, ListsByCompletingButtonInFileOrder) {
    TempDir dir;
    std::vector<MoveRecord> records(6);
    records[0].name = "jab";
    records[0].command = "A";
    records[1].name = "fireball";
    records[1].command = "DRA";
    records[2].name = "kick";
    records[2].command = "B";
    records[3].name = "superJump";
    records[3].command = "DU";
    records[4].name = "uppercut";
    records[4].command = "RDRA";
    records[5].name = "nothing";
    records[5].command = "";
    std::string text = moveFile(records);
    dir.write("char/moveset", text);
    moveSet set;
    TraceCapture trace;
    set.loadAll((dir / "char").c_str());
    ASSERT_EQ(set.count, 6);
    // An empty command line leaves the command empty.
    EXPECT_EQ(set.moves[5].command, "");

    trace.clear();
    moveList a = set.returnMoveList("A");
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0], &set.moves[0]); // the plain "A" move is tried first
    EXPECT_EQ(a[1], &set.moves[1]);
    EXPECT_EQ(a[2], &set.moves[4]);
    EXPECT_EQ(trace.text().rfind("lets make a list, total is : 6\n", 0), 0u);
    EXPECT_NE(trace.text().find("head added\n"), std::string::npos);
    EXPECT_NE(trace.text().find("new tailbit added\n"), std::string::npos);

    moveList b = set.returnMoveList("B");
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0]->name, "kick");
    // Only the first character of the key counts.
    EXPECT_EQ(set.returnMoveList("Bxyz"), b);
    EXPECT_TRUE(set.returnMoveList("C").empty());
    // Neither a command ending in a direction nor an empty command is in a
    // button's list; an empty key selects nothing.
    EXPECT_EQ(set.returnMoveList("U").size(), 1u);
    EXPECT_TRUE(set.returnMoveList("").empty());
}

TEST(MoveSet, MissingOrEmptyFileGivesAnEmptyMoveThatCanBeShown) {
    TempDir dir;
    moveSet missing;
    TraceCapture trace;
    EXPECT_EQ(missing.loadAll((dir / "nowhere").c_str()), 1);
    EXPECT_EQ(trace.text(), "ERROR opening file " + (dir / "nowhere/moveset") + "\n\n");
    EXPECT_EQ(missing.count, 0);
    EXPECT_TRUE(missing.moves.empty());
    EXPECT_EQ(missing.find("hit1"), 0);

    moveInfo& hit = missing.returnMove("hit1");
    EXPECT_EQ(&missing.returnMove("blockHi"), &hit);
    EXPECT_EQ(hit.name, "");
    EXPECT_EQ(hit.command, "");
    EXPECT_EQ(hit.linkMove, "NULL");
    EXPECT_EQ(hit.fromMove, "NULL");
    EXPECT_EQ(hit.condition, "null");
    EXPECT_FALSE(hit.frameSet.hasFrame(0));
    EXPECT_EQ(&missing.returnAnimation("x"), &hit.frameSet);
    EXPECT_TRUE(missing.returnMoveList("A").empty());

    dir.write("empty/moveset", "ANIMS: 0\n");
    moveSet empty;
    empty.loadAll((dir / "empty").c_str());
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.returnMove("hit1").name, "");
}

TEST(MoveSet, CountsHoldOnlyWhatTheFileHas) {
    TempDir dir;
    TraceCapture trace;
    // A wild count allocates nothing beyond the records present.
    std::string two = moveFile(threeMoves());
    two.replace(0, two.find('\n'), "ANIMS: 2000000000");
    dir.write("huge/moveset", two);
    moveSet huge;
    huge.loadAll((dir / "huge").c_str());
    EXPECT_EQ(huge.count, 3);
    EXPECT_EQ(huge.moves.size(), 3u);

    dir.write("negative/moveset", "ANIMS: -5\npunch\nA\n");
    moveSet negative;
    negative.loadAll((dir / "negative").c_str());
    EXPECT_EQ(negative.count, 0);

    dir.write("garbled/moveset", "MOVES: 3\npunch\nA\n");
    moveSet garbled;
    garbled.loadAll((dir / "garbled").c_str());
    EXPECT_EQ(garbled.count, 0);

    // A record cut short keeps the defaults of the fields it never reached.
    dir.write("short/moveset", "ANIMS: 4\npunch\nDA\n0\nkick\n");
    moveSet cut;
    cut.loadAll((dir / "short").c_str());
    ASSERT_EQ(cut.count, 1);
    EXPECT_EQ(cut.moves[0].command, "DA");
    EXPECT_EQ(cut.moves[0].linkMove, "kick");
    EXPECT_EQ(cut.moves[0].linkFrame, 0);
    EXPECT_EQ(cut.moves[0].fromMove, "NULL");
    EXPECT_EQ(cut.moves[0].condition, "null");
}
