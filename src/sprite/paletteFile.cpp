#include "sprite/paletteFile.h"

#include "base/textFile.h"
#include "base/writtenText.h"

#include <algorithm>

namespace {

// Digits only, 0 to 255.
bool isChannel(const std::string& word) {
    return !word.empty() && word.size() <= 3 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           text::leadingInt(word) <= 255;
}

std::string colourText(const int* c) {
    return std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]);
}

bool sameColour(const int* a, const int* b) {
    return std::equal(a, a + 3, b);
}

} // namespace

bool paletteFile::open(const std::string& path) {
    header_ = countHeader();
    swaps_.clear();
    if (!lines_.open(path)) return false;
    header_.read(lines_, "SWAPS:", "player 2 wears the character's own colours");
    return true;
}

const std::vector<colourSwap>& paletteFile::readSwaps() {
    std::string line;
    int held = 0;
    for (int i = 0; i < header_.announced() && lines_.readLine(line); ++i) {
        ++held;
        const std::vector<std::string> words = text::splitWords(line, 7);
        if (words.size() != 6 || !std::all_of(words.begin(), words.end(), isChannel)) {
            lines_.error(lines_.line(), "expected six numbers from 0 to 255 (a colour as drawn, "
                                        "then as player 2 wears it); the line is skipped");
            continue;
        }
        colourSwap swap;
        swap.line = lines_.line();
        for (int c = 0; c < 3; ++c) {
            swap.from[c] = text::leadingInt(words[c]);
            swap.to[c] = text::leadingInt(words[c + 3]);
        }
        const auto earlier = std::find_if(swaps_.begin(), swaps_.end(), [&](const colourSwap& s) {
            return sameColour(s.from, swap.from);
        });
        if (earlier != swaps_.end()) {
            lines_.warning(swap.line, "colour " + colourText(swap.from) +
                                          " is swapped already at line " +
                                          std::to_string(earlier->line) + "; that swap holds");
            continue;
        }
        swaps_.push_back(swap);
    }
    if (header_.wasRead() && held < header_.announced())
        header_.reportHeld(lines_, static_cast<size_t>(held), "swaps");
    return swaps_;
}

void paletteFile::finish() {
    if (!header_.wasRead()) return;
    lines_.warnTextAfter("the " + std::to_string(header_.announced()) + " swaps");
}

std::string paletteFile::write(const std::vector<colourSwap>& swaps) {
    std::string text = "SWAPS: " + std::to_string(swaps.size()) + "\n";
    for (size_t i = 0; i < swaps.size(); ++i) {
        const colourSwap& s = swaps[i];
        const bool inRange =
            std::all_of(s.from, s.from + 3, [](int v) { return v >= 0 && v <= 255; }) &&
            std::all_of(s.to, s.to + 3, [](int v) { return v >= 0 && v <= 255; });
        writtenText::refuse("swap", i + 1, inRange ? "" : "a number outside 0 to 255");
        text += colourText(s.from) + " " + colourText(s.to) + "\n";
    }
    return text;
}
