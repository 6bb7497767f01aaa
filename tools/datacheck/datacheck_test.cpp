// The data checker on a small, clean data set and on copies of it that each
// carry one fault: every fault must come out with its exact message and line.
#include "bitmapChecker.h"
#include "dataChecker.h"
#include "diagnostics.h"
#include "testSupport.h"
#include "wavChecker.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using testing_support::TempDir;

namespace {

// One frame entry; the entry's lines, from its bitmap line on, are:
// +0 bitmap, +1 anchor, +2 box, +3 damage box, +4 damage, +5 flag, +6 hit
// type, +7/+8 points, +9 sound, +10 spawn count, spawn lines, movement,
// flag, tag.
std::string frame(const std::string& bitmap, const std::string& sound = "NULL",
                  const std::string& spawns = "", int damage = 0, int hitType = 0,
                  const std::string& anchor = "20 40") {
    int count = 0;
    for (char c : spawns) count += c == '\n';
    return bitmap + " 100 255 0 255\n" + anchor + "\n0 0 40 40\n0 0 10 10\n" +
           std::to_string(damage) + "\n0\n" + std::to_string(hitType) + "\n0 0\n0 0\n" + sound +
           "\n" + std::to_string(count) + "\n" + spawns + "0 0\n0\ntag\n";
}

std::string move(const std::string& name, const std::string& command,
                 const std::string& link = "NULL", const std::string& from = "NULL",
                 const std::string& condition = "null", int fromFrame = 0) {
    return name + "\n" + command + "\n0\n" + link + "\n0\n0\n" + from + "\n" +
           std::to_string(fromFrame) + "\n0\n0\n" + condition + "\n";
}

std::string attack(const std::string& name, const std::string& range,
                   const std::string& link = "x", const std::string& cancel = "x") {
    return name + "\n" + range + "\n" + link + "\n" + cancel + "\n";
}

// A 16-bit PCM WAV of a few silent samples.
std::string wav() {
    auto le = [](unsigned value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
        return out;
    };
    std::string data(16, '\0');
    std::string fmt = le(1, 2) + le(1, 2) + le(22050, 4) + le(44100, 4) + le(2, 2) + le(16, 2);
    std::string body = "WAVEfmt " + le(16, 4) + fmt + "data" + le(unsigned(data.size()), 4) + data;
    return "RIFF" + le(unsigned(body.size()), 4) + body;
}

const char* const animations[] = {"blank", "walk", "running", "duck", "inAir", "standing"};
const char* const engineMoves[] = {"hit1",    "blockHi", "blockLo",   "blockAir",
                                   "backJump", "airBack", "airForward"};

// A clean data set as text files (bitmaps and sounds are added on writing).
struct fixture {
    std::map<std::string, std::string> files;

    fixture() {
        files["hpBar/info"] = "FILES: 1\n" + frame("bar.bmp");
        files["soundSet/sound"] = "SOUNDS: 1\nhit\n";
        files["Tavro/sound/sound"] = "SOUNDS: 1\npunch\n";
        files["particle/default"] = "PARTS: 2\nfire 1\nspark 2\n";
        files["particle/fire/info"] = "FILES: 1\n" + frame("p.bmp", "NULL", "", 30, 1);
        files["particle/fire/particle"] = "0\n500\n0\n0\n0\n1\nspark 5 -5\n0\n1\nspark\n0\n0\n";
        files["particle/spark/info"] = "FILES: 1\n" + frame("p.bmp");
        files["particle/spark/particle"] = "0\n100\n1\n0\n0\n1\nNULL\n0\n1\nfire\n0\n0\n";
        std::string index = "ANIMS: 6\n";
        for (const char* name : animations) {
            index += std::string(name) + "\n";
            files[std::string("Tavro/") + name + "/info"] = "FILES: 1\n" + frame("f.bmp");
        }
        files["Tavro/info"] = index;
        std::string moves;
        for (const char* name : engineMoves) moves += move(name, "X");
        moves += move("fireball", "DRA") + move("punch", "A") + move("kick", "B") +
                 move("uppercut", "C", "punch");
        files["Tavro/moveset"] = "ANIMS: 11\n" + moves;
        for (const char* name : engineMoves)
            files[std::string("Tavro/") + name + "/info"] = "FILES: 1\n" + frame("f.bmp");
        files["Tavro/fireball/info"] =
            "FILES: 2\n" + frame("f.bmp") + "\n# throw\n" + frame("f.bmp", "punch", "fire 40 10\n");
        files["Tavro/punch/info"] = "FILES: 1\n" + frame("f.bmp", "hit", "", 50, 1);
        files["Tavro/kick/info"] = "FILES: 1\n" + frame("f.bmp");
        files["Tavro/uppercut/info"] = "FILES: 1\n" + frame("f.bmp");
        files["Tavro/ai/attack"] = "Attacks: 2\n" + attack("punch", "S") + attack("fireball", "M") +
                                   "Attacks: 0\nAttacks: 1\n" + attack("kick", "S") +
                                   "Attacks: 0\nAttacks: 1\n" + attack("kick", "S", "x", "punch") +
                                   "Attacks: 1\n" + attack("uppercut", "S", "punch");
    }

    void write(const TempDir& dir) const {
        for (const auto& [name, text] : files) dir.write("data/" + name, text);
        dir.writeBmp("data/tBG2.bmp", 16, 12, 0x000000);
        dir.writeBmp("data/hpBar/bar.bmp", 380, 30, 0x333333);
        dir.writeBmp("data/particle/fire/p.bmp", 10, 10, 0xFF8800);
        dir.writeBmp("data/particle/spark/p.bmp", 10, 10, 0xFFFF00);
        for (const char* name : animations)
            dir.writeBmp(std::string("data/Tavro/") + name + "/f.bmp", 40, 40,
                         std::string(name) == "blank" ? 0xFF00FF : 0x336699);
        for (const char* name : engineMoves)
            dir.writeBmp(std::string("data/Tavro/") + name + "/f.bmp", 40, 40, 0x336699);
        for (const char* name : {"fireball", "punch", "kick", "uppercut"})
            dir.writeBmp(std::string("data/Tavro/") + name + "/f.bmp", 40, 40, 0x336699);
        dir.write("data/soundSet/hit.wav", wav());
        dir.write("data/Tavro/sound/punch.wav", wav());
    }
};

// Checks the data set, with paths shown relative to the data folder.
struct result {
    diagnostics report;
    std::string text;
};

result check(const fixture& data, void (*damage)(const TempDir&) = nullptr) {
    TempDir dir;
    data.write(dir);
    if (damage) damage(dir);
    result out;
    dataChecker checker(out.report);
    checker.run(dir / "data");
    out.text = out.report.text();
    std::string root = dir / "data/";
    for (size_t at; (at = out.text.find(root)) != std::string::npos;) out.text.erase(at, root.size());
    return out;
}

// The checker's output holds exactly these findings.
void expectOnly(const fixture& data, const std::string& expected,
                void (*damage)(const TempDir&) = nullptr) {
    EXPECT_EQ(check(data, damage).text, expected);
}

} // namespace

TEST(DataCheck, CleanDataSetHasNothingToReport) {
    result out = check(fixture());
    EXPECT_EQ(out.text, "");
    EXPECT_EQ(out.report.errors() + out.report.warnings() + out.report.notes(), 0);
}

TEST(DataCheck, FrameIndexFormatFaults) {
    fixture data;
    data.files["Tavro/walk/info"] = "FILES: 2\n" + frame("f.bmp");
    expectOnly(data, "Tavro/walk/info:1: error: \"FILES: 2\" announces 2 frames but the file holds 1\n");

    data = fixture();
    std::string text = "FILES: 1\n" + frame("f.bmp");
    data.files["Tavro/walk/info"] = text.replace(text.find("20 40"), 5, "20 abc");
    expectOnly(data, "Tavro/walk/info:3: error: frame 1: expected the anchor (2 numbers), found "
                     "\"20 abc\"\n");

    // A comment between entries is skipped; inside an entry it is a field line.
    data = fixture();
    text = "FILES: 1\n" + frame("f.bmp");
    data.files["Tavro/walk/info"] = text.insert(text.find("0 0 40 40"), "# box\n");
    std::string out = check(data).text;
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "Tavro/walk/info:4: error: frame 1: expected the collision box (4 numbers), found "
              "\"# box\"; comments are not allowed inside a frame entry");

    data = fixture();
    text = "FILES: 1\n" + frame("f.bmp");
    data.files["Tavro/walk/info"] = text.substr(0, text.find("0 0\n0\ntag"));
    expectOnly(data, "Tavro/walk/info:13: error: frame 1: entry cut short: the file ends where the "
                     "movement (2 numbers) belongs\n");

    data = fixture();
    data.files["Tavro/walk/info"] = "FRAMES: 1\n" + frame("f.bmp");
    expectOnly(data, "Tavro/walk/info:1: error: first line must be \"FILES: <count>\"; the game "
                     "loads no frames here\n");

    data = fixture();
    // The rest of a long comment is no comment: the game reads it as an entry.
    data.files["Tavro/walk/info"] = "FILES: 1\n# " + std::string(300, 'x') + "\n" + frame("f.bmp");
    out = check(data).text;
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "Tavro/walk/info:2: error: line longer than 254 characters (line end included); the "
              "game reads the rest of it as another line");
    EXPECT_NE(out.find("Tavro/walk/info:2: error: frame 1: expected \"<bitmap> <time> <red> "
                       "<green> <blue>\", found \"xxx"),
              std::string::npos);
}

