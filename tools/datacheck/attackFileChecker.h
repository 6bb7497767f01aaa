// Checks the computer opponent's attack file: it is read by the game's own
// reader, whose findings are reported; then the range bands that ground and
// aerial lookups pick from by position, and the link and cancel keys that
// lookups group.
#pragma once

#include "ai/attackFile.h"
#include "diagnostics.h"
#include "movesetChecker.h"

#include <set>
#include <string>
#include <vector>

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
    attackSections sections_;
};
