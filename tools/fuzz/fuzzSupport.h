// Shared set-up of the loader fuzz targets: a quiet game, a headless screen,
// a scratch folder per process and the small files the loaders need beside
// the fuzzed one.
#pragma once

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

// Write bytes to a file, creating its parent folders.
void writeFile(const std::string& path, const std::string& bytes);
// Write a small 24-bit bitmap (w x h, one colour).
void writeBmp(const std::string& path, int w, int h);
// A valid frame index for one frame drawn from a.bmp, with a colour key.
std::string oneFrameIndex();
// Write folder/info (one frame) and folder/a.bmp: a frame set that loads.
void writeFrameFolder(const std::string& folder);

// The input as text, cut in two at the first "\n====\n" (the second part is
// empty when there is no separator).
std::pair<std::string, std::string> splitInput(const uint8_t* data, size_t size);

} // namespace fuzz
