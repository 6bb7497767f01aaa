// Reads a character's "moveset" file (a count, then eleven lines per move)
// as the game's move-set loader does and checks each record's format and
// frame folder.  The rules between moves are moveRules' business.
#pragma once

#include "diagnostics.h"
#include "frameFolderChecker.h"

#include <string>
#include <vector>

struct moveRecord {
    std::string name;
    int line = 0; // the name line
    std::string command;
    int commandLine = 0;
    std::string linkMove = "NULL";
    int linkLine = 0;
    int linkFrame = 0;
    std::string fromMove = "NULL";
    int fromLine = 0;
    int fromFrame = 0;
    std::string condition = "null";
    int conditionLine = 0;
    bool complete = false; // all eleven lines were present
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
    std::string path_;
    int headerLine_ = 0;
};
