// Loads the data once more with the game's own loaders (animation set, move
// set, sound set, attack table, particle definitions) and reports every
// place where they read a value other than the checker did.  Frame sets are
// only loaded when all their bitmaps decode (the game's resource loader
// would end the program otherwise) and a video surface exists (frames are
// converted to the display format); sounds only when the audio device is open.
#pragma once

#include "animationIndexChecker.h"
#include "attackFileChecker.h"
#include "diagnostics.h"
#include "movesetChecker.h"
#include "particleChecker.h"
#include "soundListChecker.h"

#include <string>

class CSpriteBase;

class loaderCrossCheck {
  public:
    explicit loaderCrossCheck(diagnostics& report) : report_(report) {}

    // False when the game's loaders could not be run safely.
    bool character(const std::string& characterFolder, const animationIndexChecker& anims,
                   const movesetChecker& moves);
    // Every sound the checker found loadable loads on the audio device.
    bool sounds(const std::string& commonFolder, const std::string& characterFolder,
                const soundListChecker& mine);
    // The range counts and the link and cancel groups.
    bool attackTable(const std::string& aiFolder, const attackFileChecker& mine);
    // The game reads its particle list from "data/particle" under the
    // working directory: only a data folder named "data" can be compared.
    bool particles(const std::string& dataFolder, const particleChecker& mine);

  private:
    void compareFrames(const frameFolder& mine, const CSpriteBase& game);

    diagnostics& report_;
};
