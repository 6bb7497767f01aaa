// The fast rectangle copy that saves and restores the background under
// sprites.
#pragma once

#include <SDL.h>

// SDL_BlitSurface for the plain rectangle copies that save and restore the
// background under sprites.  When both surfaces are 32-bit with the same
// pixel layout and the source has neither colour key nor alpha, the rows are
// copied with memcpy (SDL 1.2 copies these pixel by pixel, ten times
// slower); anything else is handed to SDL_BlitSurface.  Clipping, the
// rectangle written back and the result are SDL_BlitSurface's.
int copyBlit(SDL_Surface* source, SDL_Rect* sourceRect, SDL_Surface* target, SDL_Rect* targetRect);
