// A sound list, the file "sound" of a sound folder: a line "SOUNDS: <count>",
// then one sound name a line; the sound is the WAV file <name>.wav beside
// the list.  Every line after the first counts as one of the announced
// sounds, blank ones too.
//
// The sound set and the data checker both read lists here: the set takes
// the names, the checker also their lines and the findings.  The data
// generator and the test fixtures write them here.
#pragma once

#include "base/countHeader.h"
#include "base/dataLines.h"

#include <string>
#include <vector>

struct listedSound {
    std::string name; // "" for a blank line
    int line = 0;
};

class soundList {
  public:
    // Opens folder/sound and reads its count line.  False when the list
    // cannot be opened.
    bool open(const std::string& folder);
    const std::string& path() const { return lines_.path(); }
    // The sounds the first line announces (0 when it is not "SOUNDS: <n>").
    int announced() const { return header_.announced(); }

    // Reads the announced names, as many as the file has lines for, and
    // reports text after them.
    const std::vector<listedSound>& readNames();

    const std::vector<finding>& findings() const { return lines_.findings(); }

    // The whole list for these names, in this order (their lines are not
    // written).  A name that would not be read back as written is refused:
    // std::invalid_argument, with its number and what unreadable() says.
    static std::string text(const std::vector<listedSound>& names);
    // Why the name would not be read back as written ("" when it would): it
    // is not one word, or too long for one read.
    static std::string unreadable(const listedSound& entry);

  private:
    dataLines lines_;
    countHeader header_;
    std::vector<listedSound> names_;
};
