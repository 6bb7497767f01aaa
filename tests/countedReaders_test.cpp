// The readers of files that announce their count on the first line (frame
// indexes, move files): reading stops at the count, and the count findings
// speak only of a real difference.
#include "fighter/moveFile.h"
#include "sprite/frameIndex.h"

#include "characterFolder.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

frameEntry plainFrame(const std::string& bitmap) {
    frameEntry entry;
    entry.bitmap = bitmap;
    entry.frame.pause = 30;
    entry.frame.soundName = "NULL";
    entry.frame.tagName = "NULL";
    return entry;
}

// How many entries next() gives when asked for one more than announced.
int framesRead(frameIndex& index) {
    frameEntry entry;
    int read = 0;
    for (int i = 0; i <= index.announced(); ++i)
        if (index.next(entry)) ++read;
    return read;
}

int movesRead(moveFile& file) {
    moveEntry entry;
    int read = 0;
    for (int i = 0; i <= file.announced(); ++i)
        if (file.next(entry)) ++read;
    return read;
}

} // namespace

TEST(CountedReaders, AReadPastTheCountReturnsFalseAndFindsNothing) {
    TempDir dir;
    const std::string frames = frameIndex::text({plainFrame("a.bmp"), plainFrame("b.bmp")});
    const std::string moves = "ANIMS: 2\n" + moveRecord("punch", "A") + moveRecord("kick", "B");

    // The counts agree: the extra read is simply the end.
    dir.write("agree/info", frames);
    dir.write("agree/moveset", moves);
    frameIndex index;
    ASSERT_TRUE(index.open(dir / "agree"));
    EXPECT_EQ(2, framesRead(index));
    index.finish();
    EXPECT_EQ("", shownFindings(index.findings()));
    moveFile file;
    ASSERT_TRUE(file.open(dir / "agree"));
    EXPECT_EQ(2, movesRead(file));
    file.finish();
    EXPECT_EQ("", shownFindings(file.findings()));

    // More in the file than announced: the read past the count does not take
    // the next entry; the text after the count is reported as ignored.
    std::string moreFrames = frames;
    moreFrames.replace(0, 8, "FILES: 1");
    dir.write("more/info", moreFrames);
    std::string moreMoves = moves;
    moreMoves.replace(0, 8, "ANIMS: 1");
    dir.write("more/moveset", moreMoves);
    ASSERT_TRUE(index.open(dir / "more"));
    EXPECT_EQ(1, framesRead(index));
    index.finish();
    EXPECT_EQ("18: text after the last of the 1 frames is ignored\n",
              shownFindings(index.findings()));
    ASSERT_TRUE(file.open(dir / "more"));
    EXPECT_EQ(1, movesRead(file));
    file.finish();
    EXPECT_EQ("13: text after the 1 moves is ignored\n", shownFindings(file.findings()));

    // Fewer in the file than announced: the real difference is still found.
    std::string fewerFrames = frames;
    fewerFrames.replace(0, 8, "FILES: 3");
    dir.write("fewer/info", fewerFrames);
    std::string fewerMoves = moves;
    fewerMoves.replace(0, 8, "ANIMS: 3");
    dir.write("fewer/moveset", fewerMoves);
    ASSERT_TRUE(index.open(dir / "fewer"));
    EXPECT_EQ(2, framesRead(index));
    EXPECT_EQ("1: \"FILES: 3\" announces 3 frames but the file holds 2\n",
              shownFindings(index.findings()));
    ASSERT_TRUE(file.open(dir / "fewer"));
    EXPECT_EQ(2, movesRead(file));
    EXPECT_EQ("1: \"ANIMS: 3\" announces 3 moves but the file holds 2\n",
              shownFindings(file.findings()));
}
