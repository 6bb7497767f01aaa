// The platform layer and text files as data from strangers meets them: only
// regular files are read (a FIFO is never waited on) and a byte-order mark is
// skipped.  Blocks of large pages start on one and get large pages where the
// system keeps them.
#include "base/platform.h"
#include "base/textFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
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
    EXPECT_TRUE(text::scanHeader(line, "SOUNDS:", count));
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

namespace {

// The kernel's transparent large pages: "" where it has none, else the
// setting chosen ("always", "madvise" or "never").
std::string largePageSetting() {
    std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(file, text);
    const auto open = text.find('['), close = text.find(']');
    if (open == std::string::npos || close == std::string::npos) return "";
    return text.substr(open + 1, close - open - 1);
}

// The kilobytes of large pages backing the mapping that holds `address`.
long largePageKb(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    bool holds = false;
    while (std::getline(maps, line)) {
        unsigned long low = 0, high = 0;
        long kb = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &low, &high) == 2)
            holds = low <= at && at < high;
        else if (holds && std::sscanf(line.c_str(), "AnonHugePages: %ld kB", &kb) == 1)
            return kb;
    }
    return 0;
}

} // namespace

// The frames' pixels live in such blocks (the pixel store): a block starts on
// a large page, is a whole number of them long, and once written is held in
// large pages wherever the kernel offers them to a program that asks.
TEST(Platform, LargePageBlocksStartOnALargePageAndGetLargePages) {
    std::size_t mapped = 1;
    EXPECT_EQ(nullptr, platform::mapLargePages(0, mapped));
    EXPECT_EQ(0u, mapped);
    EXPECT_EQ(nullptr, platform::mapLargePages(SIZE_MAX, mapped));

    void* block = platform::mapLargePages(3 * platform::largePage + 1, mapped);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(4 * platform::largePage, mapped);
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(block) % platform::largePage);
    std::memset(block, 0x5A, mapped);
    const long kb = largePageKb(block);
    platform::unmapLargePages(block, mapped);

    const std::string setting = largePageSetting();
    if (setting != "always" && setting != "madvise")
        GTEST_SKIP() << "the kernel offers no large pages here (transparent_hugepage: "
                     << (setting.empty() ? "absent" : setting) << ")";
    EXPECT_GT(kb, 0) << "no AnonHugePages in the block's mapping";
}
