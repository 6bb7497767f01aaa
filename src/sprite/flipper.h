// Mirroring of frames and raw pixel access.
#pragma once

#include <SDL.h>

// A new surface that is the horizontal mirror of a 32-bit surface; it keeps
// the source's colour key.  The caller owns it.
SDL_Surface* flip_surface(SDL_Surface* source);

// One 32-bit pixel at (x, y), honouring the surface's pitch.
Uint32 get_pixel32(SDL_Surface* surface, int x, int y);
void put_pixel32(SDL_Surface* surface, int x, int y, Uint32 pixel);

// SDL_BlitSurface for the plain rectangle copies that save and restore the
// background under sprites.  When both surfaces are 32-bit with the same
// pixel layout and the source has neither colour key nor alpha, the rows are
// copied with memcpy (SDL 1.2 copies these pixel by pixel, ten times
// slower); anything else, and every copy where surfaces are not plain
// memory (a browser's canvases), is handed to SDL_BlitSurface.  Clipping, the
// rectangle written back and the result are SDL_BlitSurface's.
int copyBlit(SDL_Surface* source, SDL_Rect* sourceRect, SDL_Surface* target, SDL_Rect* targetRect);
