// Inputs the loader fuzzers turned up, fed through the same loaders as in the
// game, and the bitmap header check that guards the decoder.
#include "base/seams.h"
#include "sound/wavHeader.h"
#include "sprite/CSpriteBase.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string asText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string regressionInput(const std::string& name) {
    return sourceDir() + "/tests/fuzz_corpus/" + name;
}

// A bitmap with a 40-byte header; pixel rows filled with index 0 / black.
struct BmpLayout {
    int32_t width = 4, height = 3;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t colours = 0; // palette entries stored (bits <= 8: 0 means all)
    bool masks = false;   // three colour masks after the header
    int trimPixels = 0;   // bytes cut from the end of the pixel data
};

void put(Bytes& b, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        b[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes makeBmp(const BmpLayout& s) {
    const uint32_t paletteEntries = s.bits <= 8 ? (s.colours ? s.colours : 1u << s.bits) : 0;
    const uint32_t tables = 54 + (s.masks ? 12 : 0) + paletteEntries * 4;
    const int64_t absHeight = s.height < 0 ? -int64_t(s.height) : s.height;
    const int64_t rowBytes = (int64_t(s.width) * s.bits + 31) / 32 * 4;
    // Sizes out of range get no more than a megabyte of pixels: they are
    // refused before their pixels matter.
    const int64_t pixels = std::min<int64_t>(rowBytes * absHeight, 1 << 20) - s.trimPixels;
    Bytes b(tables + static_cast<size_t>(pixels > 0 ? pixels : 0), 0);
    b[0] = 'B';
    b[1] = 'M';
    put(b, 2, static_cast<uint32_t>(b.size()), 4);
    put(b, 10, tables, 4);
    put(b, 14, 40, 4);
    put(b, 18, static_cast<uint32_t>(s.width), 4);
    put(b, 22, static_cast<uint32_t>(s.height), 4);
    put(b, 26, 1, 2);
    put(b, 28, s.bits, 2);
    put(b, 30, s.compression, 4);
    put(b, 46, s.colours, 4);
    if (s.masks) {
        const bool wide = s.bits == 32;
        put(b, 54, wide ? 0xFF0000 : 0xF800, 4);
        put(b, 58, wide ? 0x00FF00 : 0x07E0, 4);
        put(b, 62, wide ? 0x0000FF : 0x001F, 4);
    }
    return b;
}

} // namespace

// The fuzzer's find: 66 bytes announcing an 8000 x 8000 image of 32 bits.
// SDL reserved the whole image (256 MB) before noticing the pixels were
// missing; a few more pixels each way reach a gigabyte.  The header check
// now refuses it before anything is decoded, on both loading paths.
TEST(FuzzRegressions, ShortBitmapAnnouncingHugeImageIsRefusedBeforeDecoding) {
    const std::string kTooLarge = "bitmap of 8000 x 8000 pixels is larger than a frame may be (at "
                                  "most 4096 pixels each way and 4194304 pixels in all)";
    const Bytes input = readBytes(regressionInput("bitmap-huge-image-short-file.bmp"));
    ASSERT_EQ(input.size(), 66u);
    std::string why;
    EXPECT_FALSE(CSpriteBase::bitmapHeaderIsSound(input, &why));
    // Since frames have a size limit, the size alone refuses it.
    EXPECT_EQ(why, kTooLarge);

    TempDir dir;
    dir.write("plain/info", "FILES: 1\na.bmp 10\n");
    dir.write("plain/a.bmp", asText(input));
    dir.write("res/info", "FILES: 1\na.bmp 10\n");
    dir.write("res/a.bmp", asText(input));
    const std::string plain = dir / "plain";
    const std::string res = dir / "res";
    {
        HeadlessScreen screen;
        TraceCapture quiet;
        EXPECT_EQ(CSpriteBase::decodeBitmap(input), nullptr);
        EXPECT_EQ(std::string(SDL_GetError()), kTooLarge);
        CSpriteBase set;
        EXPECT_EQ(set.init(plain.c_str()), -1);
        EXPECT_EQ(set.numFrames, 0);
    }
    // The frame loaders of animations, moves and particles end the game on
    // an undecodable bitmap, with the reason.
    EXPECT_EXIT(
        {
            HeadlessScreen screen;
            seams::setTraceStream(&std::cerr);
            CSpriteBase set;
            set.initR(res.c_str());
        },
        testing::ExitedWithCode(1), "Unable to load bitmap: bitmap of 8000 x 8000 pixels");
}

// Every bitmap the game ships passes the check and still decodes, whatever
// its depth, and so do the other layouts the decoder knows.
TEST(FuzzRegressions, BitmapHeaderCheckAcceptsEveryDecodableLayout) {
    HeadlessScreen screen;
    int shipped = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sourceDir() + "/data")) {
        if (entry.path().extension() != ".bmp") continue;
        const Bytes bytes = readBytes(entry.path().string());
        std::string why;
        EXPECT_TRUE(CSpriteBase::bitmapHeaderIsSound(bytes, &why)) << entry.path() << ": " << why;
        SDL_Surface* decoded = CSpriteBase::decodeBitmap(bytes);
        EXPECT_NE(decoded, nullptr) << entry.path();
        if (decoded) SDL_FreeSurface(decoded);
        ++shipped;
    }
    EXPECT_GT(shipped, 10);

    const BmpLayout layouts[] = {
        {5, 3, 24},             // padded rows
        {9, 2, 1},              // two colours
        {7, 3, 4, 0, 16},       // sixteen colours, palette size given
        {4, 4, 8, 0, 2},        // a short palette
        {4, -3, 8},             // stored top-down
        {3, 2, 32, 3, 0, true}, // bit fields
        {3, 3, 16, 3, 0, true}, // bit fields
        {3, 3, 16},             // 5-5-5
        {4096, 1, 8},           // as wide as a frame may be
    };
    for (const BmpLayout& layout : layouts) {
        const Bytes bytes = makeBmp(layout);
        std::string why;
        EXPECT_TRUE(CSpriteBase::bitmapHeaderIsSound(bytes, &why))
            << layout.width << "x" << layout.height << "x" << layout.bits << ": " << why;
        SDL_Surface* decoded = CSpriteBase::decodeBitmap(bytes);
        ASSERT_NE(decoded, nullptr)
            << layout.width << "x" << layout.height << "x" << layout.bits << ": " << SDL_GetError();
        EXPECT_EQ(decoded->w, layout.width);
        EXPECT_EQ(decoded->h, layout.height < 0 ? -layout.height : layout.height);
        SDL_FreeSurface(decoded);
    }
}

// Damaged headers are refused with a reason, never handed to the decoder.
TEST(FuzzRegressions, BitmapHeaderCheckRefusesDamagedHeaders) {
    struct Case {
        Bytes bytes;
        const char* reason;
    };
    Bytes noSignature = makeBmp({});
    noSignature[1] = 'X';
    Bytes oddHeader = makeBmp({});
    put(oddHeader, 14, 20, 4);
    Bytes pixelsPastEnd = makeBmp({});
    put(pixelsPastEnd, 10, static_cast<uint32_t>(pixelsPastEnd.size() + 1), 4);
    Bytes pixelsInHeader = makeBmp({});
    put(pixelsInHeader, 10, 20, 4);
    const Case cases[] = {
        {Bytes{'B', 'M', 0, 0}, "bitmap too short for its header"},
        {noSignature, "not a bitmap (no BM signature)"},
        {oddHeader, "unknown bitmap header size"},
        {makeBmp({0, 3}), "bitmap size out of range"},
        {makeBmp({4, 0}), "bitmap size out of range"},
        {makeBmp({-4, 3}), "bitmap size out of range"},
        {makeBmp({16385, 1, 8}), "bitmap of 16385 x 1 pixels is larger than a frame may be (at "
                                 "most 4096 pixels each way and 4194304 pixels in all)"},
        {makeBmp({4097, 1, 8}), "bitmap of 4097 x 1 pixels is larger than a frame may be (at "
                                "most 4096 pixels each way and 4194304 pixels in all)"},
        {makeBmp({2049, 2048, 1}), "bitmap of 2049 x 2048 pixels is larger than a frame may be "
                                   "(at most 4096 pixels each way and 4194304 pixels in all)"},
        {makeBmp({4, INT32_MIN, 8}), "bitmap of 4 x 2147483648 pixels is larger than a frame may "
                                     "be (at most 4096 pixels each way and 4194304 pixels in all)"},
        {makeBmp({4, 3, 7}), "unsupported bits per pixel"},
        {makeBmp({4, 3, 0}), "unsupported bits per pixel"},
        {makeBmp({4, 3, 8, 1}), "unsupported bitmap compression"}, // run-length
        {makeBmp({4, 3, 4, 2}), "unsupported bitmap compression"}, // run-length
        {makeBmp({4, 3, 24, 3, 0, true}), "unsupported bitmap compression"},
        {makeBmp({4, 3, 8, 0, 257}), "bitmap palette too large"},
        {makeBmp({4, 3, 24, 0, 0, false, 1}), "bitmap pixels run past the file"},
        {pixelsPastEnd, "bitmap pixels start outside the file"},
        {pixelsInHeader, "bitmap pixels start outside the file"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_FALSE(CSpriteBase::bitmapHeaderIsSound(c.bytes, &why)) << c.reason;
        EXPECT_EQ(why, c.reason);
    }
    // A palette cut short by the end of the file.
    Bytes cutPalette = makeBmp({1, 1, 8});
    cutPalette.resize(54 + 100);
    std::string why;
    EXPECT_FALSE(CSpriteBase::bitmapHeaderIsSound(cutPalette, &why));
    EXPECT_EQ(why, "bitmap palette runs past the file");
}

namespace {

int clampedMirror(int width, int x) {
    return static_cast<int>(
        std::clamp<long long>(static_cast<long long>(width) - x, INT_MIN, INT_MAX));
}

// The mirrored x values of every frame, as measured from the other side.
void expectMirrored(const CSpriteBase& set) {
    ASSERT_EQ(set.frames.size(), set.flipFrames.size());
    for (size_t i = 0; i < set.frames.size(); ++i) {
        const spriteFrame& f = set.frames[i];
        const spriteFrame& m = set.flipFrames[i];
        EXPECT_EQ(m.offsetX, clampedMirror(set.width, f.offsetX)) << "frame " << i;
        EXPECT_EQ(m.colX1, clampedMirror(set.width, f.colX2)) << "frame " << i;
        EXPECT_EQ(m.colX2, clampedMirror(set.width, f.colX1)) << "frame " << i;
        EXPECT_EQ(m.dmgX1, clampedMirror(set.width, f.dmgX2)) << "frame " << i;
        EXPECT_EQ(m.dmgX2, clampedMirror(set.width, f.dmgX1)) << "frame " << i;
        EXPECT_EQ(m.pointAX, clampedMirror(set.width, f.pointAX)) << "frame " << i;
        EXPECT_EQ(m.pointBX, clampedMirror(set.width, f.pointBX)) << "frame " << i;
    }
}

} // namespace

// The fuzzer's find: x values at the ends of the int range made mirroring a
// frame overflow (width minus the most negative int).  Mirrored values are
// now clamped to the int range; ordinary values mirror as before.
TEST(FuzzRegressions, FrameIndexWithExtremeXValuesMirrorsWithoutOverflow) {
    HeadlessScreen screen;
    TraceCapture quiet;
    TempDir dir;
    dir.writeBmp("found/a.bmp", 4, 4, 0xFF00FF);
    dir.write("found/info", asText(readBytes(regressionInput("frame-index-extreme-x-values"))));
    CSpriteBase found;
    found.init((dir / "found").c_str());
    EXPECT_GE(found.numFrames, 1);
    expectMirrored(found);

    dir.writeBmp("ends/a.bmp", 4, 4, 0xFF00FF);
    dir.write("ends/info", "FILES: 2\n"
                           "a.bmp 10\n-2147483648 0\n-2147483648 0 2147483647 0\n"
                           "-99999999999 0 99999999999 0\n0\n0\n0\n2147483647 0\n-3 0\n"
                           "NULL\n0\n0 0\n0\nx\n"
                           "a.bmp 10\n1 0\n0 0 3 3\n1 1 2 2\n0\n0\n0\n0 0\n5 0\n"
                           "NULL\n0\n0 0\n0\ny\n");
    CSpriteBase ends;
    ASSERT_EQ(ends.init((dir / "ends").c_str()), 0);
    ASSERT_EQ(ends.numFrames, 2);
    expectMirrored(ends);
    // Values are kept within 100,000 pixels when they are read.
    EXPECT_EQ(ends.frames[0].offsetX, -100000);
    EXPECT_EQ(ends.frames[0].colX2, 100000);
    EXPECT_EQ(ends.flipFrames[0].offsetX, 100004);
    EXPECT_EQ(ends.flipFrames[0].colX1, 4 - 100000);
    EXPECT_EQ(ends.flipFrames[0].colX2, 100004);
    EXPECT_EQ(ends.flipFrames[0].dmgX1, 4 - 100000);
    EXPECT_EQ(ends.flipFrames[0].pointBX, 7);
    EXPECT_EQ(ends.flipFrames[1].offsetX, 3);
    EXPECT_EQ(ends.flipFrames[1].colX1, 1);
    EXPECT_EQ(ends.flipFrames[1].colX2, 4);
}

// The WAV fuzzer's finds: files the sound check let through and SDL's
// decoder then refused half-way, keeping its buffers (a leak inside SDL):
// a second "fmt " chunk (the check read the last, SDL the first), an ADPCM
// coefficient table other than the standard one, and an ADPCM extension
// size beyond the chunk.  Both are refused
// before SDL sees them now; the sound set skips them with their reason.
TEST(FuzzRegressions, WavFilesSdlRefusesHalfWayAreRefusedFirst) {
    const struct {
        const char* file;
        const char* reason;
    } finds[] = {
        {"wav-two-format-chunks.wav", "ADPCM coefficient table is not the standard one"},
        {"wav-adpcm-odd-coefficients.wav", "ADPCM coefficient table is not the standard one"},
        {"wav-adpcm-extension-past-chunk.wav",
         "ADPCM format extension runs past the \"fmt \" chunk"}};
    for (const auto& find : finds) {
        const Bytes input = readBytes(regressionInput(find.file));
        std::string why;
        EXPECT_FALSE(wavHeader::isSound(input, &why)) << find.file;
        EXPECT_EQ(why, find.reason) << find.file;
    }
    // Two format chunks are refused whatever they say.
    Bytes twice = readBytes(regressionInput("wav-two-format-chunks.wav"));
    const Bytes standard = {0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0xFF, 0x00, 0x00,
                            0x00, 0x00, 0xC0, 0x00, 0x40, 0x00, 0xF0, 0x00, 0x00, 0x00,
                            0xCC, 0x01, 0x30, 0xFF, 0x88, 0x01, 0x18, 0xFF};
    std::copy(standard.begin(), standard.end(), twice.begin() + 42);
    std::string why;
    EXPECT_FALSE(wavHeader::isSound(twice, &why));
    EXPECT_EQ(why, "more than one \"fmt \" chunk");
}
