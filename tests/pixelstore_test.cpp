// The pixel store that holds the frames' pixels, and frames loaded into it:
// every kind of bitmap must come out as SDL_DisplayFormat makes it, and a
// frame set must hand all of its memory back when it goes.
#include "sprite/CSpriteBase.h"
#include "sprite/displayFormat.h"
#include "sprite/flipper.h"
#include "sprite/pixelStore.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace testing_support;

TEST(PixelStore, CutsSlicesFromSharedBlocksAndReturnsEmptyBlocks) {
    pixelStore store;
    EXPECT_EQ(nullptr, store.take(0));
    std::vector<void*> small;
    for (int i = 0; i < 3; ++i) {
        void* slice = store.take(37 * 23 * 4 + i);
        ASSERT_NE(nullptr, slice);
        EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(slice) % 64);
        std::memset(slice, 0xA0 + i, 37 * 23 * 4 + i);
        small.push_back(slice);
    }
    EXPECT_EQ(1u, store.blocks());
    // No slice overlaps another: each still holds what was written into it.
    for (int i = 0; i < 3; ++i) {
        const auto* bytes = static_cast<const unsigned char*>(small[i]);
        EXPECT_EQ(0xA0 + i, bytes[0]);
        EXPECT_EQ(0xA0 + i, bytes[37 * 23 * 4 + i - 1]);
    }

    // Larger than a block: a block of its own.
    const size_t large = size_t{17} << 20;
    void* big = store.take(large);
    ASSERT_NE(nullptr, big);
    static_cast<unsigned char*>(big)[large - 1] = 1;
    EXPECT_EQ(2u, store.blocks());
    EXPECT_EQ(4u, store.slicesOut());

    store.give(big);
    store.give(nullptr);
    EXPECT_EQ(1u, store.blocks());
    store.give(small[1]);
    store.give(small[0]);
    EXPECT_EQ(1u, store.blocks()); // one slice still out
    store.give(small[2]);
    EXPECT_EQ(0u, store.blocks());
    EXPECT_EQ(0u, store.slicesOut());
}

namespace {

void put16(std::string& b, size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& b, size_t at, Uint32 v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// A w x h bitmap file of the given bits per pixel, written byte by byte so
// that every depth a frame may have is covered: a palette of `colours`
// entries up to 8 bits, 16 bits as 5-6-5 bit fields, 24 and 32 bits plain.
// Pixel (x, y) holds value(x, y): a palette index, or the raw pixel value.
template <typename Value>
std::string bitmapBytes(int w, int h, int bits, const std::vector<Uint32>& palette, Value value) {
    const size_t infoSize = 40, masks = bits == 16 ? 12 : 0;
    const size_t paletteBytes = palette.size() * 4;
    const size_t rowBytes = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    const size_t start = 14 + infoSize + masks + paletteBytes;
    std::string b(start + rowBytes * h, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<Uint32>(b.size()));
    put32(b, 10, static_cast<Uint32>(start));
    put32(b, 14, infoSize);
    put32(b, 18, w);
    put32(b, 22, h);
    put16(b, 26, 1);
    put16(b, 28, bits);
    put32(b, 30, bits == 16 ? 3 : 0);
    put32(b, 46, static_cast<Uint32>(palette.size()));
    if (bits == 16) {
        put32(b, 54, 0xF800);
        put32(b, 58, 0x07E0);
        put32(b, 62, 0x001F);
    }
    for (size_t i = 0; i < palette.size(); ++i)
        put32(b, 14 + infoSize + masks + i * 4, palette[i]); // blue, green, red, 0
    for (int y = 0; y < h; ++y) {
        const size_t row = start + rowBytes * (h - 1 - y); // stored bottom up
        for (int x = 0; x < w; ++x) {
            const Uint32 v = value(x, y);
            if (bits < 8) {
                const size_t bit = static_cast<size_t>(x) * bits;
                const int shift = 8 - bits - static_cast<int>(bit % 8);
                b[row + bit / 8] = static_cast<char>(b[row + bit / 8] | (v << shift));
            } else {
                for (int i = 0; i < bits / 8; ++i)
                    b[row + x * (bits / 8) + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
            }
        }
    }
    return b;
}

// What the frame should be, the long way: SDL decodes and converts, the key
// is set before the conversion (plain loader) or after it (resource
// loader); the mirror is copied pixel by pixel and keeps the key.
struct expectedFrame {
    SDL_Surface* image = nullptr;
    SDL_Surface* mirror = nullptr;
    expectedFrame(const std::string& path, bool keyed, bool keyFirst) {
        SDL_Surface* decoded = SDL_LoadBMP(path.c_str());
        if (!decoded) return;
        if (keyed && keyFirst)
            SDL_SetColorKey(decoded, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                            SDL_MapRGB(decoded->format, 255, 0, 255));
        image = SDL_DisplayFormat(decoded);
        SDL_FreeSurface(decoded);
        if (keyed && !keyFirst)
            SDL_SetColorKey(image, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                            SDL_MapRGB(image->format, 255, 0, 255));
        mirror = SDL_CreateRGBSurface(0, image->w, image->h, 32, image->format->Rmask,
                                      image->format->Gmask, image->format->Bmask, 0);
        SDL_LockSurface(image);
        for (int y = 0; y < image->h; ++y)
            for (int x = 0; x < image->w; ++x)
                flipper::put_pixel32(mirror, image->w - 1 - x, y,
                                     flipper::get_pixel32(image, x, y));
        SDL_UnlockSurface(image);
        if (image->flags & SDL_SRCCOLORKEY)
            SDL_SetColorKey(mirror, SDL_SRCCOLORKEY | SDL_RLEACCEL, image->format->colorkey);
    }
    ~expectedFrame() {
        SDL_FreeSurface(image);
        SDL_FreeSurface(mirror);
    }
};

// Same size, masks, key and every pixel.
void expectSame(SDL_Surface* got, SDL_Surface* want, const std::string& what) {
    ASSERT_TRUE(got && want) << what;
    ASSERT_EQ(got->w, want->w) << what;
    ASSERT_EQ(got->h, want->h) << what;
    EXPECT_EQ(got->format->Rmask, want->format->Rmask) << what;
    EXPECT_EQ(got->format->Gmask, want->format->Gmask) << what;
    EXPECT_EQ(got->format->Bmask, want->format->Bmask) << what;
    EXPECT_EQ(got->format->Amask, want->format->Amask) << what;
    EXPECT_EQ(got->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA),
              want->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA))
        << what;
    if (want->flags & SDL_SRCCOLORKEY) {
        EXPECT_EQ(got->format->colorkey, want->format->colorkey) << what;
    }
    SDL_LockSurface(got);
    SDL_LockSurface(want);
    int differing = 0;
    for (int y = 0; y < got->h; ++y)
        for (int x = 0; x < got->w; ++x)
            differing += flipper::get_pixel32(got, x, y) != flipper::get_pixel32(want, x, y);
    SDL_UnlockSurface(want);
    SDL_UnlockSurface(got);
    EXPECT_EQ(0, differing) << what;
}

std::string frameEntryFor(const std::string& file, bool keyed) {
    return file + " 10 " + (keyed ? "255 0 255" : "-1 0 0") +
           "\n0 0\n0 0 0 0\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n";
}

} // namespace

// Frames of every depth a bitmap may have, keyed and not, odd widths
// included, through both loaders: each frame and its mirror hold exactly
// the pixels, masks and key SDL_DisplayFormat gives.  The resource loader
// writes them into the pixel store; when the sets go, every slice is back.
TEST(FrameSetPixels, EveryKindOfBitmapLoadsAsSdlConvertsIt) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    const std::vector<Uint32> palette = {0x000000, 0xFF00FF, 0x3366CC, 0xFFFFFF, 0x10E020,
                                         0x804000, 0x00FFFF, 0x202020, 0xFF00FE};
    auto pattern = [](int levels) {
        return [levels](int x, int y) { return static_cast<Uint32>((x * 7 + y * 3) % levels); };
    };
    struct kind {
        const char* file;
        int bits;
        bool keyed;
        std::string bytes;
    };
    const int w = 37, h = 23;
    std::vector<kind> kinds = {
        {"one.bmp", 1, false, bitmapBytes(w, h, 1, {0xFF00FF, 0x3366CC}, pattern(2))},
        {"four.bmp", 4, true, bitmapBytes(w, h, 4, palette, pattern(9))},
        {"eight.bmp", 8, true, bitmapBytes(w, h, 8, palette, pattern(9))},
        {"eightOpaque.bmp", 8, false, bitmapBytes(w, h, 8, palette, pattern(9))},
        {"sixteen.bmp", 16, true,
         bitmapBytes(
             w, h, 16, {},
             [](int x, int y) { return x % 3 == 0 ? 0xF81Fu : Uint32(x * 1733 + y * 97); })},
        {"twentyFour.bmp", 24, true,
         bitmapBytes(w, h, 24, {},
                     [](int x, int y) { return x % 4 == 0 ? 0xFF00FFu : Uint32(x * 70001 + y); })},
        {"thirtyTwo.bmp", 32, false,
         bitmapBytes(w, h, 32, {}, [](int x, int y) { return Uint32(x * 0x010203 + y * 5); })},
    };
    std::string index = "FILES: " + std::to_string(kinds.size()) + "\n";
    for (const kind& k : kinds) {
        dir.write("f/" + std::string(k.file), k.bytes);
        index += frameEntryFor(k.file, k.keyed);
    }
    dir.write("f/info", index);

    const size_t slicesBefore = pixelStore::shared().slicesOut();
    {
        CSpriteBase plain, resource;
        ASSERT_EQ(0, plain.init((dir / "f").c_str()));
        ASSERT_EQ(0, resource.initR((dir / "f").c_str()));
        ASSERT_EQ(static_cast<int>(kinds.size()), resource.numFrames);
        ASSERT_EQ(static_cast<int>(kinds.size()), plain.numFrames);
        // Every mirror at least went into the store.
        EXPECT_GE(pixelStore::shared().slicesOut(), slicesBefore + 2 * kinds.size());
        for (size_t i = 0; i < kinds.size(); ++i) {
            const std::string path = dir / ("f/" + std::string(kinds[i].file));
            const std::string name =
                std::to_string(kinds[i].bits) + " bits " + (kinds[i].keyed ? "keyed" : "opaque");
            expectedFrame keyFirst(path, kinds[i].keyed, true),
                keyAfter(path, kinds[i].keyed, false);
            expectSame(plain.frames[i].image, keyFirst.image, "plain loader, " + name);
            expectSame(plain.flipFrames[i].image, keyFirst.mirror, "plain mirror, " + name);
            expectSame(resource.frames[i].image, keyAfter.image, "resource loader, " + name);
            expectSame(resource.flipFrames[i].image, keyAfter.mirror, "resource mirror, " + name);
        }

        // A set moved elsewhere takes its pixels along; the one left empty
        // gives nothing back.
        CSpriteBase moved(std::move(resource));
        const size_t held = pixelStore::shared().slicesOut();
        { CSpriteBase emptied(std::move(plain)); }
        EXPECT_LT(pixelStore::shared().slicesOut(), held);
        EXPECT_EQ(static_cast<int>(kinds.size()), moved.numFrames);
        expectedFrame last(dir / "f/thirtyTwo.bmp", false, false);
        expectSame(moved.flipFrames.back().image, last.mirror, "moved set");
    }
    EXPECT_EQ(slicesBefore, pixelStore::shared().slicesOut());
}

// The stage goes the same way, kept for the whole run: the same pixels as
// SDL_DisplayFormat gives, for the 24-bit stage and a palette one.
TEST(FrameSetPixels, AnImageKeptForTheRunIsConvertedAsSdlConvertsIt) {
    HeadlessScreen screen;
    TempDir dir;
    dir.write("stage.bmp", bitmapBytes(81, 60, 24, {}, [](int x, int y) {
                  return Uint32(x * 0x030507 + y * 0x0B0D11);
              }));
    dir.write("palette.bmp", bitmapBytes(81, 60, 8, {0x102030, 0xFFEEDD, 0x00FF00},
                                         [](int x, int y) { return Uint32((x + y) % 3); }));
    for (const char* file : {"stage.bmp", "palette.bmp"}) {
        SDL_Surface* kept = displayFormat::keptInDisplayFormat(SDL_LoadBMP((dir / file).c_str()));
        SDL_Surface* decoded = SDL_LoadBMP((dir / file).c_str());
        SDL_Surface* want = SDL_DisplayFormat(decoded);
        expectSame(kept, want, file);
        SDL_FreeSurface(decoded);
        SDL_FreeSurface(want);
        SDL_FreeSurface(kept);
    }
}
