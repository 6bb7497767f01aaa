// Frame sets (folder format, mirroring, sizes, failures) and sprites (timing,
// background save and restore, frame queries).
#include "base/platform.h"
#include "base/seams.h"
#include "sprite/CSprite.h"
#include "sprite/CSpriteBase.h"
#include "sprite/flipper.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace testing_support;
using Ints = std::vector<int>;

namespace {

// One frame entry with the given bitmap, pause, colour key and anchor.
std::string entry(const std::string& file, int pause, const std::string& key = "-1 0 0",
                  const std::string& anchor = "0 0") {
    return file + " " + std::to_string(pause) + " " + key + "\n" + anchor +
           "\n0 0 0 0\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n";
}

// The numbers of a frame in file order (flags as 0/1).
Ints numbers(const spriteFrame& f) {
    return {f.pause,   f.offsetX, f.offsetY, f.colX1,  f.colY1, f.colX2,   f.colY2,   f.dmgX1,
            f.dmgY1,   f.dmgX2,   f.dmgY2,   f.damage, f.flagA, f.hitType, f.pointAX, f.pointAY,
            f.pointBX, f.pointBY, f.partNum, f.moveX,  f.moveY, f.flagB};
}

// A bitmap whose left half is one colour and right half another.
void writeTwoColourBmp(const TempDir& dir, const std::string& rel, int w, int h, Uint32 left,
                       Uint32 right) {
    dir.write(rel, ""); // makes the folder
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, left >> 16, (left >> 8) & 0xFF, left & 0xFF));
    SDL_Rect r = {static_cast<Sint16>(w / 2), 0, static_cast<Uint16>(w - w / 2),
                  static_cast<Uint16>(h)};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, right >> 16, (right >> 8) & 0xFF, right & 0xFF));
    SDL_SaveBMP(s, (dir / rel).c_str());
    SDL_FreeSurface(s);
}

} // namespace

TEST(FrameSet, ReadsEveryFieldOfTheIndex) {
    HeadlessScreen screen;
    TempDir dir;
    writeTwoColourBmp(dir, "f/a.bmp", 20, 10, 0xFF00FF, 0x112233);
    writeTwoColourBmp(dir, "f/b.bmp", 20, 10, 0xFF00FF, 0x112233);
    dir.writeBmp("f/c.bmp", 20, 10, 0x112233);
    dir.write("f/info", "FILES: 3\r\n# first frame\r\n\r\n"
                        "a.bmp 40 255 0 255\r\n3 4\r\n1 2 11 12\r\n5 6 15 16\r\n25\r\n1\r\n2\r\n"
                        "7 8\r\n9 10\r\npunch\r\n2\r\nfireball 40 10\r\n# kept as it is\r\n"
                        "-3 5\r\n0\r\ntagA\r\n"
                        "\n# between entries\n"
                        "b.bmp 60 -1 0 0\n# inside an entry this is the anchor line\n1 2 3 4\n"
                        "\n7\n0\n3\n1 1\n2 2\nNULL\n0\n4 0\n1\ntagB\n"
                        "c.bmp 70 -1 0 0\n5\n");
    TraceCapture trace;
    CSpriteBase set;
    ASSERT_EQ(0, set.initR((dir / "f").c_str()));
    ASSERT_EQ(3, set.numFrames);
    ASSERT_EQ(3u, set.flipFrames.size());

    const spriteFrame& a = set.frames[0];
    EXPECT_EQ((Ints{40, 3, 4, 1, 2, 11, 12, 5, 6, 15, 16, 25, 1, 2, 7, 8, 9, 10, 2, -3, 5, 0}),
              numbers(a));
    EXPECT_EQ("punch", a.soundName);
    EXPECT_EQ((std::vector<std::string>{"fireball 40 10\r\n", "# kept as it is\r\n"}), a.partNames);
    EXPECT_EQ("tagA", a.tagName);
    // Keyed on pink (the key sits on a CRLF line): the pink half is not drawn.
    SDL_Surface* s = screen.surface();
    EXPECT_EQ(0x00FF00u, drawnPixel(s, a.image, 0x00FF00, 2, 2));
    EXPECT_EQ(0x112233u, drawnPixel(s, a.image, 0x00FF00, 15, 2));

    // The comment inside the entry is its anchor line (no numbers there), so
    // every later line is read one field late; the blank line counts too.
    const spriteFrame& b = set.frames[1];
    EXPECT_EQ((Ints{60, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0, 7, 0, 3, 1, 1, 2, 2, 0, 4, 0, 1}),
              numbers(b));
    EXPECT_EQ("NULL", b.soundName);
    EXPECT_EQ("tagB", b.tagName);
    EXPECT_EQ(0xFF00FFu, drawnPixel(s, b.image, 0x00FF00, 2, 2)); // no key: drawn whole

    // The file ends inside the last entry: what it lacks stays empty.
    EXPECT_EQ(70, set.frames[2].pause);
    EXPECT_EQ(5, set.frames[2].offsetX);
    EXPECT_EQ("", set.frames[2].soundName);
    EXPECT_NE(nullptr, set.frames[2].image);
}

TEST(FrameSet, ColourKeyOnlyWhenRedIsNotNegative) {
    HeadlessScreen screen;
    TempDir dir;
    dir.writeBmp("f/pink.bmp", 8, 8, 0xFF00FF);
    // -1 0 0 draws opaque; 255 -256 511 wraps to 255 0 255, the pink itself.
    dir.write("f/info",
              "FILES: 2\n" + entry("pink.bmp", 10) + entry("pink.bmp", 10, "255 -256 511"));
    TraceCapture trace;
    CSpriteBase set;
    ASSERT_EQ(0, set.init((dir / "f").c_str()));
    SDL_Surface* s = screen.surface();
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 255, 0));
    CSprite sprite;
    sprite.init(&set, s);
    sprite.animating = 0;
    sprite.xPos = 10;
    sprite.draw();
    sprite.frame = 1;
    sprite.xPos = 30;
    sprite.draw();
    sprite.xPos = 50;
    sprite.drawD(false);
    EXPECT_EQ(0xFF00FFu, rgbAt(s, 13, 3));
    EXPECT_EQ(0x00FF00u, rgbAt(s, 33, 3));
    EXPECT_EQ(0x00FF00u, rgbAt(s, 53, 3));
}

// Keyed frames are drawn from the opaque runs worked out when they load, as
// fighters and particles draw them (facing given).  Whatever the SDL 1.2
// underneath, such a frame must draw exactly what a plain keyed blit draws:
// every pixel but the key's, nothing beside it, clipped at the screen's edges,
// facing either way, on the first draw and later ones.
TEST(FrameSet, RunLengthFramesDrawLikePlainOnes) {
    HeadlessScreen screen;
    TempDir dir;
    // Rows: all key, no key, alternating, key at both ends, runs of three;
    // then a body, the key only at its right end.
    const int w = 48, h = 40;
    auto isKey = [](int x, int y) {
        return y == 0 || (y == 2 && x % 2 == 0) || (y == 3 && (x < 3 || x > 44)) ||
               (y == 4 && (x / 3) % 2 == 1) || (y > 4 && x > 40);
    };
    SDL_Surface* art =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            SDL_Rect dot = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(art, &dot,
                         isKey(x, y) ? SDL_MapRGB(art->format, 255, 0, 255)
                                     : SDL_MapRGB(art->format, 5 * x, 6 * y, 200));
        }
    dir.write("f/info", "FILES: 1\n" + entry("art.bmp", 10, "255 0 255"));
    SDL_SaveBMP(art, (dir / "f/art.bmp").c_str());
    TraceCapture trace;
    CSpriteBase set;
    ASSERT_EQ(0, set.init((dir / "f").c_str()));

    SDL_Surface* s = screen.surface();
    CSprite sprite;
    sprite.init(&set, s);
    sprite.animating = 0;
    auto background = [](int x, int y) {
        return static_cast<Uint32>((x * 3) << 16 | (y * 4) << 8 | 9);
    };
    for (bool facing : {true, false}) {
        SDL_Surface* image = facing ? set.frames[0].image : set.flipFrames[0].image;
        EXPECT_TRUE((facing ? set.frames[0] : set.flipFrames[0]).runs.known());
        // The same pixels, keyed but never run-length encoded.
        SDL_Surface* plain = SDL_ConvertSurface(image, image->format, SDL_SWSURFACE);
        ASSERT_NE(nullptr, plain);
        SDL_SetColorKey(plain, SDL_SRCCOLORKEY, SDL_MapRGB(plain->format, 255, 0, 255));
        for (SDL_Rect at :
             {SDL_Rect{5, 7, 0, 0}, SDL_Rect{-3, -2, 0, 0}, SDL_Rect{790, 597, 0, 0},
              SDL_Rect{-30, 300, 0, 0}, SDL_Rect{770, -20, 0, 0}, SDL_Rect{5, 7, 0, 0}}) {
            std::vector<Uint32> shown[2];
            for (int copy = 0; copy < 2; ++copy) {
                for (int y = 0; y < h + 16; ++y)
                    for (int x = 0; x < w + 16; ++x) {
                        SDL_Rect dot = {static_cast<Sint16>(at.x - 8 + x),
                                        static_cast<Sint16>(at.y - 8 + y), 1, 1};
                        Uint32 rgb = background(x, y);
                        SDL_FillRect(
                            s, &dot,
                            SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
                    }
                if (copy == 0) {
                    sprite.xPos = at.x;
                    sprite.yPos = at.y;
                    sprite.drawD(facing);
                } else {
                    SDL_Rect target = at;
                    SDL_BlitSurface(plain, nullptr, s, &target);
                }
                for (int y = 0; y < h + 16; ++y)
                    for (int x = 0; x < w + 16; ++x) {
                        int sx = at.x - 8 + x, sy = at.y - 8 + y;
                        if (sx >= 0 && sy >= 0 && sx < s->w && sy < s->h)
                            shown[copy].push_back(rgbAt(s, sx, sy));
                    }
            }
            ASSERT_EQ(shown[1], shown[0]) << "facing " << facing << " at " << at.x << "," << at.y;
            // And by hand, for the first rectangle: the key's pixels show the background.
            if (at.x == 5) {
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        int ax = facing ? x : w - 1 - x;
                        Uint32 want =
                            isKey(ax, y) ? background(x + 8, y + 8)
                                         : static_cast<Uint32>((5 * ax) << 16 | (6 * y) << 8 | 200);
                        ASSERT_EQ(want, rgbAt(s, 5 + x, 7 + y))
                            << x << "," << y << " facing " << facing;
                    }
            }
        }
        SDL_FreeSurface(plain);
    }
    SDL_FreeSurface(art);
}

TEST(FrameSet, MirrorsImagesAndXValues) {
    HeadlessScreen screen;
    TempDir dir;
    writeTwoColourBmp(dir, "f/half.bmp", 100, 4, 0xFF0000, 0x0000FF);
    dir.write("f/info", "FILES: 1\nhalf.bmp 10 -1 0 0\n30 5\n10 0 40 3\n20 1 25 2\n0\n0\n0\n"
                        "12 0\n100 0\nNULL\n0\n0 0\n0\nx\n");
    TraceCapture trace;
    CSpriteBase set;
    ASSERT_EQ(0, set.init((dir / "f").c_str()));
    const spriteFrame& m = set.flipFrames[0];
    EXPECT_EQ((Ints{70, 60, 90, 75, 80, 88, 0}),
              (Ints{m.offsetX, m.colX1, m.colX2, m.dmgX1, m.dmgX2, m.pointAX, m.pointBX}));

    SDL_Surface* s = screen.surface();
    CSprite sprite;
    sprite.init(&set, s);
    sprite.drawD(false);
    EXPECT_EQ((Ints{0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000}),
              (Ints{int(rgbAt(s, 0, 0)), int(rgbAt(s, 49, 3)), int(rgbAt(s, 50, 0)),
                    int(rgbAt(s, 99, 3))}));
    sprite.drawD(true);
    EXPECT_EQ(0xFF0000u, rgbAt(s, 0, 0));
    EXPECT_EQ(0x0000FFu, rgbAt(s, 99, 3));
}

namespace {

// A 24-bit bitmap of noise with some pixels of the key colour 255 0 255.
void writeNoiseBmp(const TempDir& dir, const std::string& rel, int w, int h, Uint32 seed) {
    dir.write(rel, "");
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    SDL_LockSurface(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            Uint32 rgb = (seed >> 8) % 5 == 0 ? 0xFF00FF : seed >> 8;
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
            p[0] = rgb & 0xFF; // the masks above put blue in the first byte
            p[1] = (rgb >> 8) & 0xFF;
            p[2] = (rgb >> 16) & 0xFF;
        }
    SDL_UnlockSurface(s);
    SDL_SaveBMP(s, (dir / rel).c_str());
    SDL_FreeSurface(s);
}

// The frame and its mirror the long way: decode, convert to the display
// format, key, convert again; mirror column by column into a new surface
// and convert that.
struct referenceFrame {
    SDL_Surface* image = nullptr;
    SDL_Surface* mirror = nullptr;
    ~referenceFrame() {
        SDL_FreeSurface(image);
        SDL_FreeSurface(mirror);
    }
};

void buildReference(referenceFrame& out, const std::string& path, bool keyed) {
    SDL_Surface* decoded = SDL_LoadBMP(path.c_str());
    SDL_Surface* loaded = SDL_DisplayFormat(decoded);
    SDL_FreeSurface(decoded);
    if (keyed)
        SDL_SetColorKey(loaded, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                        SDL_MapRGB(loaded->format, 255, 0, 255));
    out.image = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    SDL_Surface* flipped =
        SDL_CreateRGBSurface(0, out.image->w, out.image->h, 32, out.image->format->Rmask,
                             out.image->format->Gmask, out.image->format->Bmask, 0);
    for (int x = 0; x < out.image->w; ++x)
        for (int y = 0; y < out.image->h; ++y)
            flipper::put_pixel32(flipped, out.image->w - 1 - x, y,
                                 flipper::get_pixel32(out.image, x, y));
    if (keyed)
        SDL_SetColorKey(flipped, SDL_SRCCOLORKEY | SDL_RLEACCEL, out.image->format->colorkey);
    out.mirror = SDL_DisplayFormat(flipped);
    SDL_FreeSurface(flipped);
}

// Same size, layout, key and bytes (all four of every pixel).
void expectSameSurface(SDL_Surface* a, SDL_Surface* b, const std::string& what) {
    ASSERT_TRUE(a && b) << what;
    ASSERT_EQ((Ints{a->w, a->h, a->format->BitsPerPixel}),
              (Ints{b->w, b->h, b->format->BitsPerPixel}))
        << what;
    EXPECT_EQ((std::vector<Uint32>{a->format->Rmask, a->format->Gmask, a->format->Bmask,
                                   a->format->Amask}),
              (std::vector<Uint32>{b->format->Rmask, b->format->Gmask, b->format->Bmask,
                                   b->format->Amask}))
        << what;
    EXPECT_EQ(a->flags & SDL_SRCCOLORKEY, b->flags & SDL_SRCCOLORKEY) << what;
    if (a->flags & SDL_SRCCOLORKEY) {
        EXPECT_EQ(a->format->colorkey, b->format->colorkey) << what;
    }
    SDL_LockSurface(a);
    SDL_LockSurface(b);
    int differing = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            differing += flipper::get_pixel32(a, x, y) != flipper::get_pixel32(b, x, y);
    SDL_UnlockSurface(b);
    SDL_UnlockSurface(a);
    EXPECT_EQ(differing, 0) << what;
}

} // namespace

// Frames are converted to the display format once and mirrored row by row
// straight into their own surface; what comes out must be, byte for byte,
// what converting at every step and mirroring column by column gives, for
// both loaders, keyed and opaque frames, odd widths included.
TEST(FrameSet, FramesAndMirrorsAreExactlyTheConvertedAndMirroredBitmaps) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    writeNoiseBmp(dir, "f/keyed.bmp", 37, 23, 1);
    writeNoiseBmp(dir, "f/opaque.bmp", 240, 240, 2);
    dir.write("f/info", "FILES: 2\n" + entry("keyed.bmp", 1, "255 0 255", "3 4") +
                            entry("opaque.bmp", 1, "-1 0 0", "3 4"));
    referenceFrame keyed, opaque;
    buildReference(keyed, dir / "f/keyed.bmp", true);
    buildReference(opaque, dir / "f/opaque.bmp", false);

    CSpriteBase plain, resource;
    ASSERT_EQ(0, plain.init((dir / "f").c_str()));
    ASSERT_EQ(0, resource.initR((dir / "f").c_str()));
    for (CSpriteBase* set : {&plain, &resource}) {
        ASSERT_EQ(set->numFrames, 2);
        expectSameSurface(set->frames[0].image, keyed.image, "keyed frame");
        expectSameSurface(set->flipFrames[0].image, keyed.mirror, "keyed mirror");
        expectSameSurface(set->frames[1].image, opaque.image, "opaque frame");
        expectSameSurface(set->flipFrames[1].image, opaque.mirror, "opaque mirror");
        // How keyed frames draw through their run-length copies:
        // RunLengthFramesDrawLikePlainOnes.
    }
}

TEST(FrameSet, FirstFrameSizesPlainLoadLastFrameSizesResourceLoad) {
    HeadlessScreen screen;
    TempDir dir;
    dir.writeBmp("f/small.bmp", 64, 64, 0x101010);
    dir.writeBmp("f/big.bmp", 80, 80, 0x202020);
    dir.write("f/info", "FILES: 2\n" + entry("small.bmp", 1, "-1 0 0", "30 0") +
                            entry("big.bmp", 1, "-1 0 0", "30 0"));
    TraceCapture trace;
    const std::string cwd = platform::currentDirectory();

    CSpriteBase plain;
    ASSERT_EQ(0, plain.init((dir / "f").c_str()));
    EXPECT_EQ((Ints{64, 64, 34}), (Ints{plain.width, plain.height, plain.flipFrames[1].offsetX}));

    CSpriteBase resource;
    ASSERT_EQ(0, resource.initR((dir / "f").c_str()));
    EXPECT_EQ((Ints{80, 80, 34, 50}),
              (Ints{resource.width, resource.height, resource.flipFrames[0].offsetX,
                    resource.flipFrames[1].offsetX}));
    EXPECT_EQ(cwd, platform::currentDirectory());

    // A set that already has a size keeps it under the plain loader.
    CSpriteBase sized;
    sized.width = 10;
    sized.height = 20;
    ASSERT_EQ(0, sized.init((dir / "f").c_str()));
    EXPECT_EQ((Ints{10, 20, -20}), (Ints{sized.width, sized.height, sized.flipFrames[0].offsetX}));
}

TEST(FrameSet, MissingIndexOrBitmapFailsAndKeepsWhatWasLoaded) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    CSpriteBase missing;
    const std::string folder = dir / "nothing";
    EXPECT_EQ(-1, missing.initR(folder.c_str()));
    EXPECT_EQ("ERROR opening file " + folder + "/info\n\n", trace.text());
    EXPECT_EQ(0, missing.built);
    EXPECT_EQ(-1, missing.init(folder.c_str()));

    dir.writeBmp("f/a.bmp", 4, 4, 0x123456);
    dir.write("f/info",
              "FILES: 3\n" + entry("a.bmp", 5) + entry("gone.bmp", 6) + entry("a.bmp", 7));
    CSpriteBase partly;
    EXPECT_EQ(-1, partly.init((dir / "f").c_str()));
    EXPECT_EQ(1, partly.built);
    ASSERT_EQ(1, partly.numFrames);
    EXPECT_EQ(5, partly.frames[0].pause);
    EXPECT_FALSE(partly.hasFrame(1));
}

TEST(FrameSet, FrameCountNeverExceedsTheEntriesInTheFile) {
    HeadlessScreen screen;
    TempDir dir;
    dir.writeBmp("f/a.bmp", 4, 4, 0x123456);
    TraceCapture trace;
    struct Case {
        std::string header;
        int frames;
    } cases[] = {{"FILES: 2000000000", 2}, {"FILES: 99999999999999", 2},
                 {"FILES: -5", 0},         {"FRAMES: 2", 0},
                 {"FILES: 1", 1},          {"", 0}};
    for (const Case& c : cases) {
        dir.write("f/info", c.header + "\n" + entry("a.bmp", 5) + "# trailing comment\n" +
                                entry("a.bmp", 6) + "\n# the end\n\n");
        CSpriteBase set;
        EXPECT_EQ(0, set.initR((dir / "f").c_str())) << c.header;
        EXPECT_EQ(1, set.built);
        EXPECT_EQ(c.frames, set.numFrames) << c.header;
        EXPECT_EQ(size_t(c.frames), set.frames.size()) << c.header;
        EXPECT_EQ(size_t(c.frames), set.flipFrames.size()) << c.header;
    }

    // A huge spawn count reads the rest of the file as spawn lines, no more.
    dir.write("f/info", "FILES: 1\na.bmp 5 -1 0 0\n0 0\n0 0 0 0\n0 0 0 0\n0\n0\n0\n0 0\n0 0\n"
                        "NULL\n2147483647\none\ntwo\n");
    CSpriteBase spawns;
    EXPECT_EQ(0, spawns.initR((dir / "f").c_str()));
    ASSERT_EQ(1, spawns.numFrames);
    EXPECT_EQ(2, spawns.frames[0].partNum);
    EXPECT_EQ("two\n", spawns.frames[0].partNames[1]);

    // Loading again replaces the frames; moving hands them over.
    dir.write("f/info", "FILES: 1\n" + entry("a.bmp", 9));
    ASSERT_EQ(0, spawns.initR((dir / "f").c_str()));
    CSpriteBase moved(std::move(spawns));
    EXPECT_EQ(0, spawns.numFrames);
    EXPECT_TRUE(spawns.frames.empty());
    ASSERT_EQ(1, moved.numFrames);
    EXPECT_EQ(9, moved.frames[0].pause);
}

TEST(FrameSetDeathTest, ResourceLoaderEndsTheGameOnABadBitmap) {
    TempDir dir;
    dir.write("f/info", "FILES: 1\n" + entry("gone.bmp", 5));
    dir.write("g/info", "FILES: 1\n" + entry("junk.bmp", 5));
    dir.write("g/junk.bmp", "this is no bitmap");
    const std::string missing = dir / "f";
    const std::string junk = dir / "g";
    EXPECT_EXIT(
        {
            HeadlessScreen screen;
            CSpriteBase set;
            set.initR(missing.c_str());
        },
        testing::ExitedWithCode(1), "Error opening resource file");
    EXPECT_EXIT(
        {
            HeadlessScreen screen;
            seams::setTraceStream(&std::cerr);
            CSpriteBase set;
            set.initR(junk.c_str());
        },
        testing::ExitedWithCode(1), "Unable to load bitmap: ");
    EXPECT_EXIT(
        {
            HeadlessScreen screen;
            CSpriteBase set;
            set.loadFromResource((missing + "/nowhere").c_str(), "a.bmp");
        },
        testing::ExitedWithCode(1), "opendir failure");
}

TEST(PixelAccess, HonoursThePitchAndMirrors) {
    // 3 pixels wide, rows padded to 5 pixels.
    std::vector<Uint32> pixels(5 * 2, 0xDEADBEEF);
    SDL_Surface* s =
        SDL_CreateRGBSurfaceFrom(pixels.data(), 3, 2, 32, 5 * 4, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_NE(nullptr, s);
    flipper::put_pixel32(s, 0, 1, 0x111111);
    flipper::put_pixel32(s, 2, 1, 0x333333);
    flipper::put_pixel32(s, 1, 0, 0x222222);
    EXPECT_EQ(0x111111u, pixels[5]);
    EXPECT_EQ(0x333333u, pixels[7]);
    EXPECT_EQ(0xDEADBEEFu, pixels[3]); // the padding is never touched
    EXPECT_EQ(0x111111u, flipper::get_pixel32(s, 0, 1));

    SDL_SetColorKey(s, SDL_SRCCOLORKEY, 0x222222);
    SDL_Surface* m = flipper::flip_surface(s);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ((std::vector<Uint32>{0x333333, 0xDEADBEEF, 0x111111, 0x222222}),
              (std::vector<Uint32>{flipper::get_pixel32(m, 0, 1), flipper::get_pixel32(m, 1, 1),
                                   flipper::get_pixel32(m, 2, 1), flipper::get_pixel32(m, 1, 0)}));
    // The mirror keeps the key: its key pixel leaves what is under it.
    SDL_Surface* under = SDL_CreateRGBSurface(0, 3, 2, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    EXPECT_EQ(0x555555u, drawnPixel(under, m, 0x555555, 1, 0));
    EXPECT_EQ(0x333333u, drawnPixel(under, m, 0x555555, 0, 1));
    SDL_FreeSurface(under);
    SDL_FreeSurface(m);
    SDL_FreeSurface(s);
}

// Rows are mirrored several pixels at a time with the rest one by one, so
// every width from one pixel up to a few groups, with padded rows, must come
// out as the row read backwards.
TEST(PixelAccess, MirrorsEveryRowWidth) {
    for (int w = 1; w <= 13; ++w) {
        const int pitchPixels = w + 3, h = 2;
        std::vector<Uint32> pixels(pitchPixels * h), mirrored(pitchPixels * h, 0xDEADBEEF);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = 0x010203u * static_cast<Uint32>(i);
        SDL_Surface* s = SDL_CreateRGBSurfaceFrom(pixels.data(), w, h, 32, pitchPixels * 4,
                                                  0xFF0000, 0x00FF00, 0x0000FF, 0);
        SDL_Surface* m = SDL_CreateRGBSurfaceFrom(mirrored.data(), w, h, 32, pitchPixels * 4,
                                                  0xFF0000, 0x00FF00, 0x0000FF, 0);
        ASSERT_TRUE(s && m);
        ASSERT_TRUE(flipper::mirrorInto(s, m));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(flipper::get_pixel32(s, w - 1 - x, y), flipper::get_pixel32(m, x, y))
                    << "width " << w << " at " << x << "," << y;
            for (int x = w; x < pitchPixels; ++x)
                ASSERT_EQ(0xDEADBEEFu, mirrored[y * pitchPixels + x]) << "padding written";
        }
        SDL_FreeSurface(m);
        SDL_FreeSurface(s);
    }
}

// ---- sprites -------------------------------------------------------------

namespace {

struct SpriteScene {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    CSpriteBase set;

    // Three 10x10 frames (red, green, blue), pauses 10, 20, 30; frame 1
    // carries the data.
    SpriteScene() {
        dir.writeBmp("s/a.bmp", 10, 10, 0xFF0000);
        dir.writeBmp("s/b.bmp", 10, 10, 0x00FF00);
        dir.writeBmp("s/c.bmp", 10, 10, 0x0000FF);
        dir.write("s/info", "FILES: 3\n" + entry("a.bmp", 10) +
                                "b.bmp 20 -1 0 0\n2 9\n1 2 4 6\n0 1 5 8\n33\n1\n4\n0 0\n0 0\n"
                                "whoosh\n2\nspark 1 2\nsmoke\n7 0\n0\nb\n" +
                                entry("c.bmp", 30));
        if (set.initR((dir / "s").c_str()) != 0) throw std::runtime_error("no set");
    }
};

} // namespace

TEST(Sprite, AdvancesOneFrameWhenStrictlyDue) {
    SpriteScene scene;
    ManualClock clock(1000);
    CSprite sprite;
    sprite.init(&scene.set, scene.screen.surface());
    sprite.speed = 2.0f;
    sprite.lastTick = 1000;
    clock.set(1020); // due at 1000 + 10 * 2: not yet
    sprite.advanceFrame();
    sprite.draw();
    EXPECT_EQ(0, sprite.frame);
    EXPECT_EQ(1, sprite.drawn);
    clock.set(1021);
    sprite.advanceFrame();
    sprite.draw();
    EXPECT_EQ(1, sprite.frame);
    EXPECT_EQ(1021, sprite.lastTick);
    clock.set(5000); // very late: still one step per pass
    sprite.advanceFrame();
    sprite.drawD(false);
    EXPECT_EQ(2, sprite.frame);
    clock.set(5061);
    sprite.advanceFrame();
    sprite.draw();
    EXPECT_EQ(0, sprite.frame); // wraps
    EXPECT_EQ(0xFF0000u, rgbAt(scene.screen.surface(), 5, 5));

    sprite.animating = 0;
    clock.set(9000);
    sprite.advanceFrame();
    sprite.draw();
    EXPECT_EQ(0, sprite.frame);

    // Speed 0: every frame lasts until the next tick.
    sprite.animating = 1;
    sprite.speed = 0.0f;
    sprite.lastTick = 9000;
    sprite.advanceFrame();
    sprite.draw();
    EXPECT_EQ(0, sprite.frame);
    clock.set(9001);
    sprite.advanceFrame();
    sprite.draw();
    EXPECT_EQ(1, sprite.frame);

    // A one-frame set steps past its only frame and wraps in the same draw.
    TempDir dir;
    dir.writeBmp("o/a.bmp", 4, 4, 0xFF0000);
    dir.write("o/info", "FILES: 1\n" + entry("a.bmp", 10));
    CSpriteBase one;
    ASSERT_EQ(0, one.initR((dir / "o").c_str()));
    CSprite single;
    single.init(&one, scene.screen.surface());
    single.speed = 1.0f;
    single.advanceFrame();
    single.draw();
    EXPECT_EQ(0, single.frame);
    EXPECT_EQ(9001, single.lastTick);
    single.frame = 5; // past the end: starts over
    clock.set(9002);
    single.advanceFrame();
    single.draw();
    EXPECT_EQ(0, single.frame);
}

TEST(Sprite, RestoresTheExactBackgroundItCovered) {
    SpriteScene scene;
    SDL_Surface* s = scene.screen.surface();
    // A pattern where neighbouring pixels differ, one pixel pink like a key.
    SDL_LockSurface(s);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            flipper::put_pixel32(s, x, y,
                                 SDL_MapRGB(s->format, x & 0xFF, y & 0xFF, (x + y) & 0xFF));
    SDL_UnlockSurface(s);
    SDL_Rect pink = {103, 52, 1, 1};
    SDL_FillRect(s, &pink, SDL_MapRGB(s->format, 255, 0, 255));
    auto area = [s] {
        std::vector<Uint32> pixels;
        for (int y = 40; y < 70; ++y)
            for (int x = 90; x < 120; ++x)
                pixels.push_back(rgbAt(s, x, y));
        return pixels;
    };
    const std::vector<Uint32> before = area();

    ManualClock clock(0);
    CSprite sprite;
    sprite.init(&scene.set, s);
    sprite.animating = 0;
    sprite.clearBG(); // not drawn yet: nothing happens
    EXPECT_EQ(before, area());
    sprite.xPos = 100;
    sprite.yPos = 50;
    sprite.updateBG();
    sprite.draw();
    EXPECT_EQ(0xFF0000u, rgbAt(s, 103, 52));
    sprite.xPos = 300; // the save goes back where it was taken
    sprite.clearBG();
    EXPECT_EQ(before, area());

    // Re-initialising on a set of the same size keeps the save surface.
    SDL_Surface* save = sprite.backSave;
    sprite.init(&scene.set, s);
    EXPECT_EQ(save, sprite.backSave);

    // Partly off screen: clipped, restored all the same.
    sprite.xPos = -5;
    sprite.yPos = 595;
    Uint32 corner = rgbAt(s, 0, 599);
    sprite.updateBG();
    sprite.draw();
    EXPECT_EQ(0xFF0000u, rgbAt(s, 0, 599));
    sprite.clearBG();
    EXPECT_EQ(corner, rgbAt(s, 0, 599));
}

TEST(Sprite, FrameTimingHoldsAcrossTheClockWrapping) {
    SpriteScene scene;
    CSprite sprite;
    sprite.init(&scene.set, scene.screen.surface());
    sprite.speed = 2.0f;
    // Past the top of the signed range (24.8 days), then past 2^32 (49.7).
    for (Uint32 start : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
        ManualClock clock(start);
        sprite.frame = 0;
        sprite.lastTick = static_cast<int>(start);
        clock.set(start + 20); // due after 20 ms: not yet
        sprite.advanceFrame();
        sprite.draw();
        EXPECT_EQ(0, sprite.frame) << start;
        clock.set(start + 21);
        sprite.advanceFrame();
        sprite.draw();
        EXPECT_EQ(1, sprite.frame) << start;
        clock.set(start + 30); // shown 9 ms of 20
        sprite.advanceFrame();
        sprite.draw();
        EXPECT_EQ(1, sprite.frame) << start;
    }
}

TEST(Sprite, SavesAndRestoresTheWholeSetRectangleWhateverTheFirstFrameSize) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    SDL_Surface* s = screen.surface();
    ManualClock clock(0);
    // The last frame sizes a set; the first may be larger (a shrinking
    // spark) or smaller (a growing blast) than that.
    dir.writeBmp("shrink/big.bmp", 20, 20, 0xFF0000);
    dir.writeBmp("shrink/small.bmp", 10, 10, 0x00FF00);
    dir.write("shrink/info", "FILES: 2\n" + entry("big.bmp", 10) + entry("small.bmp", 10));
    dir.writeBmp("grow/small.bmp", 10, 10, 0x00FF00);
    dir.writeBmp("grow/big.bmp", 20, 20, 0xFF0000);
    dir.write("grow/info", "FILES: 2\n" + entry("small.bmp", 10) + entry("big.bmp", 10));
    for (const char* folder : {"shrink", "grow"}) {
        CSpriteBase set;
        ASSERT_EQ(0, set.initR((dir / folder).c_str()));
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 255));
        CSprite sprite;
        sprite.init(&set, s);
        sprite.animating = 0;
        sprite.frame = 1; // the frame of the set's own size
        sprite.xPos = 100;
        sprite.yPos = 100;
        sprite.updateBG();
        sprite.draw();
        EXPECT_NE(0x0000FFu, rgbAt(s, 109, 109)) << folder;
        sprite.clearBG();
        for (int y = 95; y < 125; ++y)
            for (int x = 95; x < 125; ++x)
                ASSERT_EQ(0x0000FFu, rgbAt(s, x, y)) << folder << " at " << x << "," << y;
    }
}

TEST(Sprite, AnswersQuestionsAboutTheCurrentFrame) {
    SpriteScene scene;
    CSprite sprite;
    sprite.init(&scene.set, scene.screen.surface());
    sprite.frame = 1;
    sprite.xPos = 100;
    sprite.yPos = 200;
    colBox right = sprite.getColBox(true);
    colBox left = sprite.getColBox(false); // mirrored in the 10-wide set
    EXPECT_EQ((Ints{101, 202, 104, 206}), (Ints{right.left, right.top, right.right, right.bottom}));
    EXPECT_EQ((Ints{106, 202, 109, 206}), (Ints{left.left, left.top, left.right, left.bottom}));
    EXPECT_EQ(33, sprite.getDamage());
    EXPECT_EQ(4, sprite.getHitType());
    EXPECT_EQ("whoosh", sprite.returnSound());
    EXPECT_EQ(2, sprite.returnPartNum());
    EXPECT_EQ("spark 1 2\n", sprite.returnParticle(1));
    EXPECT_EQ("smoke\n", sprite.returnParticle(2));
    EXPECT_EQ("", sprite.returnParticle(0));
    EXPECT_EQ("", sprite.returnParticle(3));
    EXPECT_EQ(8, sprite.getYOffset(1));
    EXPECT_EQ(0, sprite.getYOffset(7));

    sprite.moveD(true);
    EXPECT_EQ(107, sprite.xPos);
    sprite.moveD(false);
    EXPECT_EQ(100, sprite.xPos);
    sprite.adjustPos(400, 300, true);
    EXPECT_EQ((Ints{398, 291}), (Ints{sprite.xPos, sprite.yPos}));
    sprite.adjustPos(400, 300, false);
    EXPECT_EQ(392, sprite.xPos); // mirrored anchor 10 - 2

    sprite.drawColBoxes();
    EXPECT_EQ(0xFF0000u, rgbAt(scene.screen.surface(), 393, 293));
}

TEST(Sprite, EmptyOrMissingSetIsNeverIndexed) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    dir.write("e/info", "FILES: 4\n# nothing here\n");
    CSpriteBase empty;
    ASSERT_EQ(0, empty.initR((dir / "e").c_str()));
    CSpriteBase missing;
    missing.initR((dir / "none").c_str());
    ManualClock clock(500);
    for (CSpriteBase* set : {&empty, &missing}) {
        CSprite sprite;
        sprite.init(set, screen.surface());
        EXPECT_EQ(nullptr, sprite.backSave);
        sprite.frame = 3;
        sprite.draw();
        sprite.drawD(false);
        sprite.updateBG();
        sprite.clearBG();
        sprite.moveD(true);
        sprite.drawColBoxes();
        EXPECT_EQ(3, sprite.frame);
        EXPECT_EQ(nullptr, sprite.current());
        EXPECT_EQ((Ints{0, 0, 0, 0}), (Ints{sprite.getDamage(), sprite.getHitType(),
                                            sprite.returnPartNum(), sprite.getYOffset(0)}));
        EXPECT_EQ("NULL", sprite.returnSound());
        EXPECT_EQ("", sprite.returnParticle(1));
        EXPECT_EQ(0, sprite.getColBox(false).right);
    }
}
