// The platform layer and text files as data from strangers meets them: only
// regular files are read (a FIFO is never waited on), a byte-order mark is
// skipped, and names from data stay inside their folder.
#include "base/platform.h"
#include "base/textFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

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

// Start-up's large blocks come from a heap grown once and backed by large
// pages where the system offers them: a block of megabytes lands in the heap
// instead of in a mapping of its own, and the kernel holds the advice for
// the part of the heap it ends in.  Under an allocator that keeps no such
// heap nothing happens.
TEST(Platform, StartUpBlocksComeFromTheReservedHeap) {
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (!platform::reserveLargePageHeap(8 << 20))
        GTEST_SKIP() << "this allocator or system keeps no large-page heap";
    EXPECT_FALSE(platform::reserveLargePageHeap(8 << 20)) << "only the first call acts";
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    EXPECT_GE(end - before, std::uintptr_t{8} << 20);

    // It may start in what was left of the heap before it grew.
    std::vector<unsigned char> block(5 << 20, 1);
    const auto probe = reinterpret_cast<std::uintptr_t>(&block.back());
    EXPECT_GT(probe, before);
    EXPECT_LT(probe, end);

    std::ifstream maps("/proc/self/smaps");
    std::string line, flags;
    bool holdsProbe = false;
    while (std::getline(maps, line)) {
        unsigned long low = 0, high = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &low, &high) == 2)
            holdsProbe = low <= probe && probe < high;
        else if (holdsProbe && line.rfind("VmFlags:", 0) == 0)
            flags = line;
    }
    EXPECT_NE(flags.find(" hg"), std::string::npos) << flags;
}
