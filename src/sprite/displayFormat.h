// The display format: the screen's pixel layout, in which every frame and
// every background save is kept so that blits need no conversion.
#pragma once

#include <SDL.h>

namespace displayFormat {

// True when the surface already has the layout SDL_DisplayFormat would give
// it: the screen's pixel size and colour masks, no alpha, in system memory
// like the screen.  False before the screen exists.
bool isDisplayFormat(const SDL_Surface* surface);

// SDL_DisplayFormat that takes the surface over: a surface already in the
// display format is returned as it is (its display-format copy would hold
// the same bytes, colour key and flags); any other is converted and freed.
// nullptr, with SDL's error set, when the conversion fails.
SDL_Surface* toDisplayFormat(SDL_Surface* surface);

// A new display-format surface of w x h, without colour key or alpha, its
// pixels black.  nullptr before the screen exists or when SDL fails.
SDL_Surface* blankDisplaySurface(int w, int h);

// A display-format surface of w x h whose pixels are the given memory, w * 4
// bytes a row, left as they are (SDL neither clears nor frees them).
// nullptr when the screen does not have 4-byte pixels or SDL fails.
SDL_Surface* displaySurfaceOver(void* pixels, int w, int h);

// True when blitting the surface onto a blank display-format surface gives
// exactly what SDL_DisplayFormat would: a plain bitmap in system memory,
// without colour key or alpha, that is not in the display format already.
bool canConvertInto(const SDL_Surface* surface);

// A bitmap that canConvertInto accepts, converted by a blit onto a new
// display-format surface over a slice of the pixel store.  The bitmap is
// freed and `slice` gets the memory, to give back to the store once the new
// surface is freed.  nullptr, with nothing taken and the bitmap as it was,
// when the bitmap is of another kind or the store or SDL fails.
SDL_Surface* convertIntoStore(SDL_Surface* decoded, void*& slice);

// A decoded image kept for the whole run (the stage) in the display format,
// taking the bitmap over: converted into the pixel store where that gives
// what SDL_DisplayFormat gives, else by SDL_DisplayFormat.  nullptr when it
// cannot be converted.
SDL_Surface* keptInDisplayFormat(SDL_Surface* decoded);

} // namespace displayFormat
