#include "characterFolder.h"
#include "fighter/moveFile.h"
#include "fighter/moveSet.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace testing_support;

namespace {

const std::string threeMoves =
    "ANIMS: 3\n" + moveRecord("punch", "A") +
    "fireball\nDRA  trailing words\n0\npunch\n2\n0\nkick\n3\n0\n0\nground  x true\n" +
    moveRecord("airKick", "B", "ground in false");

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

} // namespace

TEST(MoveSet, LoadsRecordsInFileOrderWithTheirFrames) {
    HeadlessScreen screen;
    TempDir dir;
    writeFrameFolder(dir, "char/punch", {FrameDescription{}, FrameDescription{}});
    writeFrameFolder(dir, "char/fireball",
                     {FrameDescription{}, FrameDescription{}, FrameDescription{}});
    dir.write("char/moveset", threeMoves);
    dir.write("crlf/moveset", withCrLf(threeMoves));
    TraceCapture trace;
    moveSet set, crlf;
    EXPECT_EQ(set.loadAll((dir / "char").c_str()), 1);
    crlf.loadAll((dir / "crlf").c_str());

    for (moveSet* s : {&set, &crlf}) {
        ASSERT_EQ(s->count, 3);
        ASSERT_EQ(s->moves.size(), 3u);
        const moveInfo& punch = s->moves[0];
        const moveInfo& fireball = s->moves[1];
        EXPECT_EQ(punch.name, "punch");
        EXPECT_EQ(punch.linkMove, "NULL");
        EXPECT_EQ(punch.condition, "null"); // exactly, without its line end
        EXPECT_EQ(fireball.command, "DRA"); // first word only
        EXPECT_EQ(fireball.linkMove, "punch");
        EXPECT_EQ(fireball.linkFrame, 2);
        EXPECT_EQ(fireball.fromMove, "kick");
        EXPECT_EQ(fireball.fromFrame, 3);
        EXPECT_EQ(fireball.condition, "ground  x true"); // inner blanks kept
        EXPECT_EQ(s->moves[2].name, "airKick");
        EXPECT_EQ(s->moves[2].condition, "ground in false");
    }
    // Each move has the frames of its own folder; a missing folder leaves
    // the move without frames.
    EXPECT_EQ(set.moves[0].frameSet.numFrames, 2);
    EXPECT_EQ(set.moves[1].frameSet.numFrames, 3);
    EXPECT_FALSE(set.moves[2].frameSet.hasFrame(0));

    std::string t = trace.text();
    for (std::string line : {"Lets Rock!: fireball\n", "Loaded!\n", "Command: DRA\n",
                             "Condition: ground  x true\n", "Condition: null\n"})
        EXPECT_NE(t.find(line), std::string::npos) << line;
    EXPECT_NE(t.find("load folder " + (dir / "char/fireball") + "\n"), std::string::npos);
}

TEST(MoveSet, LookupsAndListsKeepFileOrder) {
    TempDir dir;
    dir.write("char/moveset", "ANIMS: 7\n" + moveRecord("jab", "A") +
                                  moveRecord("fireball", "DRA") + moveRecord("kick", "B") +
                                  moveRecord("superJump", "DU") + moveRecord("uppercut", "RDRA") +
                                  moveRecord("nothing", "") + moveRecord("fireball", "C"));
    TraceCapture trace;
    moveSet set;
    set.loadAll((dir / "char").c_str());
    ASSERT_EQ(set.count, 7);
    EXPECT_EQ(set.moves[5].command, "");

    trace.clear();
    EXPECT_EQ(set.find("fireball"), 1); // the earlier of two
    EXPECT_EQ(trace.text(), "Comparing jab with fireball\nComparing fireball with fireball\n");
    EXPECT_EQ(set.find("blockAir"), 0);
    EXPECT_EQ(&set.returnMove("blockAir"), &set.moves[0]);
    EXPECT_EQ(&set.returnMove("Kick"), &set.moves[0]); // exact names only
    EXPECT_EQ(&set.returnAnimation("kick"), &set.moves[2].frameSet);

    trace.clear();
    moveList a = set.returnMoveList("A");
    EXPECT_EQ(a, (moveList{&set.moves[0], &set.moves[1], &set.moves[4]}));
    EXPECT_EQ(trace.text().rfind("lets make a list, total is : 7\n", 0), 0u);
    EXPECT_NE(trace.text().find("head added\n"), std::string::npos);
    EXPECT_NE(trace.text().find("new tailbit added\n"), std::string::npos);
    EXPECT_EQ(set.returnMoveList("Bxyz"), moveList{&set.moves[2]}); // first key letter only
    EXPECT_EQ(set.returnMoveList("C"), moveList{&set.moves[6]});
    // A direction list holds the move ending in U; an empty command is in no
    // list; an empty key selects nothing.
    EXPECT_EQ(set.returnMoveList("U"), moveList{&set.moves[3]});
    EXPECT_TRUE(set.returnMoveList("").empty());
}

TEST(MoveSet, MissingShortAndWildFiles) {
    TempDir dir;
    TraceCapture trace;
    moveSet missing;
    EXPECT_EQ(missing.loadAll((dir / "nowhere").c_str()), 1);
    EXPECT_EQ(trace.text(), "ERROR opening file " + (dir / "nowhere/moveset") + "\n\n");
    EXPECT_EQ(missing.count, 0);
    EXPECT_EQ(missing.find("hit1"), 0);
    // With no moves every look-up still gives one valid, empty move.
    moveInfo& hit = missing.returnMove("hit1");
    EXPECT_EQ(&missing.returnMove("blockHi"), &hit);
    EXPECT_EQ(hit.name, "");
    EXPECT_EQ(hit.linkMove, "NULL");
    EXPECT_EQ(hit.fromMove, "NULL");
    EXPECT_EQ(hit.condition, "null");
    EXPECT_FALSE(hit.frameSet.hasFrame(0));
    EXPECT_TRUE(missing.returnMoveList("A").empty());

    // Counts only promise: what the file really holds is what is kept.
    std::string huge = threeMoves;
    huge.replace(0, huge.find('\n'), "ANIMS: 2000000000");
    dir.write("huge/moveset", huge);
    dir.write("negative/moveset", "ANIMS: -5\npunch\nA\n");
    dir.write("garbled/moveset", "MOVES: 3\npunch\nA\n");
    dir.write("short/moveset", "ANIMS: 4\npunch\nDA\n0\nkick\n");
    moveSet wild, negative, garbled, cut;
    wild.loadAll((dir / "huge").c_str());
    negative.loadAll((dir / "negative").c_str());
    garbled.loadAll((dir / "garbled").c_str());
    cut.loadAll((dir / "short").c_str());
    EXPECT_EQ(wild.count, 3);
    EXPECT_EQ(wild.moves.size(), 3u);
    EXPECT_EQ(negative.count, 0);
    EXPECT_EQ(garbled.count, 0);
    EXPECT_EQ(garbled.returnMove("punch").name, "");
    // A record cut short leaves the texts it never reached empty, and a
    // blank word line leaves its text empty too: such a move is neither a
    // plain move ("NULL") nor free of a condition ("null").
    ASSERT_EQ(cut.count, 1);
    EXPECT_EQ(cut.moves[0].command, "DA");
    EXPECT_EQ(cut.moves[0].linkMove, "kick");
    EXPECT_EQ(cut.moves[0].fromMove, "");
    EXPECT_EQ(cut.moves[0].condition, "");
    dir.write("blank/moveset", "ANIMS: 1\npunch\nA\n0\n\n0\n0\n  \n0\n0\n0\nnull\n");
    moveSet blank;
    blank.loadAll((dir / "blank").c_str());
    ASSERT_EQ(blank.count, 1);
    EXPECT_EQ(blank.moves[0].linkMove, "");
    EXPECT_EQ(blank.moves[0].fromMove, "");
    EXPECT_EQ(blank.moves[0].condition, "null");
}

TEST(MoveFile, WhatIsWrittenIsReadBack) {
    moveEntry link;
    link.name = "uppercut";
    link.command = "DA";
    link.linkMove = "punch";
    link.linkFrame = 2;
    moveEntry from;
    from.name = "sweep";
    from.command = "DB";
    from.fromMove = "kick";
    from.fromFrame = -3;
    from.condition = "ground  is true"; // blanks inside are kept
    moveEntry plain;
    plain.name = "hit1";
    plain.command = "X";
    const std::vector<moveEntry> written = {link, from, plain};
    for (const moveEntry& move : written)
        EXPECT_EQ(moveFile::unreadable(move), "") << move.name;

    TempDir dir;
    dir.write("char/moveset", moveFile::text(written));
    moveFile file;
    ASSERT_TRUE(file.open(dir / "char"));
    ASSERT_EQ(file.announced(), 3);
    for (size_t i = 0; i < written.size(); ++i) {
        moveEntry read;
        ASSERT_TRUE(file.next(read));
        const moveEntry& w = written[i];
        EXPECT_EQ(read.name, w.name);
        EXPECT_EQ(read.command, w.command);
        EXPECT_EQ(read.linkMove, w.linkMove);
        EXPECT_EQ(read.linkFrame, w.linkFrame);
        EXPECT_EQ(read.fromMove, w.fromMove);
        EXPECT_EQ(read.fromFrame, w.fromFrame);
        EXPECT_EQ(read.condition, w.condition);
        EXPECT_TRUE(read.complete);
        EXPECT_EQ(read.line, 2 + 11 * static_cast<int>(i));
        EXPECT_EQ(read.conditionLine, read.line + 10);
    }
    file.finish();
    EXPECT_TRUE(file.findings().empty());

    // What a word line or the condition line could not carry is refused.
    moveEntry bad = plain;
    bad.name = "two words";
    EXPECT_EQ(moveFile::unreadable(bad), "name \"two words\" is not one word");
    bad = plain;
    bad.command = "";
    EXPECT_EQ(moveFile::unreadable(bad), "command \"\" is not one word");
    bad = plain;
    bad.fromMove = std::string(260, 'k');
    EXPECT_EQ(moveFile::unreadable(bad), "from move longer than 253 characters");
    bad = plain;
    bad.condition = "ground is\ntrue";
    EXPECT_EQ(moveFile::unreadable(bad), "condition \"ground is\ntrue\" holds a line end");
    bad = plain;
    bad.condition = "ground is true\r"; // the reader takes "\r\n" for the line end
    EXPECT_EQ(moveFile::unreadable(bad), "condition \"ground is true\r\" holds a line end");
    bad = plain;
    bad.condition = std::string("ground\0 is true", 15);
    EXPECT_EQ(moveFile::unreadable(bad), "condition holds a NUL byte");
    bad = plain;
    bad.linkMove = std::string("pun\0ch", 6);
    EXPECT_EQ(moveFile::unreadable(bad), "link move holds a NUL byte");

    // The writers refuse such a record rather than write it.
    try {
        moveFile::text({link, bad});
        ADD_FAILURE() << "written";
    } catch (const std::invalid_argument& refused) {
        EXPECT_EQ(std::string(refused.what()), "move 2: " + moveFile::unreadable(bad));
    }
    EXPECT_THROW(moveFile::recordText(bad), std::invalid_argument);
}

TEST(MoveSet, AMoveLeavingTheFolderIsTracedAtItsEditorLine) {
    // The first record's name line is too long for one read: its rest is
    // read as the command, so the record ends one editor line early and the
    // second record's name stands on line 12.
    TempDir dir;
    dir.write("char/moveset", "ANIMS: 2\n" + std::string(300, 'x') +
                                  "\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nnull\n" +
                                  moveRecord("../walk", "A"));
    TraceCapture trace;
    moveSet set;
    set.loadAll((dir / "char").c_str());
    ASSERT_EQ(set.count, 2);
    EXPECT_EQ(set.moves[1].name, "../walk");
    EXPECT_EQ(set.moves[1].command, "A");
    EXPECT_NE(trace.text().find((dir / "char/moveset") +
                                ":12: move \"../walk\" leaves the character folder"),
              std::string::npos)
        << trace.text();
}
