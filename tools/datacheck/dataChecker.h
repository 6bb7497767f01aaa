// Checks a whole data folder the way the game will load it at start-up (the
// background, the bar, the sound lists, the particle definitions, the
// character's animations, moves and attack file) and then the rules that
// span files: names the engine asks for, references between files, the
// "blank" animation and the character's anchor.
#pragma once

#include "animationIndexChecker.h"
#include "attackFileChecker.h"
#include "diagnostics.h"
#include "frameFolderChecker.h"
#include "movesetChecker.h"
#include "particleChecker.h"
#include "soundListChecker.h"

#include <string>
#include <vector>

class dataChecker {
  public:
    explicit dataChecker(diagnostics& report);

    // Checks the data folder (the game's "data").
    void run(const std::string& dataFolder);

    // The character the game loads.
    static constexpr const char* character = "Tavro";

  private:
    void checkAll(const std::string& dataFolder);
    // The memory budget for decoded frames, counted as the game loads them;
    // false when the game stops on it.
    bool checkFrameBudget(const std::string& dataFolder);
    void checkBar(const frameFolder& bar);
    // The character's second palette (player 2's colours in versus), when present.
    void checkSecondPalette(const std::string& characterFolder);
    void checkRequiredNames();
    // Every frame folder of the character, each once, in load order.
    std::vector<const frameFolder*> characterFolders() const;
    void checkBlank(const std::vector<const frameFolder*>& folders);
    void checkAnchors(const std::vector<const frameFolder*>& folders);
    void checkFrameReferences(const std::vector<const frameFolder*>& folders);

    diagnostics& report_;
    frameFolderChecker frames_;
    soundListChecker sounds_;
    particleChecker particles_;
    animationIndexChecker anims_;
    movesetChecker moves_;
    attackFileChecker attacks_;
};
