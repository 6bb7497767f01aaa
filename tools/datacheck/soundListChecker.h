// Checks the sound lists ("SOUNDS: n" and one name per line, name.wav beside
// the list): the common list first, then the character's, which the game
// only adds names to that the common list lacks.
#pragma once

#include "diagnostics.h"
#include "sound/soundList.h"
#include "wavChecker.h"

#include <string>
#include <unordered_map>
#include <vector>

struct soundName {
    std::string name;
    std::string list; // the list file it comes from
    int line = 0;
    bool loads = false; // its WAV passed the checks
};

class soundListChecker {
  public:
    explicit soundListChecker(diagnostics& report) : report_(report) {}

    // The common list (the game's getList).
    void checkCommon(const std::string& folder) { check(folder, false); }
    // A character's list (the game's addToList).
    void checkCharacter(const std::string& folder) { check(folder, true); }

    // True when the game's sound set will hold a sound of that name.
    bool has(const std::string& name) const { return find(name) != nullptr; }
    const soundName* find(const std::string& name) const;
    // The sounds the game's set will hold, in load order.
    const std::vector<soundName>& names() const { return names_; }

  private:
    void check(const std::string& folder, bool character);
    // One name of the list; `before` names came from earlier lists.
    void checkEntry(const listedSound& entry, const std::string& folder, const std::string& path,
                    bool character, size_t before);

    diagnostics& report_;
    std::vector<soundName> names_;
    std::unordered_map<std::string, size_t> byName_; // first of each name
    wavChecker wavs_;
};
