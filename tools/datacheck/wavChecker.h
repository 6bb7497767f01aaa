// Checks one sound file the way the sound set will load it: the game's own
// WAV check (wavHeader), then SDL's WAV decoder.
#pragma once

#include <string>
#include <vector>

class wavChecker {
  public:
    // True when the file at path loads; otherwise false with the reason.
    bool check(const std::string& path, std::string& problem) const;

    // RIFF/WAVE structure of bytes already read; "" when it is sound.
    static std::string headerProblem(const std::vector<unsigned char>& bytes);
};
