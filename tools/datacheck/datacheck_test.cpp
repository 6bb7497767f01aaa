// The data checker on a small, clean data set and on copies of it that each
// carry one fault: every fault must come out with its exact message and line.
#include "base/fatal.h"
#include "bitmapChecker.h"
#include "dataChecker.h"
#include "dataFolder.h"
#include "diagnostics.h"
#include "moveRules.h"
#include "testSupport.h"
#include "wavChecker.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

using testing_support::TempDir;

namespace {

using testing_support::frameEntryText;

std::string frame(const std::string& bitmap, const std::string& sound = "NULL",
                  const std::string& spawns = "", int damage = 0, int hitType = 0,
                  const std::string& anchor = "20 40") {
    return frameEntryText(bitmap, sound, spawns, damage, hitType, anchor);
}

std::string move(const std::string& name, const std::string& command,
                 const std::string& link = "NULL", const std::string& from = "NULL",
                 const std::string& condition = "null", int fromFrame = 0) {
    return testing_support::moveRecord(name, command, condition, link, from, fromFrame);
}

std::string attack(const std::string& name, const std::string& range, const std::string& link = "x",
                   const std::string& cancel = "x") {
    return name + "\n" + range + "\n" + link + "\n" + cancel + "\n";
}

const char* const animations[] = {"blank", "walk", "running", "duck", "inAir", "standing"};
const char* const engineMoves[] = {"hit1",     "blockHi", "blockLo",   "blockAir",
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
        for (const char* name : engineMoves)
            moves += move(name, "X");
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
        for (const auto& [name, text] : files)
            dir.write("data/" + name, text);
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
        dir.write("data/soundSet/hit.wav", testing_support::wavBytes());
        dir.write("data/Tavro/sound/punch.wav", testing_support::wavBytes());
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
    for (size_t at; (at = out.text.find(root)) != std::string::npos;)
        out.text.erase(at, root.size());
    return out;
}

// The checker's output holds exactly these findings.
void expectOnly(const fixture& data, const std::string& expected,
                void (*damage)(const TempDir&) = nullptr) {
    EXPECT_EQ(check(data, damage).text, expected);
}

// The moveset with one move record replaced by another.
void replaceMove(fixture& data, const std::string& old, const std::string& now) {
    std::string& moves = data.files["Tavro/moveset"];
    moves.replace(moves.find(old), old.size(), now);
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
    expectOnly(data,
               "Tavro/walk/info:1: error: \"FILES: 2\" announces 2 frames but the file holds 1\n");

    data = fixture();
    std::string text = "FILES: 1\n" + frame("f.bmp");
    data.files["Tavro/walk/info"] = text.replace(text.find("20 40"), 5, "20 abc");
    expectOnly(
        data,
        "Tavro/walk/info:3: error: frame 1: expected the anchor (2 numbers), found \"20 abc\"\n");

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
    expectOnly(data, "Tavro/walk/info:12: error: frame 1: entry cut short: the file ends where the "
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

TEST(DataCheck, CountsAndRecordsOfTheOtherFiles) {
    fixture data;
    data.files["Tavro/info"] += "extra\n";
    expectOnly(data, "Tavro/info:8: warning: text after the 6 animations is ignored\n");

    // The moveset holds a header and eleven lines per move; the last move's
    // condition is its line 122.
    data = fixture();
    std::string& moves = data.files["Tavro/moveset"];
    moves.erase(moves.rfind("null\n"));
    expectOnly(data, "Tavro/moveset:121: error: move 11 \"uppercut\": record cut short: the file "
                     "ends where the condition belongs\n");

    data = fixture();
    data.files["soundSet/sound"] = "SOUNDS: 2\nhit\n";
    expectOnly(data,
               "soundSet/sound:1: error: \"SOUNDS: 2\" announces 2 sounds but the file holds 1\n");

    data = fixture();
    data.files["particle/spark/particle"].replace(0, 1, "none");
    expectOnly(
        data,
        "particle/spark/particle:1: error: expected the alpha value (a number), found \"none\"\n");

    data = fixture();
    std::string& attacks = data.files["Tavro/ai/attack"];
    attacks.replace(attacks.rfind("Attacks: 1"), 10, "Attacks: 2");
    expectOnly(data, "Tavro/ai/attack:26: error: section 6 (link), entry 2: entry cut short: the "
                     "file ends where the move name belongs\n");
}

TEST(DataCheck, UnreadableBitmapsAndSounds) {
    fixture data;
    expectOnly(data,
               "Tavro/kick/info:2: error: bitmap Tavro/kick/f.bmp: cannot open the file; the game "
               "stops with exit code 1\n",
               [](const TempDir& dir) { std::remove((dir / "data/Tavro/kick/f.bmp").c_str()); });
    expectOnly(
        data,
        "Tavro/kick/info:2: error: bitmap Tavro/kick/f.bmp: not a bitmap (no BM signature); the "
        "game stops with exit code 1\n",
        [](const TempDir& dir) { dir.write("data/Tavro/kick/f.bmp", std::string(40, 'x')); });
    expectOnly(data,
               "Tavro/kick/info:2: error: bitmap Tavro/kick/f.bmp: bitmap pixels run past the "
               "file; the game stops with exit code 1\n",
               [](const TempDir& dir) {
                   std::string path = dir / "data/Tavro/kick/f.bmp";
                   std::FILE* file = std::fopen(path.c_str(), "r+");
                   ASSERT_NE(file, nullptr);
                   ASSERT_EQ(ftruncate(fileno(file), 100), 0);
                   std::fclose(file);
               });
    // The bar is loaded by the plain loader, which gives up instead of exiting.
    expectOnly(data,
               "hpBar/info:2: error: bitmap hpBar/bar.bmp: cannot open the file; the game stops "
               "loading this folder\n",
               [](const TempDir& dir) { std::remove((dir / "data/hpBar/bar.bmp").c_str()); });

    expectOnly(
        data,
        "Tavro/sound/sound:2: error: sound Tavro/sound/punch.wav: cannot open the file; \"punch\" "
        "plays nothing\n",
        [](const TempDir& dir) { std::remove((dir / "data/Tavro/sound/punch.wav").c_str()); });
    expectOnly(data,
               "soundSet/sound:2: error: sound soundSet/hit.wav: not a WAV file (no RIFF/WAVE "
               "header); \"hit\" plays nothing\n",
               [](const TempDir& dir) { dir.write("data/soundSet/hit.wav", "ID3 not a wave"); });
    expectOnly(data,
               "soundSet/sound:2: error: sound soundSet/hit.wav: 24-bit PCM; only 8- and 16-bit "
               "PCM can be loaded; \"hit\" plays nothing\n",
               [](const TempDir& dir) {
                   std::string sound = testing_support::wavBytes();
                   sound[34] = 24; // bits per sample
                   dir.write("data/soundSet/hit.wav", sound);
               });
}

// Bitmaps are named, found and judged exactly as the game's loader does it.
TEST(DataCheck, BitmapsAreFoundAndJudgedAsTheGameDoes) {
    fixture data;
    // A name from data never leaves its folder: an absolute name is refused
    // (the paths below are shown without the data folder in front).
    expectOnly(data,
               "Tavro/kick/info:2: error: frame 1: bitmap name \"Tavro/punch/f.bmp\" leaves the "
               "frame folder and is never read; the game stops with exit code 1\n",
               [](const TempDir& dir) {
                   dir.write("data/Tavro/kick/info",
                             "FILES: 1\n" + frame(dir / "data/Tavro/punch/f.bmp"));
               });
    // Wider than any frame the game accepts, whatever the file holds.
    expectOnly(data,
               "Tavro/kick/info:2: error: bitmap Tavro/kick/f.bmp: bitmap of 16385 x 2 pixels is "
               "larger than a frame may be (at most 4096 pixels each way and 4194304 pixels in "
               "all); the game stops with exit code 1\n",
               [](const TempDir& dir) {
                   std::string bytes = testing_support::bmpBytes(2, 2, 0x336699);
                   bytes[18] = 0x01;
                   bytes[19] = 0x40; // 16385 pixels
                   dir.write("data/Tavro/kick/f.bmp", bytes);
               });
    // An entry whose first line has no name keeps the previous entry's
    // bitmap, as the game does.
    std::string second = frame("f.bmp");
    data.files["Tavro/kick/info"] =
        "FILES: 2\n" + frame("f.bmp") + "   \n" + second.substr(second.find('\n') + 1);
    expectOnly(data, "Tavro/kick/info:16: error: frame 2: expected \"<bitmap> <time> <red> <green> "
                     "<blue>\", found \"   \"\n");
}

TEST(DataCheck, NamesTheEngineAsksFor) {
    fixture data;
    std::string& index = data.files["Tavro/info"];
    index.erase(index.find("duck\n"), 5);
    index.replace(0, 8, "ANIMS: 5");
    expectOnly(data, "Tavro/info:1: error: no animation named \"duck\"; the game shows the first "
                     "animation (\"blank\") instead\n");

    data = fixture();
    std::string& moves = data.files["Tavro/moveset"];
    moves.erase(moves.find(move("blockAir", "X")), move("blockAir", "X").size());
    moves.replace(0, 9, "ANIMS: 10");
    expectOnly(data, "Tavro/moveset:1: error: no move named \"blockAir\"; the game performs the "
                     "first move (\"hit1\") instead\n");
}

TEST(DataCheck, ReferencesThatDoNotResolve) {
    // uppercut is the 11th record (lines 112-122), kick the 10th (101-111).
    fixture data;
    std::string& moves = data.files["Tavro/moveset"];
    moves.replace(moves.find(move("uppercut", "C", "punch")), move("uppercut", "C", "punch").size(),
                  move("uppercut", "C", "punsh"));
    expectOnly(data, "Tavro/moveset:115: error: move \"uppercut\": link move \"punsh\" is not a "
                     "move; the link can never be queued\n");

    data = fixture();
    data.files["Tavro/moveset"].replace(data.files["Tavro/moveset"].find(move("kick", "B")),
                                        move("kick", "B").size(),
                                        move("kick", "B", "NULL", "null"));
    expectOnly(data, "Tavro/moveset:107: error: move \"kick\": from move \"null\" is not a move; "
                     "the command is never accepted (write NULL for none)\n");

    data = fixture();
    data.files["Tavro/moveset"].replace(data.files["Tavro/moveset"].find(move("kick", "B")),
                                        move("kick", "B").size(),
                                        move("kick", "B", "NULL", "punch", "null", 1));
    expectOnly(data, "Tavro/moveset:108: warning: move \"kick\": from frame 1 is past the last "
                     "frame of \"punch\" (frame 0); the command is never accepted\n");

    data = fixture();
    replaceMove(data, move("kick", "B"), move("kick", "B", "NULL", "NULL", "null", 2));
    expectOnly(data, "Tavro/moveset:108: warning: move \"kick\": from frame 2 without a from move: "
                     "the command is only accepted from that frame of whatever animation shows\n");

    // A blank link line leaves the link empty, as the game reads it: one
    // error, and no second one for a move named "".
    data = fixture();
    replaceMove(data, move("kick", "B"), "kick\nB\n0\n \n0\n0\nNULL\n0\n0\n0\nnull\n");
    expectOnly(data, "Tavro/moveset:104: error: move 10 \"kick\": expected the move it links "
                     "from, or NULL, found an empty line\n");
}

TEST(DataCheck, ReferencesOutsideTheMovesetThatDoNotResolve) {
    fixture data;
    data.files["Tavro/ai/attack"].replace(data.files["Tavro/ai/attack"].find("punch"), 5, "pnch");
    expectOnly(data, "Tavro/ai/attack:2: error: move \"pnch\" is not in Tavro/moveset; the "
                     "opponent would perform the first move of the file instead\n");

    data = fixture();
    data.files["Tavro/punch/info"] = "FILES: 1\n" + frame("f.bmp", "hitt", "", 50, 1);
    expectOnly(data, "Tavro/punch/info:11: error: frame 1: sound \"hitt\" is in neither sound "
                     "list; the game plays nothing\n");

    // The throwing frame is the second entry, after a blank line and a comment.
    data = fixture();
    std::string& fireball = data.files["Tavro/fireball/info"];
    fireball.replace(fireball.find("fire 40 10"), 10, "fir 40 ten");
    expectOnly(data, "Tavro/fireball/info:29: error: frame 2: no particle definition named \"fir\" "
                     "in particle/default\nTavro/fireball/info:29: warning: frame 2: offset "
                     "\"ten\" is not a number; the game reads 0\n");

    // Two frames in a row with the same first spawn line spawn once.
    data = fixture();
    data.files["Tavro/kick/info"] =
        "FILES: 2\n" + frame("f.bmp", "NULL", "fire\n") + frame("f.bmp", "NULL", "fire\nspark\n");
    expectOnly(data, "Tavro/kick/info:28: warning: frame 2: spawns nothing: its first spawn line "
                     "is the previous frame's, and particles only spawn when it changes\n");

    // Only an exact "NULL" is none: with a blank after it, it is a name.
    data = fixture();
    std::string& fire = data.files["particle/fire/particle"];
    fire.replace(fire.find("spark 5 -5"), 10, "NULL ");
    expectOnly(data, "particle/fire/particle:7: error: particle \"fire\": no particle definition "
                     "named \"NULL\" in particle/default; NULL stands for none only as an event "
                     "list's first entry, written exactly\n");

    data = fixture();
    data.files["particle/fire/particle"].replace(
        data.files["particle/fire/particle"].find("spark 5"), 5, "sparkle");
    expectOnly(data, "particle/fire/particle:7: error: particle \"fire\": no particle definition "
                     "named \"sparkle\" in particle/default\n");
}

TEST(DataCheck, BlankAndAnchorRules) {
    fixture data;
    expectOnly(
        data,
        "Tavro/blank/info:2: warning: the first frame of \"blank\" is not fully transparent (1600 "
        "pixels differ from the colour key)\n",
        [](const TempDir& dir) { dir.writeBmp("data/Tavro/blank/f.bmp", 40, 40, 0xFF00FE); });
    expectOnly(
        data,
        "Tavro/kick/info:2: warning: frame 1: 50x40 is larger than the first frame of \"blank\" "
        "(40x40), which sizes the fighter's saved background; drawing it leaves trails\n",
        [](const TempDir& dir) { dir.writeBmp("data/Tavro/kick/f.bmp", 50, 40, 0x336699); });

    data.files["Tavro/blank/info"] = "FILES: 1\n" + frame("f.bmp");
    data.files["Tavro/blank/info"].replace(data.files["Tavro/blank/info"].find("255 0 255"), 3,
                                           "-1");
    expectOnly(data, "Tavro/blank/info:2: warning: the first frame of \"blank\" has no colour key "
                     "(red below 0), so it is drawn opaque; it must be fully transparent\n");

    data = fixture();
    data.files["Tavro/kick/info"] = "FILES: 1\n" + frame("f.bmp", "NULL", "", 0, 0, "21 40");
    expectOnly(data,
               "Tavro/kick/info:3: warning: frame 1: anchor (21, 40) differs from the character's "
               "anchor (20, 40) at Tavro/blank/info:3; the fighter jumps when this frame shows\n");

    // Within one set, a frame larger than the last one is drawn over an
    // unrestored background.
    data = fixture();
    data.files["particle/spark/info"] = "FILES: 2\n" + frame("big.bmp") + frame("p.bmp");
    expectOnly(data,
               "particle/spark/info:2: warning: frame 1: 12x10 is larger than the set's size 10x10 "
               "(its last frame's); drawing it leaves trails\n",
               [](const TempDir& dir) { dir.writeBmp("data/particle/spark/big.bmp", 12, 10, 0); });

    // A particle saves its background into a copy of its first frame.
    data = fixture();
    data.files["particle/spark/info"] = "FILES: 2\n" + frame("p.bmp") + frame("big.bmp");
    expectOnly(data,
               "particle/spark/info:16: warning: frame 2: 12x10 is larger than the first frame "
               "(10x10), which sizes the particle's saved background; drawing it leaves trails\n",
               [](const TempDir& dir) { dir.writeBmp("data/particle/spark/big.bmp", 12, 10, 0); });

    data = fixture();
    expectOnly(data,
               "hpBar/info:2: warning: frame 1: 360x30 is smaller than the hit-point bar, which "
               "needs 370x25 (a 360x20 bar at 10, 5); the bar is cut to fit\n",
               [](const TempDir& dir) { dir.writeBmp("data/hpBar/bar.bmp", 360, 30, 0x333333); });

    data = fixture();
    data.files["Tavro/punch/info"] = "FILES: 1\n" + frame("f.bmp", "hit", "", 50, 2);
    expectOnly(data, "Tavro/punch/info:8: warning: frame 1: damage 50 with hit type 2 never hurts; "
                     "only hit type 1 does damage\n");
}

TEST(DataCheck, CommandRules) {
    // A plain "A" before "DRA" with the same rules takes every "DRA" first.
    // Record k of the moveset starts at line 2 + 11 (k - 1), its command follows.
    fixture data;
    replaceMove(data, move("fireball", "DRA"), move("punch", "A"));
    replaceMove(data, move("punch", "A") + move("punch", "A"),
                move("punch", "A") + move("fireball", "DRA"));
    expectOnly(data, "Tavro/moveset:91: warning: move \"fireball\": command \"DRA\" can never be "
                     "recognised: move \"punch\" (line 80, command \"A\") stands before it in the "
                     "A list and its rules pass whenever these do\n");

    // Different conditions or a later from frame leave room for the longer one.
    replaceMove(data, move("punch", "A"), move("punch", "A", "NULL", "NULL", "ground is true"));
    replaceMove(data, move("fireball", "DRA"),
                move("fireball", "DRA", "NULL", "NULL", "ground is false"));
    expectOnly(data, "");
    replaceMove(data, move("fireball", "DRA", "NULL", "NULL", "ground is false"),
                move("fireball", "DRA", "NULL", "NULL", "ground is true"));
    EXPECT_NE(check(data).text.find("move \"fireball\": command \"DRA\" can never be recognised"),
              std::string::npos);

    // A link queued from the same move ends the search just as well.
    data = fixture();
    replaceMove(data, move("kick", "B"), move("kick", "C", "punch"));
    expectOnly(data, "Tavro/moveset:113: warning: move \"uppercut\": command \"C\" can never be "
                     "recognised: move \"kick\" (line 102, command \"C\") stands before it in the "
                     "C list and its rules pass whenever these do\n");

    // No button completes "DR": only the opponent (through the attack file) or
    // the engine's own names reach such a move.
    data = fixture();
    replaceMove(data, move("kick", "B"), move("kick", "DR"));
    expectOnly(data, "Tavro/moveset:102: note: move \"kick\": command \"DR\" does not end in A, B "
                     "or C: player 1 can never perform it (the computer opponent can)\n");
    data = fixture();
    data.files["Tavro/moveset"].replace(0, 9, "ANIMS: 12");
    data.files["Tavro/moveset"] += move("taunt", "DU");
    data.files["Tavro/taunt/info"] = "FILES: 1\n" + frame("f.bmp");
    expectOnly(
        data,
        "Tavro/moveset:124: warning: move \"taunt\": command \"DU\" does not end in A, B or C: "
        "player 1 can never perform it\n",
        [](const TempDir& dir) { dir.writeBmp("data/Tavro/taunt/f.bmp", 40, 40, 0x336699); });
    data = fixture();
    replaceMove(data, move("kick", "B"), move("kick", "DXB"));
    expectOnly(data, "Tavro/moveset:102: warning: move \"kick\": command \"DXB\" holds 'X', which "
                     "no key produces; it can never match\n");
}

TEST(DataCheck, ConditionsOutsideTheVocabulary) {
    // kick's condition is line 111.
    fixture data;
    replaceMove(data, move("kick", "B"), move("kick", "B", "NULL", "NULL", "grounded is true"));
    expectOnly(
        data, "Tavro/moveset:111: warning: move \"kick\": condition \"grounded is true\" is always "
              "false (only \"ground\" is understood), so the move can never be performed\n");
    data = fixture();
    replaceMove(data, move("kick", "B"), move("kick", "B", "NULL", "NULL", "NULL"));
    expectOnly(data, "Tavro/moveset:111: warning: move \"kick\": condition \"NULL\" is always "
                     "false (only \"ground\" is understood, and none is written null), so the move "
                     "can never be performed\n");
    data = fixture();
    replaceMove(data, move("kick", "B"), move("kick", "B", "NULL", "NULL", "ground true"));
    expectOnly(data,
               "Tavro/moveset:111: warning: move \"kick\": condition \"ground true\" has no third "
               "word: it holds in the air, not on the ground (write \"ground is true\")\n");
    // A line end after the condition is no word: "ground is true\r" is fine.
    data = fixture();
    replaceMove(data, move("kick", "B"), move("kick", "B", "NULL", "NULL", "ground is true\r"));
    expectOnly(data, "");
    EXPECT_EQ(moveRules::classify("ground x true"), conditionKind::onGround);
    EXPECT_EQ(moveRules::classify("ground x false"), conditionKind::inAir);
    EXPECT_EQ(moveRules::classify("ground"), conditionKind::inAir);
    EXPECT_EQ(moveRules::classify(""), conditionKind::never);
    EXPECT_EQ(moveRules::classify("null"), conditionKind::always);
}

TEST(DataCheck, AttackTableOrder) {
    // Section 1: punch (S) at lines 2-5, fireball (M) at 6-9.
    fixture data;
    std::string& attacks = data.files["Tavro/ai/attack"];
    attacks.replace(attacks.find("fireball\nM"), 10, "fireball\nL");
    attacks.replace(attacks.find("punch\nS"), 7, "punch\nD");
    expectOnly(data,
               "Tavro/ai/attack:7: warning: section 1 (ground): range L after range D; entries "
               "must be grouped S, M, L, U, D because lookups pick them by position\n");

    data = fixture();
    data.files["Tavro/ai/attack"].replace(data.files["Tavro/ai/attack"].find("fireball\nM"), 10,
                                          "fireball\nX");
    expectOnly(data,
               "Tavro/ai/attack:7: warning: range \"X\" is none of S, M, L, U, D: it is counted in "
               "no band, yet lookups by position can pick this entry for another band\n");

    // Link section (from line 22): keys punch, kick, punch.
    data = fixture();
    std::string& links = data.files["Tavro/ai/attack"];
    links.replace(links.rfind("Attacks: 1"), std::string::npos,
                  "Attacks: 3\n" + attack("uppercut", "S", "punch") + attack("punch", "S", "kick") +
                      attack("kick", "S", "punch"));
    expectOnly(
        data,
        "Tavro/ai/attack:33: warning: link key \"punch\" already had entries (from line 23); "
        "entries with the same key must stand together, lookups only reach the first group\n");
}

TEST(DataCheck, ParticlesAndDuplicates) {
    fixture data;
    data.files["particle/spark/particle"] = "0\n100\n1\n0\n0\n1\nNULL\n0\n1\nNULL\n0\n0\n";
    expectOnly(data, "particle/spark/particle:9: note: particle \"spark\": can never hit: its "
                     "first \"OnHitEnemy\" entry is NULL, so it passes through enemies\n");

    data = fixture();
    data.files["particle/fire/particle"].replace(2, 3, "0");
    expectOnly(data, "particle/fire/particle:6: warning: particle \"fire\": \"OnDeath\" entries "
                     "never spawn: with lifetime 0 it never dies of age\n");

    data = fixture();
    data.files["particle/default"] = "PARTS: 3\nfire 1\nspark 2\nfire 3\n";
    expectOnly(data, "particle/default:2: warning: particle definition \"fire\" is listed again at "
                     "line 4; the game finds that one, this one is unreachable\n");

    data = fixture();
    data.files["Tavro/info"] = "ANIMS: 7\nblank\nwalk\nrunning\nduck\ninAir\nstanding\nwalk\n";
    expectOnly(data, "Tavro/info:8: warning: animation \"walk\" is listed twice (first at line 3); "
                     "the game always finds the first\n");

    data = fixture();
    data.files["Tavro/moveset"].replace(0, 9, "ANIMS: 12");
    data.files["Tavro/moveset"] += move("kick", "C");
    expectOnly(data, "Tavro/moveset:123: warning: move \"kick\" is defined twice (first at line "
                     "101); look-ups by name always find the first\n");

    // A character list naming a common sound again: the game keeps the common
    // one, so the character's file is dead weight.
    data = fixture();
    data.files["Tavro/sound/sound"] = "SOUNDS: 2\npunch\nhit\n";
    expectOnly(data,
               "Tavro/sound/sound:3: warning: sound \"hit\" is already in the list "
               "soundSet/sound:2; Tavro/sound/hit.wav is never loaded and the earlier one plays\n");
}

TEST(DataCheck, TheGameLoadersReadWhatTheCheckerReads) {
    // With a screen and an audio device, the data is loaded again by the
    // game's own loaders and compared value by value.
    testing_support::HeadlessScreen screen;
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024), 0);
    fixture data;
    data.files["Tavro/walk/info"] = "FILES: 2\n" +
                                    frame("f.bmp", "hit", "fire 1 2\nspark\n", 5, 1) +
                                    "# second\n\n" + frame("f.bmp", "NULL", "", 0, 0, "20 40 7");
    replaceMove(data, move("kick", "B"),
                move("kick", "DB", "NULL", "punch", "ground x true\r", -1));
    data.files["Tavro/ai/attack"] =
        "Attacks: 4\n" + attack("punch", "s") + attack("kick", "M") + attack("fireball", "u") +
        attack("punch", "D") + "Attacks: 0\nAttacks: 0\nAttacks: 0\nAttacks: 2\n" +
        attack("kick", "S", "x", "punch") + attack("uppercut", "S", "x", "kick") + "Attacks: 3\n" +
        attack("uppercut", "S", "punch") + attack("kick", "S", "punch") +
        attack("punch", "S", "kick");
    data.files["particle/spark/particle"] = "0\n100\n1\n0\n0\n-2\n0\n2\nfire\nNULL\n0\n0\n";
    EXPECT_EQ(check(data).text, "");
    Mix_CloseAudio();
}

TEST(DataCheck, PutsBackTheFatalHandlerItFound) {
    // The game's loaders run with a handler of the checker's own; afterwards
    // the handler installed before (here the test's) is in place again, not
    // the default that would end the program.
    testing_support::HeadlessScreen screen;
    testing_support::CatchFatalStops catching;
    fixture data;
    EXPECT_EQ(check(data).text, "");
    EXPECT_THROW(fatal::stop("after the check\n"), testing_support::FatalStop);
}
