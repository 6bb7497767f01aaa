// Mirroring of frames and raw pixel access.
#pragma once

#include <SDL.h>

namespace flipper {

// A new surface that is the horizontal mirror of a 32-bit surface; it keeps
// the source's colour key.  The caller owns it.
SDL_Surface* flip_surface(SDL_Surface* source);
// Writes the horizontal mirror of `source` into `target`, a surface of the
// same size and pixel size made by the caller, and gives it the source's
// colour key.  False, with `target` untouched, when the two do not match or
// cannot be locked.
bool mirrorInto(SDL_Surface* source, SDL_Surface* target);

// One 32-bit pixel at (x, y), honouring the surface's pitch.
Uint32 get_pixel32(SDL_Surface* surface, int x, int y);
void put_pixel32(SDL_Surface* surface, int x, int y, Uint32 pixel);

} // namespace flipper
