// One complete load of a character for the workbench: its animations and
// moves through the game's own loaders, the frame sets of the particles its
// frames spawn, the bitmap file each frame came from, and the stage.  A
// reload builds a fresh snapshot and the workbench swaps it in only when the
// whole load went through, so a broken file never replaces what is shown.
#pragma once

#include "fighter/animationSet.h"
#include "fighter/moveSet.h"
#include "particle/partInfoList.h"
#include "sprite/CSpriteBase.h"

#include <SDL.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class characterSnapshot {
  public:
    // The character the game plays (its folder inside the data folder).
    static constexpr const char* character = "Tavro";

    animationSet anims;
    moveSet moves;
    // Frame sets of the particle definitions the frames name, by name; a
    // name without a loadable folder is absent.
    std::map<std::string, std::unique_ptr<CSpriteBase>> particles;
    SDL_Surface* stage = nullptr; // the stage bitmap, display format; owned; may be null
    // The particle definitions as the game loads them (its list "default"),
    // for the particle preview; empty when they could not be loaded.
    partInfoList particleDefs;

    characterSnapshot() = default;
    ~characterSnapshot();
    characterSnapshot(const characterSnapshot&) = delete;
    characterSnapshot& operator=(const characterSnapshot&) = delete;

    // Loads everything from the data folder.  Throws loadStopped with the
    // loader's message when a loader gives up, or when the character has no
    // animation (the game cannot start without one).  Needs a video mode:
    // frames are converted to the display format.
    static std::unique_ptr<characterSnapshot> load(const std::string& dataFolder);

    // The bitmap file names of a frame set's frames, in frame order (empty
    // when unknown).
    const std::vector<std::string>& fileNames(const CSpriteBase* set) const;

  private:
    void loadParticles(const std::string& dataFolder, const CSpriteBase& set);
    void readFileNames(const std::string& folder, const CSpriteBase& set);
    void loadStage(const std::string& dataFolder);
    void loadParticleDefs(const std::string& dataFolder);

    std::map<const CSpriteBase*, std::vector<std::string>> files_;
};
