// The calls into the media library that are not the same on every platform
// the game runs on.  On the desktop they are plain SDL 1.2 (media.cpp); in a
// web page they go to the browser's emulation of SDL 1.2 (mediaWeb.cpp),
// where surfaces live in canvases, colours carry an alpha byte, colour keys do
// not exist and SDL_Flip does nothing.  The game draws, loads and reads keys
// through these names wherever the two differ, so its logic is the same on
// both.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

namespace media {

// Why the game cannot be shown, or "" when it can.  Without a display SDL
// falls back on drivers that show no window (it draws the game as text
// art into the terminal, or nowhere at all, at full speed): before
// SDL_Init, no X11 or Wayland display is named; after it, the video driver
// SDL chose is one of those.  A driver named in SDL_VIDEODRIVER is taken as
// chosen on purpose (the tests' "dummy").  Always "" in a web page.
std::string displayProblem();
// Stop the game, with that reason on one line, when it cannot be shown; a
// windowless driver already open is closed first, giving the terminal back.
void stopWithoutDisplay();

// The window's surface: SDL_SetVideoMode.  The browser ignores
// SDL_HWPALETTE, which there would make an 8-bit palette screen.
SDL_Surface* openScreen(int width, int height, int bitsPerPixel, Uint32 flags);

// The audio device (Mix_OpenAudio); negative when it cannot be opened.  A
// browser lets a page play sound only after the player's first key press or
// click: there sounds are prepared at once and the page's audio starts with
// that first gesture; sounds played before it are not heard.
int openAudio(int frequency, Uint16 format, int channels, int chunkSize);

// Play a sound chunk once on a channel (-1: the first free one).
void playSound(int channel, Mix_Chunk* chunk);

// A copy of the surface in the screen's pixel format (SDL_DisplayFormat);
// nullptr when it cannot be made.  The source stays the caller's.
SDL_Surface* toDisplayFormat(SDL_Surface* surface);

// The surface in the screen's pixel format, taking its place: the surface is
// freed, or returned itself where it has that format already (every surface
// in the browser).  nullptr when the conversion fails.
SDL_Surface* replaceWithDisplayFormat(SDL_Surface* surface);

// Make the pixels of colour (red, green, blue) of a freshly loaded frame
// transparent.  On the desktop that is SDL's colour key, run-length encoded
// so blits skip the transparent runs; in the browser, which has no colour
// keys, those pixels get alpha 0.
void setTransparentColour(SDL_Surface* surface, Uint8 red, Uint8 green, Uint8 blue);

// Lock the surface so that its pixels in memory are what it shows: the
// browser reads its canvas back (a mirrored frame's copy in memory is never
// written there); on the desktop they are there already.  False when it
// cannot be locked; else unlock with SDL_UnlockSurface.
bool lockShownPixels(SDL_Surface* surface);

// The surface's colour key; false when it has none.  The browser's SDL has
// no colour key to read: transparency travels in the pixels' alpha there.
bool colourKey(const SDL_Surface* surface, Uint32& key);

// Give `target` the transparent colour of `source`, if it has one (a mirrored
// copy of a frame).  In the browser transparency travels in the pixels.
void copyTransparentColour(SDL_Surface* source, SDL_Surface* target);

// Make copies onto and from the surface replace pixels whole: no colour key,
// no surface alpha (the saved background under a sprite).
void makeOpaque(SDL_Surface* surface);

// The pixel value that shows the colour 0xRRGGBB on the surface.  On the
// desktop the game's 32-bit surfaces take the value as it is; the browser's
// canvas pixels hold red in the low byte and need alpha 255 to be seen.
Uint32 colourPixel(SDL_Surface* surface, Uint32 rgb);

// A horizontally mirrored copy made by the platform's own drawing, where that
// beats copying pixels one by one: the browser's canvases mirror an image
// without reading it back.  nullptr on the desktop, where the caller mirrors
// the pixels itself.
SDL_Surface* mirroredByPlatform(SDL_Surface* surface);

// True when a surface's pixels live in memory that may be copied directly
// between a lock and an unlock as cheaply as SDL blits them (the desktop).  In
// the browser they live in a canvas, and locking the screen copies all of it.
bool pixelsLiveInMemory();

// The held state of every key, indexed by key symbol (SDL_GetKeyState).
const Uint8* heldKeys();

// A read stream on bytes in memory (SDL_RWFromConstMem), or nullptr.  The
// bytes must outlive the stream.
SDL_RWops* memoryStream(const unsigned char* bytes, int size);
// Decode the bytes of a bitmap file (SDL_LoadBMP_RW on a memory stream);
// nullptr when they cannot be decoded.
SDL_Surface* decodeBitmap(const unsigned char* bytes, int size);

} // namespace media
