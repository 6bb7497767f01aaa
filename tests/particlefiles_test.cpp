// The readers of the particle list and the particle file, shared by the
// game's loaders, the data checker and the data generator.
#include "particle/partInfoList.h"
#include "particle/particleFile.h"
#include "particle/particleListFile.h"

#include "base/platform.h"
#include "dataFolder.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

using namespace testing_support;

namespace {

std::vector<std::string> messages(const std::vector<finding>& found) {
    std::vector<std::string> out;
    for (const finding& f : found)
        out.push_back(std::to_string(f.line) + ": " + f.message);
    return out;
}

} // namespace

// What the generator writes is what the game reads back, value for value.
TEST(ParticleFiles, WhatIsWrittenReadsBackTheSame) {
    TempDir dir;
    particleRecord written;
    written.alpha = 255;
    written.lifetime = -7;
    written.gravity = 1;
    written.flagB = 3;
    written.events[OnDeath] = {"spark 14 8", "NULL", "spark -1 -2"};
    written.events[OnHitEnemy] = {"spark"};
    dir.write("p/particle", particleFile::write(written));

    particleFile file;
    ASSERT_TRUE(file.open(dir / "p"));
    particleRecord read;
    read.events[OnHitAlly] = {"left over"}; // every list is read, so none is kept
    file.read(read);
    file.finish();
    EXPECT_TRUE(file.findings().empty());
    EXPECT_EQ(read.alpha, 255);
    EXPECT_EQ(read.lifetime, -7);
    EXPECT_EQ(read.gravity, 1);
    EXPECT_EQ(read.flagA, 0);
    EXPECT_EQ(read.flagB, 3);
    for (int event = 0; event < eventKinds; ++event)
        EXPECT_EQ(read.events[event], written.events[event]) << particleFile::eventName(event);
    EXPECT_EQ(file.valueLine(1), 2);
    EXPECT_EQ(file.countLine(OnHitPlayer), 10);
    EXPECT_EQ(file.entryLines(OnDeath), (std::vector<int>{7, 8, 9}));

    dir.write("data/particle/list",
              particleListFile::write({{"spark", 1}, {"fireball", -2}, {"deep/one", 0}}));
    particleListFile list;
    ASSERT_TRUE(list.open(dir / "data/particle/", "list"));
    EXPECT_EQ(list.announced(), 3);
    const std::vector<listedParticle>& entries = list.readEntries();
    list.finish();
    EXPECT_TRUE(list.findings().empty());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "fireball");
    EXPECT_EQ(entries[1].number, -2);
    EXPECT_EQ(entries[1].folder, dir / "data/particle/fireball");
    EXPECT_EQ(entries[2].folder, dir / "data/particle/deep/one");
    EXPECT_EQ(entries[2].line, 4);
}

// What would not read back as written, the writers refuse.
TEST(ParticleFiles, WritersRefuseWhatWouldReadBackOtherwise) {
    const auto refusal = [](auto write) -> std::string {
        try {
            write();
        } catch (const std::invalid_argument& refused) {
            return refused.what();
        }
        return "";
    };
    // At the edge: an empty entry (a blank line reads back empty), an entry
    // of 253 characters, a tab between words.
    particleRecord edge;
    edge.events[OnDeath] = {"", std::string(253, 's'), "spark\t1 2"};
    EXPECT_EQ(particleFile::unreadable(edge), "");
    TempDir dir;
    dir.write("p/particle", particleFile::write(edge));
    particleFile file;
    ASSERT_TRUE(file.open(dir / "p"));
    particleRecord read;
    file.read(read);
    EXPECT_TRUE(file.findings().empty());
    EXPECT_EQ(read.events[OnDeath], edge.events[OnDeath]);

    const std::pair<std::string, std::string> bad[] = {
        {"spark 1 2\nspark", "OnHitAlly entry 2 \"spark 1 2\nspark\" holds a line end"},
        {"spark 1 2\r", "OnHitAlly entry 2 \"spark 1 2\r\" holds a line end"},
        {std::string("spark\0 1", 8), "OnHitAlly entry 2 holds a NUL byte"},
        {std::string(254, 's'), "OnHitAlly entry 2 longer than 253 characters"}};
    for (const auto& [entry, problem] : bad) {
        particleRecord record;
        record.events[OnHitAlly] = {"NULL", entry};
        EXPECT_EQ(particleFile::unreadable(record), problem);
        EXPECT_EQ(refusal([&] { particleFile::write(record); }), problem);
    }

    const std::string longName(241, 'n'); // with " -2000000000": 253 characters
    EXPECT_EQ(particleListFile::unreadable({longName, -2000000000}), "");
    EXPECT_EQ(refusal([&] {
                  particleListFile::write({{"spark", 1}, {"two words", 2}});
              }),
              "definition 2: name \"two words\" is not one word");
    EXPECT_EQ(particleListFile::unreadable({"", 1}), "name \"\" is not one word");
    EXPECT_EQ(particleListFile::unreadable({longName + "n", -2000000000}),
              "the line of \"" + longName + "n\" longer than 253 characters");
}

// A file that ends early keeps the values it does not reach; the checker
// hears where it ends, and of every line that holds no number.
TEST(ParticleFiles, CutShortFilesKeepWhatTheyDoNotReach) {
    TempDir dir;
    dir.write("p/particle", "9\nlong\r\n1\n0\n0\n2\nspark\r\n");
    particleFile file;
    ASSERT_TRUE(file.open(dir / "p"));
    particleRecord record;
    record.lifetime = 40;
    record.events[OnHitEnemy] = {"kept"};
    file.read(record);
    EXPECT_EQ(record.alpha, 9);
    EXPECT_EQ(record.lifetime, 40);
    EXPECT_EQ(record.gravity, 1);
    EXPECT_EQ(record.events[OnDeath], (std::vector<std::string>{"spark"}));
    EXPECT_EQ(record.events[OnHitEnemy], (std::vector<std::string>{"kept"}));
    EXPECT_EQ(file.countLine(OnHitPlayer), 0);
    EXPECT_EQ(messages(file.findings()),
              (std::vector<std::string>{
                  "2: expected the lifetime in milliseconds (a number), found \"long\"",
                  "7: file cut short: the \"OnDeath\" list announces 2 entries"}));
}

// The list's line is glued to the list's folder before it is cut into words,
// so a line that starts with a blank, or a blank line, names the particle
// folder itself: the reader says which folder the game loads, and the game
// loads that one.
TEST(ParticleFiles, ListLinesNameTheFolderTheGameLoads) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture capture;
    const std::string previous = platform::currentDirectory();
    ASSERT_TRUE(platform::changeDirectory(dir.path()));
    dir.write("data/particle/default", "PARTS: 4\nspark 1 x y\n spark 2\n\nfire 12px\n");
    writeOneFrameFolder(dir / "data/particle/spark");
    writeFrameFolder(dir, "data/particle", {FrameDescription{}, FrameDescription{}});

    particleListFile list;
    ASSERT_TRUE(list.open("data/particle/", "default"));
    std::vector<listedParticle> entries = list.readEntries();
    list.finish();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].folder, "data/particle/spark");
    EXPECT_EQ(entries[1].name, "spark");
    EXPECT_EQ(entries[1].folder, "data/particle/");
    EXPECT_EQ(entries[1].number, 0); // the game reads the name as the number
    EXPECT_EQ(entries[2].name, "");
    EXPECT_EQ(entries[2].folder, "data/particle/");
    EXPECT_EQ(entries[3].number, 12);
    EXPECT_EQ(messages(list.findings()),
              (std::vector<std::string>{
                  "2: words after the third are ignored",
                  "3: the line starts with a blank: the game loads definition \"spark\" from "
                  "data/particle/ itself, not from data/particle/spark",
                  "4: expected a particle definition name, found an empty line",
                  "5: list number \"12px\" is not a number; the game reads 12"}));

    partInfoList defs;
    ASSERT_EQ(defs.addList("default", screen.surface()), 1);
    particleInfo* spark = defs.findParticle("spark"); // the last loaded
    ASSERT_NE(spark, nullptr);
    ASSERT_TRUE(spark->frameSet);
    EXPECT_EQ(spark->frameSet->numFrames, 2); // the particle folder's two frames, not spark's one
    EXPECT_EQ(spark->listNumber, 0);
    EXPECT_NE(capture.text().find("BIT[0]: data/particle/\nBIT[1]: spark\n"), std::string::npos);
    platform::changeDirectory(previous);
}

// A name that leaves the particle folder is traced at the line an editor
// shows, even after a line too long for one read.
TEST(ParticleFiles, TracesTheEditorLineOfANameThatLeaves) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture capture;
    const std::string previous = platform::currentDirectory();
    ASSERT_TRUE(platform::changeDirectory(dir.path()));
    dir.write("data/particle/default", "PARTS: 3\nspark 1" + std::string(300, ' ') + "\n../x 1\n");
    partInfoList defs;
    ASSERT_EQ(defs.addList("default", screen.surface()), 1);
    EXPECT_NE(capture.text().find("data/particle/default:3: particle \"../x\" leaves the particle "
                                  "folder; treated as missing\n"),
              std::string::npos)
        << capture.text();
    platform::changeDirectory(previous);
}
