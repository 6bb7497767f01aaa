// A random source that gives the same numbers for the same seed on every
// machine and C library (xorshift32).  A recorded game replays with the
// opponent's very choices, a web page opened with ?seed=N plays the game a
// replay with seed N plays, and the data generator's textures come out the
// same everywhere, because all of them draw from this one generator.
#pragma once

#include <cstdint>

class seededRandom {
  public:
    explicit seededRandom(std::uint32_t seed = 1) { reseed(seed); }
    // Seed 0 would give only zeros: it counts as seed 1.
    void reseed(std::uint32_t seed) { state_ = seed ? seed : 1u; }
    // The next number, all 32 bits of it.
    std::uint32_t next();
    // The next number in 0 ... 2^31 - 1, as the game's random seam hands it out.
    int nextRaw() { return static_cast<int>(next() & 0x7FFFFFFFu); }

    // Makes the game draw its random numbers from a generator seeded with
    // `seed` (through seams::setRandomSource; nullptr there undoes it).
    static void install(std::uint32_t seed);
    // The installed generator, for saving and restoring with the game's
    // state: whether one was installed, and where it stands.
    static bool installed();
    static std::uint32_t installedState();
    static void setInstalledState(std::uint32_t state);

  private:
    std::uint32_t state_ = 1;
};
