// Player 2's colours in a versus match, a file in the character's folder
// ("palette2"): a line "SWAPS: <count>", then one swap a line, six numbers
// from 0 to 255: a colour of the character's art as red, green and blue, and
// the colour player 2 wears in its place ("46 78 150 168 40 40").  Colours
// the file does not name stay as drawn, and the transparent colour is never
// swapped.  Without the file both players wear the character's own colours;
// the one-player game never reads it.
//
// The versus match and the data checker read the file here; the data
// generator writes it from the same swaps.
#pragma once

#include "base/countHeader.h"
#include "base/dataLines.h"

#include <string>
#include <vector>

struct colourSwap {
    int from[3] = {0, 0, 0}; // red, green, blue as drawn
    int to[3] = {0, 0, 0};   // as player 2 wears it
    int line = 0;            // filled in by reading
};

class paletteFile {
  public:
    // The file's name in a character's folder.
    static constexpr const char* name = "palette2";

    // Opens the file and reads its count line; false when it cannot be opened.
    bool open(const std::string& path);
    const std::string& path() const { return lines_.path(); }

    // Reads the announced swaps.  A line that is not six numbers from 0 to
    // 255 is an error and is skipped; a colour swapped a second time is a
    // warning, and its first swap holds.
    const std::vector<colourSwap>& readSwaps();
    // After the swaps: reports text that follows them.
    void finish();

    const std::vector<finding>& findings() const { return lines_.findings(); }

    // The file's text for these swaps, which readSwaps() gives back.  A swap
    // with a number outside 0 to 255 is refused: std::invalid_argument.
    static std::string write(const std::vector<colourSwap>& swaps);

  private:
    dataLines lines_;
    countHeader header_;
    std::vector<colourSwap> swaps_;
};
