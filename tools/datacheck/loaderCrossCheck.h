// Loads the data once more with the game's own loaders (animation set, move
// set, sound set, attack table, particle definitions) and reports every
// place where they read a value other than the checker did.  The loaders run
// with the game's fatal stop turned into an exception: a loader that would
// end the game becomes an error line with the game's reason, at the frame it
// was loading, and the checker goes on with the next loader.  Frame sets are
// only loaded when a video surface exists (frames are converted to the
// display format); sounds only when the audio device is open.
#pragma once

#include "animationIndexChecker.h"
#include "attackFileChecker.h"
#include "diagnostics.h"
#include "movesetChecker.h"
#include "particleChecker.h"
#include "soundListChecker.h"

#include <functional>
#include <string>

class CSpriteBase;
class animationSet;
class moveSet;

class loaderCrossCheck {
  public:
    loaderCrossCheck(diagnostics& report, const frameFolderChecker& frames)
        : report_(report), frames_(frames) {}

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
    // Runs a loader; false, with the game's reason reported at the frame it
    // was loading (folders the game names start with folderPrefix here),
    // when it stopped the game.
    bool run(const std::string& indexFile, const std::string& folderPrefix,
             const std::function<void()>& load);
    void compareAnimations(const animationIndexChecker& anims, animationSet& game);
    void compareMoves(const movesetChecker& moves, moveSet& game);
    void compareFrames(const frameFolder& mine, const CSpriteBase& game);

    diagnostics& report_;
    const frameFolderChecker& frames_;
};
