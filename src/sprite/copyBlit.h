// The fast rectangle copy that saves and restores the background under
// sprites and draws opaque frames, and the fast fill that draws the bars.
#pragma once

#include <SDL.h>

namespace blit {

// SDL_BlitSurface for the plain rectangle copies that save and restore the
// background under sprites.  When both surfaces are 32-bit with the same
// pixel layout and the source has neither colour key nor alpha, the rows are
// copied with memcpy (SDL 1.2 copies these pixel by pixel, ten times
// slower); anything else, and every copy where surfaces are not plain memory
// (a browser's canvases), is handed to SDL_BlitSurface.  Clipping, the
// rectangle written back and the result are SDL_BlitSurface's.
int copyBlit(SDL_Surface* source, SDL_Rect* sourceRect, SDL_Surface* target, SDL_Rect* targetRect);

// The part of the source a blit copies, after clipping.
struct blitArea {
    int x = 0, y = 0, w = 0, h = 0;
};

// The clipping SDL_BlitSurface applies: the source rectangle (nullptr: the
// whole source) cut to the source, then to the target's clip rectangle.
// `targetRect` (not nullptr) gets the place and size really written, as SDL
// writes it back; false, with a size of 0, when nothing is left to copy.
bool clipLikeSdl(const SDL_Surface* source, SDL_Rect* sourceRect, const SDL_Surface* target,
                 SDL_Rect* targetRect, blitArea& area);

// SDL_FillRect for the bars.  On a 32-bit software surface the rows are
// written directly (SDL 1.2 fills with stores that bypass the cache, so the
// next restore of those lines has to fetch them back from memory); anything
// else, and every fill where surfaces are not plain memory, is handed to
// SDL_FillRect.  Clipping, the rectangle written back, the
// pixels and the result are SDL_FillRect's.
int rowFill(SDL_Surface* target, SDL_Rect* rect, Uint32 pixel);

// copyBlit and rowFill give exactly the pixels SDL gives.  While this is on,
// they hand every call to SDL_BlitSurface and SDL_FillRect instead: the frame
// comparison test draws the game both ways, and a platform whose SDL copies
// fast may prefer SDL's own path.
void setSdlDrawingOnly(bool on);
bool sdlDrawingOnly();

} // namespace blit
