// The generator's bitmaps, read back through the game's decoder (the icons
// are cut from a frame so): what the game would load, and nothing it refuses.
#include "canvas.h"

#include "dataFolder.h"
#include "testSupport.h"

#include <gtest/gtest.h>

namespace {

using testing_support::TempDir;

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    testing_support::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

TEST(DatagenBitmaps, ReadsBackWhatTheGeneratorWrites) {
    TempDir dir;
    // Odd widths, so every row is padded.
    gen::Indexed paletted(5, 3);
    paletted.palette.assign(256, gen::RGB{});
    for (int i = 0; i < 256; ++i)
        paletted.palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            paletted.at(x, y) = static_cast<uint8_t>(40 * y + 50 * x);
    gen::Rgb24 direct(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            direct.at(x, y) = {static_cast<uint8_t>(10 * x), static_cast<uint8_t>(100 + y), 200};
    writeBytes(dir / "paletted.bmp", gen::bmp8(paletted));
    writeBytes(dir / "direct.bmp", gen::bmp24(direct));

    gen::Rgb24 read(1, 1);
    ASSERT_TRUE(gen::readBmp(dir / "paletted.bmp", read));
    ASSERT_EQ(5, read.w);
    ASSERT_EQ(3, read.h);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_TRUE(read.get(x, y) == paletted.palette[paletted.get(x, y)]) << x << "," << y;
    ASSERT_TRUE(gen::readBmp(dir / "direct.bmp", read));
    ASSERT_EQ(3, read.w);
    ASSERT_EQ(2, read.h);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_TRUE(read.get(x, y) == direct.get(x, y)) << x << "," << y;
}

TEST(DatagenBitmaps, RefusesWhatTheGameRefuses) {
    TempDir dir;
    gen::Rgb24 read(1, 1);
    EXPECT_FALSE(gen::readBmp(dir / "missing.bmp", read));

    // An 8-bit bitmap whose palette was cut off: its pixels name colours the
    // file does not hold.
    gen::Indexed img(4, 4);
    img.palette.assign(256, gen::RGB{1, 2, 3});
    for (uint8_t& index : img.px)
        index = 200;
    std::vector<uint8_t> bytes = gen::bmp8(img);
    const size_t paletteAt = 54, paletteBytes = 256 * 4;
    bytes.erase(bytes.begin() + paletteAt, bytes.begin() + paletteAt + paletteBytes);
    bytes[2] = static_cast<uint8_t>(bytes.size()); // the file's size, 70 bytes
    bytes[3] = 0;
    bytes[10] = static_cast<uint8_t>(paletteAt); // the pixels' offset
    bytes[11] = 0;
    writeBytes(dir / "cut.bmp", bytes);
    EXPECT_FALSE(gen::readBmp(dir / "cut.bmp", read));
}

} // namespace
