// The examples in docs/data-formats.md load with the game's own loaders.
// Each fenced example is tagged with its format (```moveset and so on); the
// test writes it into a scratch data folder with whatever else it needs
// (bitmaps, frame folders, WAVs), loads it the way start-up does, and checks
// that the loader read every line of it as the document says.
#include "ai/aiAttackList.h"
#include "base/platform.h"
#include "dataFolder.h"
#include "fighter/animationSet.h"
#include "fighter/moveSet.h"
#include "particle/partInfoList.h"
#include "particle/particleInfo.h"
#include "sound/soundSet.h"
#include "sprite/CSpriteBase.h"
#include "sprite/paletteFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct Example {
    std::string tag;
    int line = 0; // where the block starts in the document
    std::vector<std::string> lines;
    std::string text() const {
        std::string all;
        for (const std::string& l : lines)
            all += l + "\n";
        return all;
    }
};

const std::set<std::string> knownTags = {
    "frame-index", "frame-entry", "animation-index", "moveset",       "moveset-records",
    "sound-list",  "attack-file", "particle-list",   "particle-file", "palette"};

std::vector<Example> documentExamples() {
    std::ifstream in(sourceDir() + "/docs/data-formats.md");
    std::vector<Example> found;
    std::string line;
    int number = 0;
    Example* open = nullptr;
    while (std::getline(in, line)) {
        ++number;
        if (line.rfind("```", 0) == 0) {
            if (open) {
                open = nullptr;
            } else {
                found.push_back(Example{line.substr(3), number, {}});
                open = &found.back();
            }
        } else if (open) {
            open->lines.push_back(line);
        }
    }
    return found;
}

std::vector<Example> examplesOf(const std::string& tag) {
    std::vector<Example> chosen;
    for (const Example& e : documentExamples())
        if (e.tag == tag) chosen.push_back(e);
    return chosen;
}

std::string where(const Example& e) {
    return "docs/data-formats.md:" + std::to_string(e.line) + " (" + e.tag + ")";
}

std::string firstWordOf(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    return word;
}

// Lines a frame index skips between its entries.
bool skippedBetweenEntries(const std::string& line) {
    return line.empty() || line[0] == '#' || line[0] == '\r';
}

// Every bitmap an index names (the first word of each entry's first line).
void writeIndexBitmaps(const TempDir& dir, const std::string& folder,
                       const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::string word = firstWordOf(line);
        if (word.size() > 4 && word.compare(word.size() - 4, 4, ".bmp") == 0)
            dir.writeBmp(folder + "/" + word, 16, 16, 0xFF00FF);
    }
}

// The lines an index's entries take: everything after the header but the
// lines skipped between entries.
int entryLines(const std::vector<std::string>& afterHeader) {
    int count = 0;
    for (const std::string& line : afterHeader)
        if (!skippedBetweenEntries(line)) ++count;
    return count;
}

// A frame entry takes fourteen lines plus one per spawn line.
int linesRead(const CSpriteBase& set) {
    int count = 0;
    for (const spriteFrame& frame : set.frames)
        count += 14 + frame.partNum;
    return count;
}

int leadingNumber(const std::string& header) {
    size_t colon = header.find(':');
    return colon == std::string::npos ? -1 : std::atoi(header.c_str() + colon + 1);
}

// Scratch folder as the working directory (the particle list is found by its
// path from there), and back at the end.
class InScratchFolder {
  public:
    explicit InScratchFolder(const TempDir& dir) : previous_(platform::currentDirectory()) {
        platform::changeDirectory(dir.path());
    }
    ~InScratchFolder() { platform::changeDirectory(previous_); }

  private:
    std::string previous_;
};

} // namespace

TEST(DataFormatsDoc, EveryExampleIsTaggedWithAFormatAndEveryFormatHasOne) {
    std::vector<Example> examples = documentExamples();
    ASSERT_FALSE(examples.empty()) << "no examples found in docs/data-formats.md";
    std::set<std::string> seen;
    for (const Example& e : examples) {
        EXPECT_TRUE(knownTags.count(e.tag)) << where(e) << ": untagged or unknown example format";
        EXPECT_FALSE(e.lines.empty()) << where(e) << ": empty example";
        seen.insert(e.tag);
    }
    for (const char* tag :
         {"frame-index", "frame-entry", "animation-index", "moveset", "sound-list", "attack-file",
          "particle-list", "particle-file", "palette"})
        EXPECT_TRUE(seen.count(tag)) << "no example of the format " << tag;
}

TEST(DataFormatsDoc, FrameIndexesLoadEveryEntry) {
    HeadlessScreen screen;
    CatchFatalStops stops;
    TraceCapture trace;
    for (const Example& e : examplesOf("frame-index")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        dir.write("set/info", e.text());
        writeIndexBitmaps(dir, "set", e.lines);
        // The bar's loader and the loader of animations, moves and particles.
        for (bool resource : {false, true}) {
            CSpriteBase set;
            const std::string folder = dir / "set";
            int result = 0;
            try {
                result = resource ? set.initR(folder.c_str()) : set.init(folder.c_str());
            } catch (const FatalStop& stop) {
                FAIL() << "the loader stopped the game: " << stop.message;
            }
            ASSERT_EQ(result, 0);
            EXPECT_EQ(set.numFrames, leadingNumber(e.lines.at(0)));
            std::vector<std::string> body(e.lines.begin() + 1, e.lines.end());
            EXPECT_EQ(linesRead(set), entryLines(body)) << "entries do not match their lines";
        }
    }
}

TEST(DataFormatsDoc, FrameEntriesReadAsOneWholeFrame) {
    HeadlessScreen screen;
    CatchFatalStops stops;
    TraceCapture trace;
    for (const Example& e : examplesOf("frame-entry")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        dir.write("move/info", "FILES: 1\n" + e.text());
        writeIndexBitmaps(dir, "move", e.lines);
        CSpriteBase set;
        const std::string folder = dir / "move";
        try {
            ASSERT_EQ(set.initR(folder.c_str()), 0);
        } catch (const FatalStop& stop) {
            FAIL() << "the loader stopped the game: " << stop.message;
        }
        ASSERT_EQ(set.numFrames, 1);
        EXPECT_EQ(linesRead(set), entryLines(e.lines)) << "the entry does not match its lines";
        const spriteFrame& frame = set.frames[0];
        EXPECT_GT(frame.pause, 0);
        EXPECT_FALSE(frame.soundName.empty());
        EXPECT_FALSE(frame.tagName.empty());
        EXPECT_TRUE(frame.hitType == 0 || frame.hitType == 1);
    }
}

TEST(DataFormatsDoc, AnimationIndexLoadsEveryAnimationTheGameAsksFor) {
    HeadlessScreen screen;
    CatchFatalStops stops;
    TraceCapture trace;
    for (const Example& e : examplesOf("animation-index")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        dir.write("Tavro/info", e.text());
        for (size_t i = 1; i < e.lines.size(); ++i)
            writeOneFrameFolder(dir / ("Tavro/" + firstWordOf(e.lines[i])));
        animationSet anims;
        anims.loadAll((dir / "Tavro").c_str());
        ASSERT_EQ(anims.animCount, leadingNumber(e.lines.at(0)));
        EXPECT_EQ(anims.animCount, static_cast<int>(e.lines.size()) - 1);
        for (const animation& a : anims.animList)
            EXPECT_EQ(a.frameSet.numFrames, 1) << a.animName;
        for (const char* name : {"blank", "walk", "running", "duck", "inAir", "standing"})
            EXPECT_EQ(anims.returnAnimation(name)->animName, name);
    }
}

TEST(DataFormatsDoc, MoveRecordsReadElevenLinesEach) {
    HeadlessScreen screen;
    CatchFatalStops stops;
    TraceCapture trace;
    std::vector<Example> examples = examplesOf("moveset");
    for (const Example& e : examplesOf("moveset-records"))
        examples.push_back(e);
    for (const Example& e : examples) {
        SCOPED_TRACE(where(e));
        // A file's start carries its header; an excerpt from further down
        // gets one that counts its records.
        std::vector<std::string> records = e.lines;
        if (e.tag == "moveset") records.erase(records.begin());
        ASSERT_EQ(records.size() % 11, 0u) << "a record is not eleven lines";
        const int count = static_cast<int>(records.size() / 11);
        std::string file = e.text();
        if (e.tag == "moveset-records")
            file = "ANIMS: " + std::to_string(count) + "\n" + file;
        else
            EXPECT_GE(leadingNumber(e.lines.at(0)), count);

        TempDir dir;
        dir.write("Tavro/moveset", file);
        for (int i = 0; i < count; ++i)
            writeOneFrameFolder(dir / ("Tavro/" + firstWordOf(records[11 * i])));
        moveSet moves;
        moves.loadAll((dir / "Tavro").c_str());
        ASSERT_EQ(moves.count, count);
        for (const moveInfo& move : moves.moves) {
            SCOPED_TRACE(move.name);
            EXPECT_EQ(move.frameSet.numFrames, 1);
            EXPECT_FALSE(move.command.empty());
            EXPECT_FALSE(move.linkMove.empty());
            EXPECT_FALSE(move.fromMove.empty());
            EXPECT_TRUE(move.condition == "null" || move.condition.rfind("ground ", 0) == 0)
                << "condition \"" << move.condition << "\"";
        }
    }
}

TEST(DataFormatsDoc, SoundListsLoadEveryNamedWav) {
    HeadlessScreen screen;
    TraceCapture trace;
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    const bool audio = Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) == 0;
    for (const Example& e : examplesOf("sound-list")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        dir.write("soundSet/sound", e.text());
        for (size_t i = 1; i < e.lines.size(); ++i)
            dir.write("soundSet/" + firstWordOf(e.lines[i]) + ".wav", wavBytes());
        soundSet sounds;
        sounds.getList((dir / "soundSet").c_str());
        ASSERT_EQ(sounds.numSounds, leadingNumber(e.lines.at(0)));
        EXPECT_EQ(sounds.numSounds, static_cast<int>(e.lines.size()) - 1);
        for (soundEntry* entry = sounds.head; entry; entry = entry->next) {
            EXPECT_FALSE(entry->name.empty());
            if (audio) {
                EXPECT_NE(entry->chunk, nullptr) << entry->name;
            }
        }
    }
    if (audio) Mix_CloseAudio();
}

TEST(DataFormatsDoc, AttackFilesReadSixSectionsOfFourLineEntries) {
    TraceCapture trace;
    for (const Example& e : examplesOf("attack-file")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        dir.write("ai/attack", e.text());
        aiAttackList table;
        table.getList((dir / "ai").c_str());

        // Every line is a section header or one of four lines of an entry.
        size_t entries = 0;
        for (const std::vector<aiAttack>* list :
             {&table.groundList, &table.list2, &table.aerialList, &table.list4})
            for (const aiAttack& entry : *list)
                if (!entry.moveName.empty()) ++entries;
        for (const std::vector<linkGroup>* groups : {&table.cancelGroups, &table.linkGroups})
            for (const linkGroup& group : *groups)
                entries += group.moveNames.size();
        EXPECT_EQ(e.lines.size(), 6 + 4 * entries) << "sections and entries do not match the lines";

        // Lookups pick by position: ranges must stand grouped S, M, L, U, D.
        const std::string order = "SMLUD";
        for (const std::vector<aiAttack>* list : {&table.groundList, &table.aerialList}) {
            size_t last = 0;
            for (const aiAttack& entry : *list) {
                size_t rank = order.find(static_cast<char>(std::toupper(entry.range)));
                ASSERT_NE(rank, std::string::npos) << entry.moveName << ": range " << entry.range;
                EXPECT_GE(rank, last) << entry.moveName << " stands out of S, M, L, U, D order";
                last = rank;
            }
        }
    }
}

TEST(DataFormatsDoc, ParticleListLoadsEveryDefinition) {
    HeadlessScreen screen;
    CatchFatalStops stops;
    TraceCapture trace;
    for (const Example& e : examplesOf("particle-list")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        dir.write("data/particle/default", e.text());
        for (size_t i = 1; i < e.lines.size(); ++i) {
            const std::string folder = "data/particle/" + firstWordOf(e.lines[i]);
            writeOneFrameFolder(dir / folder);
            dir.write(folder + "/particle", "255\n500\n0\n0\n0\n0\n1\nNULL\n1\nx\n0\n0\n");
        }
        InScratchFolder inside(dir);
        partInfoList defs;
        ASSERT_EQ(defs.addList("default", screen.surface()), 1);
        int loaded = 0;
        for (partInfoList::node* at = defs.head; at; at = at->next)
            ++loaded;
        EXPECT_EQ(loaded, leadingNumber(e.lines.at(0)));
        EXPECT_EQ(loaded, static_cast<int>(e.lines.size()) - 1);
        for (size_t i = 1; i < e.lines.size(); ++i) {
            particleInfo* info = defs.findParticle(firstWordOf(e.lines[i]));
            ASSERT_NE(info, nullptr) << e.lines[i];
            EXPECT_EQ(info->frameSet->numFrames, 1);
            EXPECT_EQ(info->lifetime, 500) << "the particle file was not read";
        }
    }
}

TEST(DataFormatsDoc, ParticleFilesReadFiveValuesAndFiveEventLists) {
    TraceCapture trace;
    for (const Example& e : examplesOf("particle-file")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        dir.write("fireball/particle", e.text());
        particleInfo info;
        ASSERT_TRUE(info.ParticleInfo((dir / "fireball").c_str()));

        // Five value lines, then each list's count line and its names.
        auto holdsNumber = [](const std::string& line) {
            return !line.empty() && line.find_first_not_of("-0123456789") == std::string::npos;
        };
        size_t at = 5;
        for (size_t i = 0; i < at && i < e.lines.size(); ++i)
            EXPECT_TRUE(holdsNumber(e.lines[i])) << "value line " << i + 1 << " holds no number";
        for (int event = 0; event < eventKinds; ++event) {
            ASSERT_LT(at, e.lines.size()) << "event list " << event << " is missing";
            EXPECT_TRUE(holdsNumber(e.lines[at])) << "line " << at + 1 << " is not a count";
            at += 1 + info.eventParts[event].size();
        }
        EXPECT_EQ(e.lines.size(), at) << "values and lists do not match the lines";
        EXPECT_GT(info.lifetime, 0);
    }
}

TEST(DataFormatsDoc, PalettesSwapEveryAnnouncedColour) {
    for (const Example& e : examplesOf("palette")) {
        SCOPED_TRACE(where(e));
        TempDir dir;
        std::string text;
        for (const std::string& line : e.lines)
            text += line + "\n";
        dir.write("palette2", text);
        paletteFile file;
        ASSERT_TRUE(file.open(dir / "palette2"));
        const std::vector<colourSwap> swaps = file.readSwaps();
        file.finish();
        EXPECT_TRUE(file.findings().empty());
        EXPECT_EQ(static_cast<size_t>(text::leadingInt(e.lines[0].substr(7))), swaps.size());
    }
}
