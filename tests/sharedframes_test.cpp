// Frame sets that show the same bitmap file share one decoded image: a
// character whose moves and animations reuse a folder decodes it once, and
// its pixels count once against the frames' memory budget.  Sharing follows
// the file (any path to it), the colour key and the loader; a load under a
// budget of its own shares nothing with what is held; an image lives as long
// as the last set that shows it.
#include "sprite/CSpriteBase.h"
#include "sprite/paletteSwap.h"
#include "sprite/pixelStore.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace testing_support;

namespace {

std::string entry(const std::string& file, const std::string& key = "255 0 255") {
    return file + " 10 " + key +
           "\n10 0\n0 0 0 0\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n";
}

// A bitmap whose left half is one colour and right half another.
void writeTwoColourBmp(const std::string& path, int w, int h, Uint32 left, Uint32 right) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, left >> 16, (left >> 8) & 0xFF, left & 0xFF));
    SDL_Rect r = {static_cast<Sint16>(w / 2), 0, static_cast<Uint16>(w - w / 2),
                  static_cast<Uint16>(h)};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, right >> 16, (right >> 8) & 0xFF, right & 0xFF));
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
}

// folder/a.bmp (40 x 30, red left, blue right), folder/b.bmp (20 x 30) and
// an index showing a, b, a.
void writeFolder(const TempDir& dir, const std::string& folder) {
    dir.write(folder + "/info", "FILES: 3\n" + entry("a.bmp") + entry("b.bmp") + entry("a.bmp"));
    writeTwoColourBmp(dir / (folder + "/a.bmp"), 40, 30, 0xFF0000, 0x0000FF);
    dir.writeBmp(folder + "/b.bmp", 20, 30, 0x00FF00);
}

const long long bothImages = CSpriteBase::frameCost(40, 30) + CSpriteBase::frameCost(20, 30);

std::unique_ptr<CSpriteBase> loaded(const std::string& folder, bool resource = true) {
    auto set = std::make_unique<CSpriteBase>();
    EXPECT_EQ(0, resource ? set->initR(folder.c_str()) : set->init(folder.c_str())) << folder;
    return set;
}

} // namespace

TEST(SharedFrames, SetsOfOneFolderShareImagesMirrorsAndRunsAndCountThemOnce) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    writeFolder(dir, "punch");
    const long long before = CSpriteBase::decodedBytesInUse();
    const std::size_t slicesBefore = pixelStore::shared().slicesOut();

    std::unique_ptr<CSpriteBase> move = loaded(dir / "punch");
    EXPECT_EQ(before + bothImages, CSpriteBase::decodedBytesInUse());
    std::unique_ptr<CSpriteBase> anim = loaded(dir / "punch");
    EXPECT_EQ(before + bothImages, CSpriteBase::decodedBytesInUse()) << "counted once";
    ASSERT_EQ(3, anim->numFrames);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(move->frames[i].image, anim->frames[i].image) << i;
        EXPECT_EQ(move->flipFrames[i].image, anim->flipFrames[i].image) << i;
        EXPECT_EQ(move->frames[i].runs.runCount(), anim->frames[i].runs.runCount()) << i;
    }
    EXPECT_TRUE(anim->frames[0].runs.known());
    // Each frame of each set is still reported loaded, as when every set
    // decoded its own.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = trace.text().find("loaded frame", at)) != std::string::npos;
         ++at)
        ++lines;
    EXPECT_EQ(6u, lines);

    // Player 2's colours: one copy serves both sets.
    paletteSwap player2;
    colourSwap redToYellow;
    redToYellow.from[0] = 255;
    redToYellow.to[0] = redToYellow.to[1] = 255;
    player2.wear({redToYellow});
    SDL_Surface* worn = player2.worn(move->frames[0].image);
    EXPECT_EQ(worn, player2.worn(anim->frames[2].image));
    EXPECT_EQ(1u, player2.copies());
    EXPECT_EQ(0xFFFF00u, rgbAt(worn, 0, 0));

    // The first set gone, the second still shows its pixels, both facings.
    move.reset();
    EXPECT_EQ(before + bothImages, CSpriteBase::decodedBytesInUse());
    EXPECT_EQ(0xFF0000u, rgbAt(anim->frames[0].image, 0, 0));
    EXPECT_EQ(0x0000FFu, rgbAt(anim->flipFrames[0].image, 0, 0));
    EXPECT_EQ(0x00FF00u, rgbAt(anim->frames[1].image, 5, 5));
    // The last one gone, the budget and the pixel store have it all back.
    anim.reset();
    EXPECT_EQ(before, CSpriteBase::decodedBytesInUse());
    EXPECT_EQ(slicesBefore, pixelStore::shared().slicesOut());
}

TEST(SharedFrames, SharingFollowsTheFileTheColourKeyAndTheLoader) {
    namespace fs = std::filesystem;
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    writeFolder(dir, "punch");
    const long long before = CSpriteBase::decodedBytesInUse();
    std::unique_ptr<CSpriteBase> punch = loaded(dir / "punch");

    // Another path to the same folder, and the same files linked into
    // another folder: the same images.
    fs::create_directory_symlink(dir / "punch", dir / "alias");
    dir.write("linked/info",
              "FILES: 3\n" + entry("b.bmp") + entry("renamed.bmp") + entry("again.bmp"));
    fs::create_hard_link(dir / "punch/a.bmp", dir / "linked/renamed.bmp");
    fs::create_hard_link(dir / "punch/a.bmp", dir / "linked/again.bmp");
    fs::create_hard_link(dir / "punch/b.bmp", dir / "linked/b.bmp");
    std::unique_ptr<CSpriteBase> alias = loaded(dir / "alias");
    std::unique_ptr<CSpriteBase> linked = loaded(dir / "linked");
    EXPECT_EQ(punch->frames[0].image, alias->frames[0].image);
    EXPECT_EQ(punch->frames[0].image, linked->frames[1].image);
    EXPECT_EQ(punch->frames[1].image, linked->frames[0].image);
    EXPECT_EQ(punch->frames[0].image, linked->frames[2].image);
    EXPECT_EQ(before + bothImages, CSpriteBase::decodedBytesInUse());

    // The same bytes in another file, the same file with another key, the
    // same folder through the plain loader: decoded again.
    dir.write("copy/info", "FILES: 1\n" + entry("a.bmp"));
    fs::copy_file(dir / "punch/a.bmp", dir / "copy/a.bmp");
    dir.write("rekeyed/info", "FILES: 1\n" + entry("a.bmp", "0 0 255"));
    fs::create_hard_link(dir / "punch/a.bmp", dir / "rekeyed/a.bmp");
    std::unique_ptr<CSpriteBase> copy = loaded(dir / "copy");
    std::unique_ptr<CSpriteBase> rekeyed = loaded(dir / "rekeyed");
    std::unique_ptr<CSpriteBase> plain = loaded(dir / "punch", false);
    EXPECT_NE(punch->frames[0].image, copy->frames[0].image);
    EXPECT_NE(punch->frames[0].image, rekeyed->frames[0].image);
    EXPECT_NE(punch->frames[0].image, plain->frames[0].image);
    EXPECT_EQ(before + bothImages * 2 + CSpriteBase::frameCost(40, 30) * 2,
              CSpriteBase::decodedBytesInUse());
    EXPECT_EQ(0xFF0000u, rgbAt(copy->frames[0].image, 0, 0));
}

TEST(SharedFrames, ALoadUnderItsOwnBudgetOrAFileWrittenAgainSharesNothing) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    writeFolder(dir, "punch");
    const long long before = CSpriteBase::decodedBytesInUse();
    std::unique_ptr<CSpriteBase> held = loaded(dir / "punch");

    // What the workbench does on a reload: the files may have changed since
    // the character it holds was loaded.
    std::unique_ptr<CSpriteBase> reloaded;
    {
        CSpriteBase::separateBudget own;
        reloaded = loaded(dir / "punch");
        EXPECT_EQ(bothImages, CSpriteBase::decodedBytesInUse());
    }
    EXPECT_NE(held->frames[0].image, reloaded->frames[0].image);
    EXPECT_EQ(before + bothImages, CSpriteBase::decodedBytesInUse());

    // Under one budget, a bitmap written again is another image.
    writeTwoColourBmp(dir / "punch/a.bmp", 42, 30, 0x00FFFF, 0x0000FF);
    std::unique_ptr<CSpriteBase> after = loaded(dir / "punch");
    EXPECT_NE(held->frames[0].image, after->frames[0].image);
    EXPECT_EQ(held->frames[1].image, after->frames[1].image);
    EXPECT_EQ(0x00FFFFu, rgbAt(after->frames[0].image, 0, 0));
    EXPECT_EQ(0xFF0000u, rgbAt(held->frames[0].image, 0, 0));
    EXPECT_EQ(before + bothImages + CSpriteBase::frameCost(42, 30),
              CSpriteBase::decodedBytesInUse());
}
