// Shared set-up of the loader fuzz targets: a quiet game, a headless screen
// and a scratch folder per process.  The small files the loaders need beside
// the fuzzed one are written with the tests' data folder writers.
#pragma once

#include "dataFolder.h" // the writers of data folders the tests use too

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace fuzz {

// Send the game's trace and error channel nowhere.
void quietGame();

// SDL with the dummy video driver and a small 32-bit screen (once).
SDL_Surface* headlessScreen();

// A fresh folder under /tmp for this process, removed at exit.
const std::string& workDir();

// The input as text, cut in two at the first "\n====\n" (the second part is
// empty when there is no separator).
std::pair<std::string, std::string> splitInput(const uint8_t* data, size_t size);

} // namespace fuzz
