// A character's named animations (standing, walking, ...), each a frame set
// loaded from its own folder inside the character folder.
#pragma once

#include "sprite/CSpriteBase.h"

#include <string>
#include <vector>

// The frame set comes first so that a fighter can show an animation by
// pointing its sprite at it.
struct animation {
    CSpriteBase frameSet;
    std::string animName;
};

class animationSet {
  public:
    std::vector<animation> animList; // allocated once by loadAll, never resized after
    int animCount = 0;
    std::string folderName;

    int loadAll(const char* folder); // always 1
    void loadAnim(int index, const std::string& name);
    // Exact, case-sensitive look-up; the first entry when no name matches,
    // nullptr only when the set is empty.
    animation* returnAnimation(const std::string& name);
};
