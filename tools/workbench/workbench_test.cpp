// The workbench driven headless: keys through SDL's event queue, time on the
// test clock, the screen a real 32-bit surface of the dummy video driver, on
// a copy of the shipped data that the tests edit and break.
#include "base/bitmapFont.h"
#include "fileWatcher.h"
#include "moveTable.h"
#include "overlayPainter.h"
#include "workbench.h"

#include "particle/SquareCollider.h"
#include "particle/particle.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

void press(SDLKey key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// Rewrite a file and give it a modification time the watcher cannot miss,
// however coarse the file system's clock.
void edit(const std::string& path, const std::string& content) {
    const auto before =
        fs::exists(path) ? fs::last_write_time(path) : fs::file_time_type::clock::now();
    std::ofstream(path, std::ios::binary) << content;
    fs::last_write_time(path, before + std::chrono::seconds(2));
}

// The frame index with the pause of frame `index` (counted from 0) set to `pause`.
std::string withPause(const std::string& info, int index, int pause) {
    std::istringstream in(info);
    std::string line, out;
    int seen = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string file;
        words >> file;
        if (file.size() > 4 && file.compare(file.size() - 4, 4, ".bmp") == 0 && seen++ == index) {
            int oldPause;
            std::string rest;
            words >> oldPause;
            std::getline(words, rest);
            line = file + " " + std::to_string(pause) + rest;
        }
        out += line + "\n";
    }
    return out;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string allLines(const workbench& bench) {
    std::string text;
    for (const std::string& line : bench.infoLines())
        text += line + "\n";
    return text;
}

class Workbench : public ::testing::Test {
  protected:
    Workbench() {
        fs::copy(sourceDir() + "/data", data, fs::copy_options::recursive);
        bench.setScreenshotFolder(dir.path());
    }

    // One pass of the window, as the program runs it.
    void pass() { ASSERT_TRUE(bench.runPass()); }

    // Steps the shown move until its frame does damage.
    void stepToDamage() {
        for (int i = 0; i < bench.frameCount() && bench.fighter().getDamage() <= 0; ++i) {
            press(SDLK_RIGHT);
            pass();
        }
        ASSERT_GT(bench.fighter().getDamage(), 0);
    }

    TempDir dir;
    std::string data = dir / "data";
    HeadlessScreen screen;
    ManualClock clock{1000};
    TraceCapture quiet;
    std::ostringstream terminal;
    workbench bench{data, screen.surface(), terminal};
};

} // namespace

TEST_F(Workbench, StartsOnTheNamedMoveAndShowsItsFactsOnScreenAndInTheCaption) {
    bench.start("fireball");
    pass();
    ASSERT_TRUE(bench.loaded());
    EXPECT_EQ(bench.entryName(), "fireball");
    EXPECT_TRUE(bench.entryIsMove());
    EXPECT_EQ(bench.frame(), 0);
    const std::string shown = allLines(bench);
    EXPECT_TRUE(contains(shown, "frame 1 of " + std::to_string(bench.frameCount()) + ": f00.bmp"))
        << shown;
    EXPECT_TRUE(contains(shown, "command DRA (Down, Forward, Z)")) << shown;
    EXPECT_TRUE(contains(shown, "errors 0")) << shown;
    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_TRUE(contains(caption, "fireball")) << caption;
    EXPECT_TRUE(contains(caption, "f00.bmp")) << caption;
    EXPECT_TRUE(contains(caption, "condition null")) << caption;
    // The checker ran on the data and its summary reached the terminal.
    EXPECT_TRUE(contains(terminal.str(), "0 errors")) << terminal.str();
}

TEST_F(Workbench, AnUnknownNameStartsOnTheFirstAnimationAndSaysSo) {
    bench.start("noSuchMove");
    EXPECT_EQ(bench.entryIndex(), 0);
    EXPECT_FALSE(bench.entryIsMove());
    EXPECT_TRUE(contains(bench.status(), "noSuchMove"));
}

TEST_F(Workbench, KeysStepBrowseAndPlayAtTheDataTiming) {
    bench.start("fireball");
    const int count = bench.frameCount();
    ASSERT_GE(count, 3);
    press(SDLK_RIGHT);
    press(SDLK_RIGHT);
    pass();
    EXPECT_EQ(bench.frame(), 2);
    EXPECT_FALSE(bench.playing()) << "stepping pauses the animation";
    clock.advance(10000);
    pass();
    EXPECT_EQ(bench.frame(), 2) << "a paused frame stays";
    for (int i = 0; i < 3; ++i)
        press(SDLK_LEFT);
    pass();
    EXPECT_EQ(bench.frame(), count - 1) << "stepping back from frame 0 wraps to the last";

    // Play: a frame lasts its pause times the fighter's speed, then the next shows.
    press(SDLK_RIGHT);
    press(SDLK_SPACE);
    pass();
    ASSERT_TRUE(bench.playing());
    ASSERT_EQ(bench.frame(), 0);
    const int lasts = static_cast<int>(bench.fighter().current()->pause * workbench::fighterSpeed);
    clock.advance(lasts);
    pass();
    EXPECT_EQ(bench.frame(), 0);
    clock.advance(1);
    pass();
    EXPECT_EQ(bench.frame(), 1);

    // Browsing: down to the next entry, up back, tab between animations and moves.
    press(SDLK_DOWN);
    pass();
    EXPECT_NE(bench.entryName(), "fireball");
    EXPECT_EQ(bench.frame(), 0);
    press(SDLK_UP);
    pass();
    EXPECT_EQ(bench.entryName(), "fireball");
    press(SDLK_TAB);
    pass();
    EXPECT_FALSE(bench.entryIsMove());
    EXPECT_EQ(bench.entryIndex(), 0);
    press(SDLK_UP);
    pass();
    EXPECT_EQ(bench.entryIndex(), bench.entryCount() - 1) << "browsing wraps around";

    press(SDLK_ESCAPE);
    EXPECT_FALSE(bench.runPass());
}

TEST_F(Workbench, FacingShowsTheMirroredFrameWithTheOpponentOnTheOtherSide) {
    bench.start("punch");
    stepToDamage();
    const spriteFrame drawn = *bench.fighter().current(true);
    const spriteFrame mirrored = *bench.fighter().current(false);
    EXPECT_TRUE(bench.facingRight());
    EXPECT_GT(bench.opponent().xPos, bench.fighter().xPos);

    press(SDLK_f);
    pass();
    EXPECT_FALSE(bench.facingRight());
    EXPECT_LT(bench.opponent().xPos, bench.fighter().xPos);
    EXPECT_EQ(bench.opponent().xPos, bench.fighter().xPos - bench.distance());
    // The body and damage boxes come from the mirrored frame.
    const int x = bench.fighter().xPos;
    EXPECT_EQ(bench.fighter().getCBox().left, x + mirrored.colX1 - mirrored.offsetX);
    EXPECT_EQ(bench.fighter().getDBox().right, x + mirrored.dmgX2 - mirrored.offsetX);
    EXPECT_LT(bench.fighter().getDBox().right, x) << "the punch reaches to the left";
    // The text keeps the values of the index file, as the author wrote them.
    EXPECT_TRUE(contains(allLines(bench), "anchor " + std::to_string(drawn.offsetX) + ","));
    EXPECT_TRUE(contains(allLines(bench), "facing left"));
}

TEST_F(Workbench, TheOpponentDistanceDecidesWhetherTheDamageBoxReaches) {
    bench.start("punch");
    stepToDamage();
    for (int i = 0; i < 40; ++i)
        press(SDLK_MINUS);
    pass();
    EXPECT_EQ(bench.distance(), 0);
    press(SDLK_RIGHTBRACKET);
    pass();
    EXPECT_EQ(bench.distance(), 1) << "brackets move one pixel";
    // From close to far: the game's contact test decides, and the screen says it.
    bool reached = false, missed = false;
    for (int i = 0; i < 80; ++i) {
        press(SDLK_EQUALS);
        pass();
        const bool touches =
            SquareCollider(bench.opponent().getCBox(), bench.fighter().getDBox()).collisionCheck();
        EXPECT_TRUE(contains(allLines(bench), touches ? "reaches" : "misses"));
        (touches ? reached : missed) = true;
    }
    EXPECT_TRUE(reached);
    EXPECT_TRUE(missed);
    press(SDLK_o);
    pass();
    EXPECT_TRUE(contains(allLines(bench), "opponent hidden"));
}

TEST_F(Workbench, BoxesAreOutlinesOverTheArt) {
    bench.start("punch");
    stepToDamage();
    press(SDLK_b); // boxes off: the art alone
    pass();
    SDL_Surface* s = screen.surface();
    const colBox body = bench.fighter().getCBox();
    const colBox hit = bench.fighter().getDBox();
    const colBox other = bench.opponent().getCBox();
    const int midX = (body.left + body.right) / 2, midY = (body.top + body.bottom) / 2;
    const Uint32 artInside = rgbAt(s, midX, midY);
    const Uint32 artOnEdge = rgbAt(s, body.left, midY);

    press(SDLK_b);
    pass();
    EXPECT_EQ(rgbAt(s, body.left, midY), workbench::bodyColour);
    EXPECT_EQ(rgbAt(s, body.right, midY), workbench::bodyColour);
    EXPECT_EQ(rgbAt(s, midX, body.top), workbench::bodyColour);
    EXPECT_EQ(rgbAt(s, midX, midY), artInside) << "the inside of the box shows the art";
    EXPECT_NE(artOnEdge, workbench::bodyColour);
    EXPECT_EQ(rgbAt(s, hit.right, (hit.top + hit.bottom) / 2), workbench::damageColour);
    EXPECT_EQ(rgbAt(s, (hit.left + hit.right) / 2, hit.bottom), workbench::damageColour);
    EXPECT_EQ(rgbAt(s, other.left, (other.top + other.bottom) / 2), workbench::bodyColour);
    EXPECT_EQ(rgbAt(s, bench.fighter().xPos, bench.fighter().yPos - 3), workbench::anchorColour);
}

TEST_F(Workbench, ParticleSpawnPointsAreMarkedWhereTheGamePutsThem) {
    bench.start("fireball");
    const spriteFrame* f = nullptr;
    for (int i = 0; i < bench.frameCount(); ++i) {
        f = bench.fighter().current();
        if (f && !f->partNames.empty()) break;
        press(SDLK_RIGHT);
        pass();
    }
    ASSERT_TRUE(f && !f->partNames.empty()) << "the fireball move spawns its particle";
    std::istringstream words(f->partNames[0]);
    std::string name;
    int dx = 0, dy = 0;
    words >> name >> dx >> dy;
    pass();
    const int x = bench.fighter().xPos + dx, y = bench.fighter().yPos - dy;
    EXPECT_EQ(rgbAt(screen.surface(), x, y), workbench::spawnColour);
    EXPECT_EQ(rgbAt(screen.surface(), x - 3, y), workbench::spawnColour);
    EXPECT_TRUE(contains(allLines(bench), "particles " + name + " " + std::to_string(dx)));
}

TEST_F(Workbench, ASavedEditIsReloadedKeepingTheMoveAndFrame) {
    bench.start("fireball");
    press(SDLK_RIGHT);
    press(SDLK_RIGHT);
    pass();
    const std::string info = data + "/Tavro/fireball/info";
    edit(info, withPause(readText(info), 2, 77));
    // The folder is polled every half second.
    clock.advance(workbench::pollInterval - 1);
    pass();
    EXPECT_NE(bench.fighter().current()->pause, 77);
    clock.advance(1);
    pass();
    EXPECT_EQ(bench.fighter().current()->pause, 77);
    EXPECT_EQ(bench.entryName(), "fireball");
    EXPECT_EQ(bench.frame(), 2);
    EXPECT_TRUE(contains(allLines(bench), "pause 77 x3 = 231 ms"));
    EXPECT_TRUE(contains(terminal.str(), "changed: " + info)) << terminal.str();
    EXPECT_TRUE(contains(bench.status(), "reloaded")) << bench.status();
    EXPECT_EQ(bench.errorCount(), 0);
}

TEST_F(Workbench, ABrokenEditKeepsTheLastGoodStateUntilItIsFixed) {
    bench.start("fireball");
    press(SDLK_RIGHT);
    pass();
    const int frames = bench.frameCount();
    const int pause = bench.fighter().current()->pause;

    // A bitmap the game cannot decode would end the game at start-up.
    const std::string bitmap = data + "/Tavro/fireball/f01.bmp";
    const std::string good = readText(bitmap);
    const std::string info = data + "/Tavro/fireball/info";
    edit(info, withPause(readText(info), 1, pause + 5));
    edit(bitmap, "BM not really a bitmap");
    bench.checkForChanges();
    pass();
    EXPECT_EQ(bench.entryName(), "fireball");
    EXPECT_EQ(bench.frameCount(), frames);
    EXPECT_EQ(bench.fighter().current()->pause, pause) << "the last good state stays";
    EXPECT_GT(bench.errorCount(), 0);
    EXPECT_TRUE(contains(bench.status(), "kept the last good state")) << bench.status();
    // The checker's finding, file:line first, reached the terminal.
    EXPECT_TRUE(contains(terminal.str(), info + ":")) << terminal.str();
    EXPECT_TRUE(contains(terminal.str(), ": error: ")) << terminal.str();
    // Reloading by hand skips the checker's verdict; the game's own loader
    // stops on the bitmap, and the workbench goes on.
    press(SDLK_r);
    pass();
    EXPECT_TRUE(contains(bench.status(), "the game would stop")) << bench.status();
    EXPECT_EQ(bench.fighter().current()->pause, pause);

    // A move file the game reads without stopping, but wrongly: still kept.
    const std::string moveset = data + "/Tavro/moveset";
    const std::string goodMoves = readText(moveset);
    edit(moveset, "ANIMS: 2\nfireball\nDRA\n");
    bench.checkForChanges();
    pass();
    EXPECT_GT(bench.errorCount(), 0);
    EXPECT_EQ(bench.entryName(), "fireball");
    EXPECT_EQ(bench.fighter().current()->pause, pause);

    // Fixed: the edit that was waiting shows.
    edit(moveset, goodMoves);
    edit(bitmap, good);
    bench.checkForChanges();
    pass();
    EXPECT_EQ(bench.errorCount(), 0);
    EXPECT_EQ(bench.fighter().current()->pause, pause + 5);
    EXPECT_EQ(bench.frame(), 1);
}

TEST_F(Workbench, AnErrorInAnotherFileDoesNotHoldBackAnEdit) {
    // The sound list breaks first: an error, but not in the frames being edited.
    edit(data + "/Tavro/sound/sound", "SOUNDS: 1\n");
    bench.start("fireball");
    const int before = bench.errorCount();
    ASSERT_GT(before, 0);
    const std::string info = data + "/Tavro/fireball/info";
    edit(info, withPause(readText(info), 0, 61));
    bench.checkForChanges();
    pass();
    EXPECT_EQ(bench.fighter().current()->pause, 61);
    EXPECT_EQ(bench.errorCount(), before) << "the other error is still counted";
    EXPECT_TRUE(contains(bench.status(), "reloaded")) << bench.status();
}

TEST_F(Workbench, BrokenDataAtStartLeavesAnEmptyBenchThatLoadsOnceFixed) {
    const std::string index = data + "/Tavro/blank/info";
    const std::string good = readText(index);
    edit(data + "/Tavro/blank/" + "f00.bmp", "BM");
    const fs::path here = fs::current_path();
    bench.start("fireball");
    pass();
    EXPECT_FALSE(bench.loaded());
    EXPECT_EQ(fs::current_path(), here) << "the loader stopped inside a frame folder";
    EXPECT_TRUE(contains(bench.status(), "cannot load")) << bench.status();
    EXPECT_TRUE(contains(allLines(bench), "nothing loaded"));

    fs::copy_file(sourceDir() + "/data/Tavro/blank/f00.bmp", data + "/Tavro/blank/f00.bmp",
                  fs::copy_options::overwrite_existing);
    fs::last_write_time(data + "/Tavro/blank/f00.bmp",
                        fs::file_time_type::clock::now() + std::chrono::seconds(5));
    bench.checkForChanges();
    pass();
    EXPECT_TRUE(bench.loaded());
    EXPECT_EQ(readText(index), good);
}

TEST_F(Workbench, TheScreenshotKeyWritesTheWindowNamedAfterTheMoveAndFrame) {
    bench.start("punch");
    stepToDamage();
    press(SDLK_s);
    pass();
    const std::string path = dir / ("punch-" + std::to_string(bench.frame()) + ".bmp");
    ASSERT_TRUE(fs::exists(path)) << terminal.str();
    SDL_Surface* shot = SDL_LoadBMP(path.c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 800);
    EXPECT_EQ(shot->h, 600);
    SDL_FreeSurface(shot);
    EXPECT_TRUE(contains(terminal.str(), "screenshot: " + path));
    press(SDLK_f);
    press(SDLK_s);
    pass();
    EXPECT_TRUE(fs::exists(dir / ("punch-" + std::to_string(bench.frame()) + "-left.bmp")));
}

TEST(WorkbenchParts, OutlinesAreClippedAndDashedOnes) {
    HeadlessScreen screen;
    SDL_Surface* s = screen.surface();
    SDL_FillRect(s, nullptr, 0);
    const Uint32 red = overlayPainter::colour(s, 0xFF0000);
    overlayPainter::outline(s, colBox{10, 20, 30, 40}, red, true);
    EXPECT_EQ(rgbAt(s, 10, 20), 0xFF0000u);
    EXPECT_EQ(rgbAt(s, 11, 20), 0xFF0000u);
    EXPECT_EQ(rgbAt(s, 12, 20), 0u) << "a dashed edge has gaps";
    EXPECT_EQ(rgbAt(s, 20, 30), 0u);
    // Boxes far off or across the whole int range draw what is on screen.
    overlayPainter::outline(s, colBox{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, red);
    overlayPainter::outline(s, colBox{-5, 100, 5000, 200}, red, true);
    overlayPainter::cross(s, INT32_MAX, INT32_MIN, 4, red);
    EXPECT_EQ(rgbAt(s, 0, 100), 0xFF0000u);
    EXPECT_EQ(rgbAt(s, 400, 300), 0u);
}

TEST(WorkbenchParts, EveryPrintableCharacterHasAGlyph) {
    for (char c = '!'; c <= '~'; ++c) {
        bool any = false;
        for (int row = 0; row < 9; ++row)
            for (int col = 0; col < 5; ++col)
                any = any || bitmapFont::ink(c, col, row);
        EXPECT_TRUE(any) << c;
    }
    EXPECT_EQ(bitmapFont::width("abc"), 3 * bitmapFont::cellWidth);
}

TEST(WorkbenchParts, TheWatcherSeesAddedChangedAndRemovedFiles) {
    TempDir dir;
    dir.write("a/info", "one");
    dir.write("b", "two");
    fileWatcher watcher(dir.path());
    EXPECT_TRUE(watcher.poll().empty());
    edit(dir / "a/info", "ONE");
    dir.write("c", "new");
    fs::remove(dir / "b");
    EXPECT_EQ(watcher.poll(), (std::vector<std::string>{dir / "a/info", dir / "b", dir / "c"}));
    EXPECT_TRUE(watcher.poll().empty());
}

TEST(WorkbenchParts, TheMoveTableNamesKeysPlacesAndLinks) {
    EXPECT_EQ(moveTable::keys("DRA"), "Down, Forward, Z");
    EXPECT_EQ(moveTable::keys("LDC"), "Back, Down, C");
    EXPECT_EQ(moveTable::keys("UB"), "Up, X");
    EXPECT_EQ(moveTable::keys("X"), "") << "no button completes it";
    EXPECT_EQ(moveTable::keys("DU"), "");
    EXPECT_EQ(moveTable::keys(""), "");
    EXPECT_EQ(moveTable::place("null"), "ground or air");
    EXPECT_EQ(moveTable::place("ground is true"), "ground");
    EXPECT_EQ(moveTable::place("ground is false"), "air");
    EXPECT_EQ(moveTable::place("ground true"), "air") << "no third word: it holds in the air";
    EXPECT_EQ(moveTable::place("air is true"), "never");

    moveSet moves;
    auto add = [&](const std::string& name, const std::string& command,
                   const std::string& condition) -> moveInfo& {
        moves.moves.emplace_back();
        moveInfo& move = moves.moves.back();
        move.name = name;
        move.command = command;
        move.condition = condition;
        return move;
    };
    add("fireball", "DRA", "null");
    add("punch", "A", "ground is true");
    add("airPunch", "A", "ground is false");
    add("uppercut", "DA", "null").linkMove = "punch";
    add("sweep", "DB", "null").fromMove = "kick";
    add("hit1", "X", "null");
    // Moves without frames have no frame data: dashes.
    EXPECT_EQ(moveTable::markdown(moves),
              "| move | keys | where | startup ms | damage | on hit ms |\n"
              "|---|---|---|---|---|---|\n"
              "| `fireball` | Down, Forward, Z | ground or air | - | - | - |\n"
              "| `punch` | Z | ground | - | - | - |\n"
              "| `airPunch` | Z | air | - | - | - |\n"
              "| `uppercut` | Down, Z | after punch (link) | - | - | - |\n"
              "| `sweep` | Down, X | during kick (cancel) | - | - | - |\n")
        << "the game's own moves (hit1) are left out";
    // The web page's rows: the same moves, directions as arrows.
    EXPECT_EQ(moveTable::html(moves),
              "      <tr><td><kbd>&darr;</kbd> <kbd>&rarr;</kbd> <kbd>Z</kbd></td><td>fireball: "
              "ground or air</td></tr>\n"
              "      <tr><td><kbd>Z</kbd></td><td>punch: ground</td></tr>\n"
              "      <tr><td><kbd>Z</kbd></td><td>airPunch: air</td></tr>\n"
              "      <tr><td><kbd>&darr;</kbd> <kbd>Z</kbd></td><td>uppercut: after punch "
              "(link)</td></tr>\n"
              "      <tr><td><kbd>&darr;</kbd> <kbd>X</kbd></td><td>sweep: during kick "
              "(cancel)</td></tr>\n");
}

// A kick whose damage box was widened past the opponent's body: at 80
// pixels the box spans the body from side to side, no corner of either lies
// inside the other, and the bench says why the game misses it.
TEST_F(Workbench, ExplainsTheCornerRuleForABoxLyingAcrossTheBody) {
    const std::string info = data + "/Tavro/kick/info";
    std::string text = readText(info);
    size_t at = text.find("f01.bmp");
    ASSERT_NE(at, std::string::npos);
    for (int i = 0; i < 3; ++i)
        at = text.find('\n', at) + 1; // the damage box line
    text.replace(at, text.find('\n', at) - at, "150 130 240 160");
    edit(info, text);
    bench.start("kick");
    pass();
    stepToDamage();
    for (int i = 0; i < 7; ++i)
        press(SDLK_MINUS); // 10 pixels nearer each
    pass();
    ASSERT_EQ(bench.distance(), 80);
    EXPECT_TRUE(contains(allLines(bench),
                         "damage box overlaps its body, but no corner of either "
                         "lies inside the other: the game's corner test misses it"))
        << allLines(bench);
    for (int i = 0; i < 4; ++i)
        press(SDLK_EQUALS); // at 120 a corner of the box lies inside the body
    pass();
    EXPECT_TRUE(contains(allLines(bench), "damage box reaches its body")) << allLines(bench);
}

// The views for timing and place: air moves at jump height, the opponent's
// three stances, slow motion, the onion skin and the timeline strip.
TEST_F(Workbench, ShowsAirMovesHighTheOpponentsStancesAndSlowMotion) {
    bench.start("airKick");
    pass();
    EXPECT_EQ(bench.fighter().yPos, g_GroundLevel - workbench::airLift);
    press(SDLK_DOWN); // the next move, on the ground
    pass();
    EXPECT_EQ(bench.fighter().yPos, g_GroundLevel) << bench.entryName();

    EXPECT_EQ(bench.opponentStance(), "standing");
    press(SDLK_p);
    pass();
    EXPECT_EQ(bench.opponentStance(), "duck");
    EXPECT_TRUE(contains(allLines(bench), "opponent ducking")) << allLines(bench);
    press(SDLK_p);
    pass();
    EXPECT_EQ(bench.opponentStance(), "inAir");
    EXPECT_EQ(bench.opponent().yPos, g_GroundLevel - workbench::airLift);
    press(SDLK_p);
    pass();
    EXPECT_EQ(bench.opponentStance(), "standing");
    EXPECT_EQ(bench.opponent().yPos, g_GroundLevel);

    for (int expected : {2, 4, 8, 1}) {
        press(SDLK_m);
        pass();
        EXPECT_EQ(bench.slowdown(), expected);
        EXPECT_EQ(bench.fighter().speed, workbench::fighterSpeed * expected);
    }
    press(SDLK_m);
    pass();
    EXPECT_TRUE(contains(allLines(bench), "at 1/2")) << allLines(bench);

    EXPECT_FALSE(bench.onionShown());
    press(SDLK_k);
    pass();
    EXPECT_TRUE(bench.onionShown());
    EXPECT_TRUE(contains(allLines(bench), "onion skin"));
}

TEST_F(Workbench, TheTimelineMarksTheActiveFramesAndTheFrameShown) {
    auto count = [&](Uint32 rgb) {
        int n = 0;
        const int y = bench.timelineTop() + workbench::timelineHeight - 2;
        for (int x = 0; x < screen.surface()->w; ++x)
            n += rgbAt(screen.surface(), x, y) == rgb;
        return n;
    };
    bench.start("standing");
    pass();
    EXPECT_EQ(count(workbench::activeColour), 0) << "an animation never hurts";
    EXPECT_GT(count(workbench::idleColour), 0);
    bench.start("kick");
    press(SDLK_RIGHT); // pause on the first frame that hurts
    pass();
    EXPECT_GT(count(workbench::activeColour), 100) << "two of five frames hurt";
    // The frame data of the move, as --frame-data prints it.
    EXPECT_TRUE(contains(allLines(bench), "frame data: startup 45  active 96  recovery 90"))
        << allLines(bench);
    // The frame shown is outlined above its block.
    const int above = bench.timelineTop() - 2;
    int outlined = 0;
    for (int x = 0; x < screen.surface()->w; ++x)
        outlined += rgbAt(screen.surface(), x, above) == workbench::currentColour;
    EXPECT_GT(outlined, 20);
    EXPECT_LT(outlined, screen.surface()->w / 2);
}

// The particle preview plays the fireball's flight, with its box.
TEST_F(Workbench, ThePreviewFliesTheSpawnedParticles) {
    bench.start("fireball");
    for (int i = 0; i < bench.frameCount() && bench.fighter().current()->partNames.empty(); ++i) {
        press(SDLK_RIGHT);
        pass();
    }
    pass();
    ASSERT_EQ(bench.previewParticles(), 1);
    const int startX = bench.previewList()->head->item->sprite.xPos;
    clock.advance(200);
    pass();
    ASSERT_EQ(bench.previewParticles(), 1);
    EXPECT_GT(bench.previewList()->head->item->sprite.xPos, startX + 20) << "it flies forward";
    press(SDLK_v); // preview off: the flight ends
    pass();
    EXPECT_EQ(bench.previewParticles(), 0);
    EXPECT_FALSE(bench.particlePreview());
}
