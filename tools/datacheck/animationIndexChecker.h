// Checks a character's animation index ("ANIMS: n", then one name per line,
// each the name of a frame folder inside the character folder).
#pragma once

#include "diagnostics.h"
#include "frameFolderChecker.h"

#include <string>
#include <unordered_map>
#include <vector>

struct animEntry {
    std::string name;
    int line = 0;
    const frameFolder* frames = nullptr;
};

class animationIndexChecker {
  public:
    animationIndexChecker(diagnostics& report, frameFolderChecker& frames)
        : report_(report), frames_(frames) {}

    void check(const std::string& characterFolder);

    const std::vector<animEntry>& animations() const { return anims_; }
    const std::string& path() const { return path_; }
    int headerLine() const { return headerLine_; }
    // The first animation of that name (the game's look-up), or nullptr.
    const animEntry* find(const std::string& name) const;

  private:
    diagnostics& report_;
    frameFolderChecker& frames_;
    std::vector<animEntry> anims_;
    std::unordered_map<std::string, size_t> byName_; // first entry of each name
    std::string path_;
    int headerLine_ = 0;
};
