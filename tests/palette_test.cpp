// Player 2's second palette: the file's reading and writing, and the copies
// of frame images that wear it.
#include "sprite/paletteFile.h"
#include "sprite/paletteSwap.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

colourSwap swapOf(int r, int g, int b, int r2, int g2, int b2) {
    colourSwap s;
    s.from[0] = r, s.from[1] = g, s.from[2] = b;
    s.to[0] = r2, s.to[1] = g2, s.to[2] = b2;
    return s;
}

std::vector<colourSwap> readText(const std::string& text, std::vector<finding>* found = nullptr) {
    testing_support::TempDir dir;
    dir.write("palette2", text);
    const std::string path = dir / "palette2";
    paletteFile file;
    EXPECT_TRUE(file.open(path));
    std::vector<colourSwap> swaps = file.readSwaps();
    file.finish();
    if (found) *found = file.findings();
    return swaps;
}

bool mentions(const std::vector<finding>& found, int line, const std::string& words) {
    for (const finding& f : found)
        if (f.line == line && f.message.find(words) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(PaletteFile, WrittenSwapsReadBackAndOutOfRangeOnesAreRefused) {
    const std::vector<colourSwap> swaps = {swapOf(46, 78, 150, 168, 40, 44),
                                           swapOf(0, 0, 0, 255, 255, 255)};
    const std::string text = paletteFile::write(swaps);
    EXPECT_EQ("SWAPS: 2\n46 78 150 168 40 44\n0 0 0 255 255 255\n", text);
    std::vector<finding> found;
    const std::vector<colourSwap> back = readText(text, &found);
    ASSERT_EQ(2u, back.size());
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(150, back[0].from[2]);
    EXPECT_EQ(255, back[1].to[0]);
    EXPECT_EQ(3, back[1].line);
    EXPECT_THROW(paletteFile::write({swapOf(0, 0, 256, 0, 0, 0)}), std::invalid_argument);
    EXPECT_THROW(paletteFile::write({swapOf(0, 0, 0, -1, 0, 0)}), std::invalid_argument);
}

TEST(PaletteFile, BrokenLinesAreSkippedAndSaidAtTheirLine) {
    std::vector<finding> found;
    const std::vector<colourSwap> swaps = readText("SWAPS: 7\n"
                                                   "1 2 3 4 5 6\n"
                                                   "1 2 3 4 5\n"
                                                   "1 2 3 4 5 6 7\n"
                                                   "1 2 3 4 5 256\n"
                                                   "1 2 3 -4 5 6\n"
                                                   "1 2 x 4 5 6\n"
                                                   "1 2 3 9 9 9\n",
                                                   &found);
    ASSERT_EQ(1u, swaps.size()) << "only the first line is a swap";
    EXPECT_EQ(4, swaps[0].to[0]);
    for (int line = 3; line <= 7; ++line)
        EXPECT_TRUE(mentions(found, line, "six numbers from 0 to 255")) << line;
    EXPECT_TRUE(mentions(found, 8, "swapped already at line 2")) << "the first swap holds";

    readText("SWAPS: 3\n1 2 3 4 5 6\n", &found);
    EXPECT_TRUE(mentions(found, 1, "announces 3")) << "fewer swaps than announced";
    readText("SWAPS: 1\n1 2 3 4 5 6\nmore\n", &found);
    EXPECT_TRUE(mentions(found, 3, "ignored"));
}

TEST(PaletteSwap, TheCopySwapsListedColoursOnlyAndKeepsTheKey) {
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(image, nullptr);
    const Uint32 key = SDL_MapRGB(image->format, 255, 0, 255);
    SDL_SetColorKey(image, SDL_SRCCOLORKEY, key);
    Uint32* px = static_cast<Uint32*>(image->pixels);
    px[0] = key;
    px[1] = SDL_MapRGB(image->format, 10, 20, 30);
    px[2] = SDL_MapRGB(image->format, 1, 1, 1);
    px[3] = SDL_MapRGB(image->format, 40, 50, 60);

    paletteSwap colours;
    EXPECT_EQ(image, colours.worn(image)) << "nothing to swap: the image itself";
    colours.wear({swapOf(10, 20, 30, 200, 100, 50), swapOf(255, 0, 255, 0, 0, 0),
                  swapOf(40, 50, 60, 255, 0, 255)});
    SDL_Surface* copy = colours.worn(image);
    ASSERT_NE(copy, image);
    const Uint32* shown = static_cast<Uint32*>(copy->pixels);
    EXPECT_EQ(key, shown[0]) << "the transparent colour is never swapped";
    EXPECT_EQ(SDL_MapRGB(copy->format, 200, 100, 50), shown[1]);
    EXPECT_EQ(px[2], shown[2]) << "a colour the file does not name stays";
    EXPECT_EQ(px[3], shown[3]) << "a swap into the transparent colour is not made";
    EXPECT_TRUE(copy->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(key, copy->format->colorkey);
    EXPECT_EQ(copy, colours.worn(image)) << "made once, then kept";
    EXPECT_EQ(1u, colours.copies());
    colours.wear({});
    EXPECT_EQ(0u, colours.copies());
    SDL_FreeSurface(image);
}
