// A tiny built-in font for on-screen text (the workbench, the online overlay): every printable
// ASCII character as 5 x 7 pixels (9 with descenders) in a 6 x 11 cell, drawn straight onto an
// SDL surface.  No font file and no extra library.
#pragma once

#include <SDL.h>

#include <string>

class bitmapFont {
  public:
    static constexpr int cellWidth = 6;
    static constexpr int cellHeight = 11;

    // Draws the text with its top-left corner at (x, y), clipped to the
    // surface.  Characters outside printable ASCII show as '?'.
    static void draw(SDL_Surface* surface, int x, int y, const std::string& text, Uint32 colour);
    // Width in pixels of the text as drawn.
    static int width(const std::string& text);
    // True when the glyph of c has ink at column col, row row (0..4, 0..8).
    static bool ink(char c, int col, int row);
};
