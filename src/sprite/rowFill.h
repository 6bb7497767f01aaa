// The fast rectangle fill that draws the hit-point bars.
#pragma once

#include <SDL.h>

// SDL_FillRect for the bars.  On a 32-bit software surface the rows are
// written directly (SDL 1.2 fills with stores that bypass the cache, so the
// next restore of those lines has to fetch them back from memory); anything
// else is handed to SDL_FillRect.  Clipping, the rectangle written back, the
// pixels and the result are SDL_FillRect's.
int rowFill(SDL_Surface* target, SDL_Rect* rect, Uint32 pixel);

// The row copies and fills (copyBlit, rowFill) give exactly the pixels SDL
// gives.  While this is on, they hand every call to SDL_BlitSurface and
// SDL_FillRect instead: the frame comparison test draws the game both ways,
// and a platform whose SDL copies fast may prefer SDL's own path.
void setSdlDrawingOnly(bool on);
bool sdlDrawingOnly();
