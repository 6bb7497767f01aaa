// The platform layer and text files as data from strangers meets them: only
// regular files are read (a FIFO is never waited on), a byte-order mark is
// skipped, and names from data stay inside their folder.
#include "base/platform.h"
#include "base/textFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using testing_support::TempDir;

TEST(Platform, OnlyRegularFilesAreReadAndAFifoIsNeverWaitedOn) {
    TempDir dir;
    dir.write("plain", "FILES: 1\n");
    dir.mkdir("folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::vector<unsigned char> bytes;
    EXPECT_EQ(platform::readWholeFile(dir / "plain", bytes), platform::ReadResult::Ok);
    EXPECT_EQ(bytes.size(), 9u);
    EXPECT_EQ(platform::readWholeFile(dir / "folder", bytes), platform::ReadResult::CannotStat);
    EXPECT_EQ(platform::readWholeFile(dir / "fifo", bytes), platform::ReadResult::CannotStat);
    EXPECT_EQ(platform::readWholeFile(dir / "none", bytes), platform::ReadResult::CannotOpen);

    textFile file;
    EXPECT_FALSE(file.open(dir / "folder"));
    EXPECT_FALSE(file.open(dir / "fifo"));
    EXPECT_FALSE(file.open("/dev/zero"));
    ASSERT_TRUE(file.open(dir / "plain"));
    std::string line;
    EXPECT_TRUE(file.readLine(line));
    EXPECT_EQ(line, "FILES: 1\n");
}

TEST(TextFile, AByteOrderMarkAtTheStartIsSkipped) {
    TempDir dir;
    dir.write("marked", "\xEF\xBB\xBFSOUNDS: 2\r\nhit\r\n");
    dir.write("short", "\xEF\xBB");
    dir.write("inside", "a\n\xEF\xBB\xBF b\n");
    textFile file;
    std::string line;
    ASSERT_TRUE(file.open(dir / "marked"));
    EXPECT_TRUE(file.hadByteOrderMark());
    ASSERT_TRUE(file.readLine(line));
    int count = 0;
    EXPECT_TRUE(scanHeader(line, "SOUNDS:", count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(file.lineNumber(), 1);

    // Two bytes of a mark are text; only a mark at the very start is skipped.
    ASSERT_TRUE(file.open(dir / "short"));
    EXPECT_FALSE(file.hadByteOrderMark());
    ASSERT_TRUE(file.readLine(line));
    EXPECT_EQ(line, "\xEF\xBB");
    ASSERT_TRUE(file.open(dir / "inside"));
    EXPECT_FALSE(file.hadByteOrderMark());
    file.readLine(line);
    file.readLine(line);
    EXPECT_EQ(line, "\xEF\xBB\xBF b\n");
}

TEST(Platform, NamesFromDataStayInsideTheirFolder) {
    for (const char* inside : {"punch", "f00.bmp", "sub/f.bmp", "..x", "x..", "a/...", "", "a/./b"})
        EXPECT_TRUE(platform::nameStaysInside(inside)) << inside;
    for (const char* outside : {"..", "../punch", "a/../../b", "sub/..", "/etc/passwd", "\\server",
                                "..\\x", "a\\..\\..\\b"})
        EXPECT_FALSE(platform::nameStaysInside(outside)) << outside;
}
