// Loads the character once more with the game's own loaders (animation set
// and move set) and reports every place where they read a value other than
// the checker did.  It only runs when every bitmap of the character decodes
// (the game's resource loader would end the program otherwise) and a video
// surface exists (frames are converted to the display format).
#pragma once

#include "animationIndexChecker.h"
#include "diagnostics.h"
#include "movesetChecker.h"

#include <string>

class CSpriteBase;

class loaderCrossCheck {
  public:
    explicit loaderCrossCheck(diagnostics& report) : report_(report) {}

    // False when the game's loaders could not be run safely.
    bool character(const std::string& characterFolder, const animationIndexChecker& anims,
                   const movesetChecker& moves);

  private:
    void compareFrames(const frameFolder& mine, const CSpriteBase& game);

    diagnostics& report_;
};
