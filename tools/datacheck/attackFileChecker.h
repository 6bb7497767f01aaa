// Checks the computer opponent's attack file: six sections of "Attacks: n"
// and four-line entries, the range bands that ground and aerial lookups
// pick from by position, and the link and cancel keys that lookups group.
#pragma once

#include "diagnostics.h"
#include "movesetChecker.h"

#include <set>
#include <string>
#include <vector>

struct attackEntry {
    std::string moveName;
    std::string range;
    std::string linkFrom;
    std::string cancelFrom;
    int line = 0; // the move-name line; the other three follow
};

class attackFileChecker {
  public:
    explicit attackFileChecker(diagnostics& report) : report_(report) {}

    // Reads folder/attack (the character's AI folder).
    void check(const std::string& aiFolder);
    // Move names and keys against the character's moves.
    void checkNames(const movesetChecker& moves);

    // Every move name the attack file makes the opponent perform.
    std::set<std::string> performedMoves() const;
    const std::vector<attackEntry>& section(int index) const { return sections_[index]; }
    const std::string& path() const { return path_; }

  private:
    void checkBands(int section);
    void checkKeys(int section, bool links);

    diagnostics& report_;
    std::string path_;
    std::vector<attackEntry> sections_[6];
};
