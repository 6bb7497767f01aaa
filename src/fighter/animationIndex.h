// A character's animation index, its "info" file: a line "ANIMS: <count>",
// then one animation name a line, each the name of a frame folder inside
// the character folder.  Every line after the first counts as one of the
// announced animations, blank ones too.
//
// The animation set and the data checker both read the index here: the set
// takes the names, the checker also their lines and the findings.  The data
// generator and the test fixtures write it here.
#pragma once

#include "base/countHeader.h"
#include "base/dataLines.h"

#include <string>
#include <vector>

struct animationName {
    std::string name; // "" for a blank line
    int line = 0;
};

class animationIndex {
  public:
    // Opens characterFolder/info and reads its count line.  False when the
    // index cannot be opened.
    bool open(const std::string& characterFolder);
    const std::string& path() const { return lines_.path(); }
    // The animations the first line announces (0 when it is not "ANIMS: <n>").
    int announced() const { return header_.announced(); }
    int headerLine() const { return header_.line(); }
    bool headerRead() const { return header_.wasRead(); }

    // Reads the announced names, as many as the file has lines for, and
    // reports text after them.
    const std::vector<animationName>& readNames();

    const std::vector<finding>& findings() const { return lines_.findings(); }

    // The whole index for these names, in this order (their lines are not
    // written).  A name that would not be read back as written is refused:
    // std::invalid_argument, with its number and what unreadable() says.
    static std::string text(const std::vector<animationName>& names);
    // Why the name would not be read back as written ("" when it would): it
    // is not one word, or too long for one read.
    static std::string unreadable(const animationName& entry);

  private:
    dataLines lines_;
    countHeader header_;
    std::vector<animationName> names_;
};
