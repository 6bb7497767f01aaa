// One kind of particle: its frames, lifetime, gravity and the particles it
// turns into on its events.
#pragma once

#include "particle/particleFile.h"
#include "sprite/CSpriteBase.h"

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

class particleInfo {
  public:
    std::unique_ptr<CSpriteBase> frameSet;
    int listNumber = 0;
    int lifetime = 0; // milliseconds; <= 0: no limit
    int alpha = 0;
    bool hasGravity = false;
    bool extraFlagA = false;
    bool extraFlagB = false;
    bool loaded = false;
    int eventCount[eventKinds] = {0, 0, 0, 0, 0};
    std::vector<std::string> eventParts[eventKinds];
    SDL_Surface* screenSurf = nullptr; // not owned

    particleInfo() = default;
    bool initS(const std::string& line, SDL_Surface* screen);
    bool ParticleInfo(const char* folder);

    // The first entry of an event list, "NULL" when the list is empty.
    std::string firstEntry(int event) const;
};
