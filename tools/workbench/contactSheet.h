// The author's two pictures of a whole data folder, drawn as the workbench
// draws its window: the frames are the game's own sprites (loaded by its
// loaders, drawn by its sprite code), the boxes come from the overlay
// painter, and the text is in the built-in font.
//
// - The contact sheet: one row per frame set (the animations, the moves,
//   every particle of the list "default", the hit-point bar), each frame on
//   a grey cell with its floor line, the collision box (yellow), the damage
//   box (red, dashed when the frame does no damage), the anchor (blue) and
//   under it its number (from 1), pause, damage, sound, step and spawns.
//   Frames smaller than 100 x 100 pixels (the particles) are shown three
//   times as large.
// - The scene: the stage with both fighters on the ground line facing each
//   other, a fireball between them and both hit-point bars, where the game
//   puts them.
#pragma once

#include "characterSnapshot.h"

#include <SDL.h>

#include <ostream>
#include <string>

namespace contactSheet {

// Colours (0xRRGGBB) of what the sheet draws besides the workbench's boxes.
constexpr Uint32 backdropColour = 0x282830; // between the cells
constexpr Uint32 cellColour = 0x5C606E;     // behind a frame
constexpr Uint32 floorColour = 0x8C7864;    // the floor line through the anchor
constexpr Uint32 textColour = 0xE6E6E6;
constexpr Uint32 missingColour = 0xFF4040; // a frame the loader left without an image

// Where a frame's cell stands on the sheet and how much it is enlarged.
struct cell {
    int x = 0, y = 0; // the cell's top-left corner: the frame's (0, 0)
    int zoom = 1;
};

// The sheet of every frame of the snapshot's animations and moves and of
// the particles and the bar in the data folder: a new surface in the
// display format (the caller frees it), or null.  `cells`, when given,
// receives each frame's cell, row by row.  Needs a video mode.
SDL_Surface* sheet(characterSnapshot& snapshot, const std::string& dataFolder,
                   std::vector<std::vector<cell>>* cells = nullptr);
// The scene, 800 x 600: a new surface in the display format, or null.
SDL_Surface* scene(characterSnapshot& snapshot, const std::string& dataFolder);

// `workbench --sheet` and `--scene`: loads the data folder with the game's
// loaders (SDL's dummy video driver: no window) and saves the picture as a
// BMP.  0 when it was written; otherwise 1, and what went wrong on `err`.
int save(const std::string& dataFolder, const std::string& outBmp, bool scene, std::ostream& err);

} // namespace contactSheet
