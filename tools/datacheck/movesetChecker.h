// Reads a character's "moveset" file with the game's own reader, reports
// what the reader found, and checks each record's frame folder.  The rules
// between moves are moveRules' business.
#pragma once

#include "diagnostics.h"
#include "fighter/moveFile.h"
#include "frameFolderChecker.h"

#include <string>
#include <unordered_map>
#include <vector>

// A record as the game reads it, and its frames.
struct moveRecord : moveEntry {
    const frameFolder* frames = nullptr;
};

class movesetChecker {
  public:
    movesetChecker(diagnostics& report, frameFolderChecker& frames)
        : report_(report), frames_(frames) {}

    void check(const std::string& characterFolder);

    const std::vector<moveRecord>& moves() const { return moves_; }
    const std::string& path() const { return path_; }
    int headerLine() const { return headerLine_; }
    // The first move of that name (the game's look-up), or nullptr.
    const moveRecord* find(const std::string& name) const;

  private:
    diagnostics& report_;
    frameFolderChecker& frames_;
    std::vector<moveRecord> moves_;
    std::unordered_map<std::string, size_t> byName_; // first record of each name
    std::string path_;
    int headerLine_ = 0;
};
