#include "overlayPainter.h"

#include <algorithm>

void overlayPainter::fill(SDL_Surface* surface, long long x, long long y, long long w, long long h,
                          Uint32 colour) {
    if (!surface || w <= 0 || h <= 0) return;
    const long long x0 = std::max(x, 0LL), y0 = std::max(y, 0LL);
    const long long x1 = std::min(x + w, static_cast<long long>(surface->w));
    const long long y1 = std::min(y + h, static_cast<long long>(surface->h));
    if (x1 <= x0 || y1 <= y0) return;
    SDL_Rect r{static_cast<Sint16>(x0), static_cast<Sint16>(y0), static_cast<Uint16>(x1 - x0),
               static_cast<Uint16>(y1 - y0)};
    SDL_FillRect(surface, &r, colour);
}

void overlayPainter::outline(SDL_Surface* surface, colBox box, Uint32 colour, bool dashed) {
    const long long left = std::min(box.left, box.right), right = std::max(box.left, box.right);
    const long long top = std::min(box.top, box.bottom), bottom = std::max(box.top, box.bottom);
    if (!dashed) {
        fill(surface, left, top, right - left + 1, 1, colour);
        fill(surface, left, bottom, right - left + 1, 1, colour);
        fill(surface, left, top, 1, bottom - top + 1, colour);
        fill(surface, right, top, 1, bottom - top + 1, colour);
        return;
    }
    // Two pixels on, two off, along each edge; only the part on the surface
    // is walked.
    if (!surface) return;
    const long long xFrom = std::max(left, 0LL), xTo = std::min(right, surface->w - 1LL);
    const long long yFrom = std::max(top, 0LL), yTo = std::min(bottom, surface->h - 1LL);
    for (long long x = xFrom; x <= xTo; ++x)
        if ((x - left) % 4 < 2) {
            fill(surface, x, top, 1, 1, colour);
            fill(surface, x, bottom, 1, 1, colour);
        }
    for (long long y = yFrom; y <= yTo; ++y)
        if ((y - top) % 4 < 2) {
            fill(surface, left, y, 1, 1, colour);
            fill(surface, right, y, 1, 1, colour);
        }
}

void overlayPainter::cross(SDL_Surface* surface, int x, int y, int arm, Uint32 colour) {
    fill(surface, static_cast<long long>(x) - arm, y, 2LL * arm + 1, 1, colour);
    fill(surface, x, static_cast<long long>(y) - arm, 1, 2LL * arm + 1, colour);
}

Uint32 overlayPainter::colour(SDL_Surface* surface, Uint32 rgb) {
    if (!surface) return rgb;
    return SDL_MapRGB(surface->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
