// The writers beside the frame index, animation index and sound list
// readers: what they write reads back as the same records, with nothing
// for the checker to report, and what would not read back so they refuse.
#include "fighter/animationIndex.h"
#include "sound/soundList.h"
#include "sprite/frameIndex.h"

#include "testSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using testing_support::shownFindings;
using testing_support::TempDir;

namespace {

// Every value of an entry away from its default, so a field the writer
// drops or puts on the wrong line shows.
frameEntry busyEntry() {
    frameEntry entry;
    entry.bitmap = "punch03.bmp";
    entry.keyRed = 255;
    entry.keyGreen = 0;
    entry.keyBlue = 254;
    spriteFrame& f = entry.frame;
    f.pause = 45;
    f.offsetX = -12;
    f.offsetY = 97;
    f.colX1 = 3;
    f.colY1 = 4;
    f.colX2 = 55;
    f.colY2 = 96;
    f.dmgX1 = 40;
    f.dmgY1 = 20;
    f.dmgX2 = 80;
    f.dmgY2 = 35;
    f.damage = 12;
    f.flagA = true;
    f.hitType = 2;
    f.pointAX = 7;
    f.pointAY = -8;
    f.pointBX = 9;
    f.pointBY = 10;
    f.soundName = "punch";
    // A spawn line is kept whole, with its line end; one made without gets it.
    f.partNames = {"fireball 40 -10\n", "spark 2 3"};
    f.partNum = 2;
    f.moveX = 6;
    f.moveY = -3;
    f.flagB = true;
    f.tagName = "strike";
    return entry;
}

void expectSameFrame(const frameEntry& written, const frameEntry& read) {
    const spriteFrame& w = written.frame;
    const spriteFrame& r = read.frame;
    EXPECT_EQ(written.bitmap, read.bitmap);
    EXPECT_EQ(written.keyRed, read.keyRed);
    EXPECT_EQ(written.keyGreen, read.keyGreen);
    EXPECT_EQ(written.keyBlue, read.keyBlue);
    EXPECT_EQ(w.pause, r.pause);
    EXPECT_EQ(std::vector<int>({w.offsetX, w.offsetY, w.colX1, w.colY1, w.colX2, w.colY2, w.dmgX1,
                                w.dmgY1, w.dmgX2, w.dmgY2}),
              std::vector<int>({r.offsetX, r.offsetY, r.colX1, r.colY1, r.colX2, r.colY2, r.dmgX1,
                                r.dmgY1, r.dmgX2, r.dmgY2}));
    EXPECT_EQ(w.damage, r.damage);
    EXPECT_EQ(w.flagA, r.flagA);
    EXPECT_EQ(w.hitType, r.hitType);
    EXPECT_EQ(std::vector<int>({w.pointAX, w.pointAY, w.pointBX, w.pointBY}),
              std::vector<int>({r.pointAX, r.pointAY, r.pointBX, r.pointBY}));
    EXPECT_EQ(w.soundName, r.soundName);
    EXPECT_EQ(w.partNum, r.partNum);
    std::vector<std::string> spawns;
    for (const std::string& line : w.partNames)
        spawns.push_back(line.back() == '\n' ? line : line + "\n");
    EXPECT_EQ(spawns, r.partNames);
    EXPECT_EQ(w.moveX, r.moveX);
    EXPECT_EQ(w.moveY, r.moveY);
    EXPECT_EQ(w.flagB, r.flagB);
    EXPECT_EQ(w.tagName, r.tagName);
}

} // namespace

TEST(IndexWriters, FrameIndexReadsBackAsWritten) {
    // The second entry has no colour key, no spawn lines, no sound, and its
    // flags off; the reader carries nothing over from the first.
    frameEntry plain;
    plain.bitmap = "punch04.bmp";
    plain.frame.pause = 30;
    plain.frame.offsetX = 20;
    plain.frame.offsetY = 90;
    plain.frame.soundName = "NULL";
    plain.frame.tagName = "NULL";
    const std::vector<frameEntry> written = {busyEntry(), plain};

    TempDir dir;
    dir.write("punch/info", frameIndex::text(written));
    frameIndex index;
    ASSERT_TRUE(index.open(dir / "punch"));
    EXPECT_EQ(2, index.announced());
    std::vector<frameEntry> read;
    frameEntry entry;
    for (int i = 0; i < index.announced() && index.next(entry); ++i)
        read.push_back(entry);
    index.finish();
    ASSERT_EQ(written.size(), read.size());
    for (size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        expectSameFrame(written[i], read[i]);
    }
    EXPECT_EQ("", shownFindings(index.findings()));
}

TEST(IndexWriters, FrameIndexEntryLinesStandWhereTheReaderLooks) {
    frameEntry entry = busyEntry();
    const std::string text = frameIndex::entryText(entry);
    EXPECT_EQ("punch03.bmp 45 255 0 254\n-12 97\n3 4 55 96\n40 20 80 35\n12\n1\n2\n7 -8\n9 10\n"
              "punch\n2\nfireball 40 -10\nspark 2 3\n6 -3\n1\nstrike\n",
              text);
    EXPECT_EQ("FILES: 1\n\n" + text, frameIndex::text({entry}));
}

TEST(IndexWriters, AnimationIndexAndSoundListReadBackAsWritten) {
    const std::vector<std::string> names = {"standing", "walk", "crouchPunch", "hit1"};
    std::vector<animationName> anims;
    std::vector<listedSound> sounds;
    for (const std::string& name : names) {
        anims.push_back({name});
        sounds.push_back({name});
    }
    TempDir dir;
    dir.write("Tavro/info", animationIndex::text(anims));
    dir.write("Tavro/sound/sound", soundList::text(sounds));

    animationIndex animIndex;
    ASSERT_TRUE(animIndex.open(dir / "Tavro"));
    EXPECT_EQ(4, animIndex.announced());
    std::vector<std::string> animsRead;
    for (const animationName& anim : animIndex.readNames())
        animsRead.push_back(anim.name);
    EXPECT_EQ(names, animsRead);
    EXPECT_EQ("", shownFindings(animIndex.findings()));

    soundList list;
    ASSERT_TRUE(list.open(dir / "Tavro/sound"));
    EXPECT_EQ(4, list.announced());
    std::vector<std::string> soundsRead;
    for (const listedSound& sound : list.readNames())
        soundsRead.push_back(sound.name);
    EXPECT_EQ(names, soundsRead);
    EXPECT_EQ("", shownFindings(list.findings()));

    // Empty lists are sound files too.
    dir.write("empty/info", animationIndex::text({}));
    dir.write("empty/sound", soundList::text({}));
    ASSERT_TRUE(animIndex.open(dir / "empty"));
    EXPECT_TRUE(animIndex.readNames().empty());
    EXPECT_EQ("", shownFindings(animIndex.findings()));
    ASSERT_TRUE(list.open(dir / "empty"));
    EXPECT_TRUE(list.readNames().empty());
    EXPECT_EQ("", shownFindings(list.findings()));
}

namespace {

// What a writer says when it refuses ("" when it writes).
template <typename Write> std::string refusal(Write write) {
    try {
        write();
    } catch (const std::invalid_argument& refused) {
        return refused.what();
    }
    return "";
}

} // namespace

TEST(IndexWriters, FrameIndexRefusesEntriesThatWouldReadBackOtherwise) {
    // At the edges of what reads back: values at the ends of their ranges, a
    // bitmap line and a spawn line of 253 characters before the line end.
    frameEntry edge = busyEntry();
    edge.bitmap = std::string(240, 'b');
    edge.frame.offsetX = -100000;
    edge.frame.moveY = 100000;
    edge.frame.damage = 1000000;
    edge.frame.partNames = {std::string(253, 's') + "\n", "spark 1\r"};
    EXPECT_EQ("", frameIndex::unreadable(edge));
    TempDir dir;
    dir.write("edge/info", frameIndex::text({edge}));
    frameIndex index;
    ASSERT_TRUE(index.open(dir / "edge"));
    frameEntry read;
    ASSERT_TRUE(index.next(read));
    expectSameFrame(edge, read);
    index.finish();
    EXPECT_EQ("", shownFindings(index.findings()));

    const auto refused = [](void (*damage)(frameEntry&)) {
        frameEntry entry = busyEntry();
        damage(entry);
        const std::string one = refusal([&] { frameIndex::entryText(entry); });
        EXPECT_EQ(one, frameIndex::unreadable(entry));
        EXPECT_EQ("frame 2: " + one, refusal([&] { frameIndex::text({busyEntry(), entry}); }));
        return one;
    };
    EXPECT_EQ("bitmap \"punch 3.bmp\" is not one word",
              refused([](frameEntry& e) { e.bitmap = "punch 3.bmp"; }));
    EXPECT_EQ("bitmap \"#3.bmp\" starts with '#': the reader takes the line for a comment",
              refused([](frameEntry& e) { e.bitmap = "#3.bmp"; }));
    EXPECT_EQ("the bitmap line longer than 253 characters",
              refused([](frameEntry& e) { e.bitmap = std::string(241, 'b'); }));
    EXPECT_EQ("anchor value 100001 is outside -100000 .. 100000",
              refused([](frameEntry& e) { e.frame.offsetY = 100001; }));
    EXPECT_EQ("damage -1 is outside 0 .. 1000000",
              refused([](frameEntry& e) { e.frame.damage = -1; }));
    EXPECT_EQ("sound name \"\" is not one word",
              refused([](frameEntry& e) { e.frame.soundName = ""; }));
    EXPECT_EQ("spawn line 2 \"spark 1\nspark 2\" holds a line end",
              refused([](frameEntry& e) { e.frame.partNames[1] = "spark 1\nspark 2"; }));
    EXPECT_EQ("spawn line 1 holds a NUL byte",
              refused([](frameEntry& e) { e.frame.partNames[0] = std::string("spark\0 1", 8); }));
    EXPECT_EQ("spawn line 1 longer than 253 characters",
              refused([](frameEntry& e) { e.frame.partNames[0] = std::string(254, 's') + "\n"; }));
    EXPECT_EQ("tag \"a\tb\" is not one word",
              refused([](frameEntry& e) { e.frame.tagName = "a\tb"; }));
}

TEST(IndexWriters, AnimationIndexAndSoundListRefuseNamesThatAreNotOneWord) {
    const std::string longest(253, 'n');
    const std::pair<std::string, std::string> bad[] = {
        {"walk fast", "name \"walk fast\" is not one word"},
        {"", "name \"\" is not one word"},
        {"walk\n", "name \"walk\n\" is not one word"},
        {std::string("wa\0lk", 5), "name holds a NUL byte"},
        {longest + "n", "name longer than 253 characters"}};
    for (const auto& [name, problem] : bad) {
        EXPECT_EQ(problem, animationIndex::unreadable({name}));
        EXPECT_EQ(problem, soundList::unreadable({name}));
        EXPECT_EQ("animation 2: " + problem, refusal([&] {
                      animationIndex::text({{"stand"}, {name}});
                  }));
        EXPECT_EQ("sound 2: " + problem, refusal([&] { soundList::text({{"hit"}, {name}}); }));
    }
    EXPECT_EQ("ANIMS: 1\n" + longest + "\n", animationIndex::text({{longest}}));
    EXPECT_EQ("SOUNDS: 1\n" + longest + "\n", soundList::text({{longest}}));
}
