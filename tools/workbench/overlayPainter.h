// Outlines and markers drawn over the frames, so the art under them stays
// visible: boxes as one-pixel frames, points as small crosses.  Everything is
// clipped to the surface; coordinates may lie anywhere in the int range.
#pragma once

#include "base/colBox.h"

#include <SDL.h>

class overlayPainter {
  public:
    // The box's four edges (all of them inside the box, as in the game), one
    // pixel wide.  dashed: every other pair of pixels, for a box that is
    // there but does nothing (a damage box without damage).
    static void outline(SDL_Surface* surface, colBox box, Uint32 colour, bool dashed = false);
    // A cross of arms `arm` pixels long centred on (x, y).
    static void cross(SDL_Surface* surface, int x, int y, int arm, Uint32 colour);
    // A filled rectangle (text panels).
    static void fill(SDL_Surface* surface, long long x, long long y, long long w, long long h,
                     Uint32 colour);
    // The surface's pixel value for 0xRRGGBB.
    static Uint32 colour(SDL_Surface* surface, Uint32 rgb);
};
