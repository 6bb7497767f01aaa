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

// The start every loader target makes: a quiet game and a headless screen.
// Returns the folder `name` inside the work folder, where the target
// writes the files its loader reads.
std::string startIn(const std::string& name);

// The start of the targets of a character's files (the animation index,
// the move set), made on the first call: the folder "character" in the work
// folder, beside a frame set "a" that loads.  Returns that folder.
const std::string& characterFolder();

// The same start for loaders that read "data/..." from the working folder:
// the work folder becomes the working folder.
void startInWorkDir();

// Writes the input, as it is, to the file at `path`.
void writeInput(const std::string& path, const uint8_t* data, size_t size);

// The input as text, cut in two at the first "\n====\n" (the second part is
// empty when there is no separator).
std::pair<std::string, std::string> splitInput(const uint8_t* data, size_t size);

} // namespace fuzz
