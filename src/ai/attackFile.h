// The computer opponent's attack file, "attack" in the character's AI
// folder: six sections, always in this order (ground attacks, unused,
// aerial attacks, unused, cancels, links), each a line "Attacks: <count>"
// followed by that many entries of four lines:
//
//   1 the move's name
//   2 the range word; only its first letter counts (S, M, L, U, D)
//   3 the link key: in the link section, the move this one may follow
//   4 the cancel key: in the cancel section, the move this one may cancel
//
// Each line gives its first word.  The attack table reads the file here,
// the data checker reads it here for the findings too, and the data
// generator writes it here, so what is written is what is read.
#pragma once

#include "base/dataLines.h"

#include <array>
#include <string>
#include <vector>

// One entry as the file gives it.
struct attackEntry {
    std::string moveName;
    std::string range; // the whole word
    std::string linkFrom;
    std::string cancelFrom;
    int line = 0;          // the move-name line; the other three follow
    bool complete = false; // all four lines were there
};

// The six sections' entries, in file order.
using attackSections = std::array<std::vector<attackEntry>, 6>;

class attackFile {
  public:
    // Opens aiFolder/attack.  False when it cannot be opened.
    bool open(const std::string& aiFolder);
    const std::string& path() const { return lines_.path(); }

    // Reads the next section's header line and gives its count: 0 when the
    // line does not read "Attacks: <count>" or the file has ended, a
    // negative count as written.
    int readCount();
    // Reads up to count entries of the section whose header was read last:
    // none when the file has already ended, and none after the entry during
    // which it ends.  An entry cut short keeps the words it read.
    std::vector<attackEntry> readEntries(int count);
    // After the sixth section: reports text that follows it.
    void finish();

    const std::vector<finding>& findings() const { return lines_.findings(); }

    // The whole file for these sections.  An entry that would not be read
    // back as written is refused: std::invalid_argument, with its section
    // and number and what unreadable() says.
    static std::string text(const attackSections& sections);
    // Why the entry would not be read back as written ("" when it would):
    // a field that is not one word (blanks or a NUL byte inside), or longer
    // than 79 characters.
    static std::string unreadable(const attackEntry& entry);

  private:
    std::string sectionName() const;

    dataLines lines_;
    int section_ = 0;    // sections whose header was read
    bool ended_ = false; // the file's end has been reported
};
