// Checks one sound file the way the sound set will load it: its size, then
// the game's own WAV check (wavHeader), which is all that decides.
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
