// A character's named animations loaded from its index.
#include "fighter/animationSet.h"
#include "testSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
std::string frameEntry(const std::string& file, int pause) {
    return file + " " + std::to_string(pause) +
           " -1 0 0\n0 0\n0 0 0 0\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nx\n";
}
void writeAnim(const TempDir& dir, const std::string& folder, int frames, int pause) {
    std::string info = "FILES: " + std::to_string(frames) + "\n";
    for (int i = 0; i < frames; ++i) {
        dir.writeBmp(folder + "/f" + std::to_string(i) + ".bmp", 8, 8, 0x102030);
        info += frameEntry("f" + std::to_string(i) + ".bmp", pause);
    }
    dir.write(folder + "/info", info);
}
} // namespace

TEST(AnimationSet, LoadsEveryNamedFolderAndLooksUpExactly) {
    HeadlessScreen screen;
    TempDir dir;
    writeAnim(dir, "char/blank", 1, 10);
    writeAnim(dir, "char/walk", 2, 20);
    writeAnim(dir, "char/duck", 3, 30);
    dir.write("char/info", "ANIMS: 3\r\nblank\r\nwalk extra words\r\nduck");
    TraceCapture trace;
    animationSet set;
    EXPECT_EQ(1, set.loadAll((dir / "char").c_str()));
    ASSERT_EQ(3, set.animCount);
    ASSERT_EQ(3u, set.animList.size());
    EXPECT_EQ("blank", set.animList[0].animName);
    EXPECT_EQ("walk", set.animList[1].animName);
    EXPECT_EQ(2, set.animList[1].frameSet.numFrames);
    EXPECT_EQ(3, set.animList[2].frameSet.numFrames);
    EXPECT_NE(std::string::npos, trace.text().find("load folder " + dir / "char/duck" + "\n"));

    EXPECT_EQ(&set.animList[1], set.returnAnimation("walk"));
    EXPECT_EQ(&set.animList[2], set.returnAnimation("duck"));
    EXPECT_EQ(&set.animList[0], set.returnAnimation("Walk"));
    EXPECT_EQ(&set.animList[0], set.returnAnimation("wal"));
    EXPECT_EQ(&set.animList[0], set.returnAnimation(""));
    // The frame set comes first: the animation is usable as its frame set.
    EXPECT_EQ(static_cast<void*>(&set.animList[1]),
              static_cast<void*>(&set.returnAnimation("walk")->frameSet));
}

TEST(AnimationSet, MissingIndexLeavesAnEmptySet) {
    TempDir dir;
    TraceCapture trace;
    animationSet set;
    EXPECT_EQ(1, set.loadAll((dir / "nobody").c_str()));
    EXPECT_EQ(0, set.animCount);
    EXPECT_EQ(nullptr, set.returnAnimation("walk"));
    EXPECT_EQ("ERROR opening file " + dir / "nobody/info" + "\n\n", trace.text());
}

TEST(AnimationSet, CountsBlankLinesAndNeverReadsPastTheFile) {
    HeadlessScreen screen;
    TempDir dir;
    writeAnim(dir, "char/walk", 1, 10);
    TraceCapture trace;
    struct Case {
        std::string index;
        int entries;
    } cases[] = {{"ANIMS: 3\n\nwalk\nmissing\n", 3},
                 {"ANIMS: 2000000000\nwalk\nwalk\n", 2},
                 {"ANIMS: -1\nwalk\n", 0},
                 {"anims: 1\nwalk\n", 0},
                 {"ANIMS: 1\nwalk\nignored\n", 1}};
    for (const Case& c : cases) {
        dir.write("char/info", c.index);
        animationSet set;
        EXPECT_EQ(1, set.loadAll((dir / "char").c_str()));
        EXPECT_EQ(c.entries, set.animCount) << c.index;
        EXPECT_EQ(size_t(c.entries), set.animList.size()) << c.index;
    }

    dir.write("char/info", "ANIMS: 3\n\nwalk\nmissing\n");
    animationSet set;
    set.loadAll((dir / "char").c_str());
    // The blank line took the first place with an empty name and no frames;
    // the missing folder stays an empty frame set.
    EXPECT_EQ("", set.animList[0].animName);
    EXPECT_EQ(0, set.animList[0].frameSet.numFrames);
    EXPECT_EQ(1, set.animList[1].frameSet.numFrames);
    EXPECT_EQ(0, set.animList[2].frameSet.numFrames);
    EXPECT_EQ(&set.animList[0], set.returnAnimation("nothing"));
    EXPECT_EQ(&set.animList[0], set.returnAnimation(""));
    EXPECT_NE(std::string::npos,
              trace.text().find("ERROR opening file " + dir / "char/missing/info" + "\n\n"));
}
