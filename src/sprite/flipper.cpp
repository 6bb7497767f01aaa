#include "sprite/flipper.h"

#include <cstring>

namespace {

Uint8* pixelAddress(SDL_Surface* surface, int x, int y) {
    return static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
           x * surface->format->BytesPerPixel;
}

} // namespace

Uint32 get_pixel32(SDL_Surface* surface, int x, int y) {
    Uint32 pixel;
    std::memcpy(&pixel, pixelAddress(surface, x, y), sizeof pixel);
    return pixel;
}

void put_pixel32(SDL_Surface* surface, int x, int y, Uint32 pixel) {
    std::memcpy(pixelAddress(surface, x, y), &pixel, sizeof pixel);
}

SDL_Surface* flip_surface(SDL_Surface* source) {
    if (!source) return nullptr;
    SDL_PixelFormat* format = source->format;
    const bool keyed = (source->flags & SDL_SRCCOLORKEY) != 0;
    SDL_Surface* flipped =
        SDL_CreateRGBSurface(0, source->w, source->h, format->BitsPerPixel, format->Rmask,
                             format->Gmask, format->Bmask, keyed ? 0 : format->Amask);
    if (!flipped) return nullptr;

    const bool lockSource = SDL_MUSTLOCK(source);
    if (lockSource && SDL_LockSurface(source) < 0) {
        SDL_FreeSurface(flipped);
        return nullptr;
    }
    const int w = source->w;
    if (format->BytesPerPixel == 4) {
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < source->h; ++y)
                put_pixel32(flipped, w - 1 - x, y, get_pixel32(source, x, y));
    } else {
        // Frames are always 32-bit; anything else is still mirrored byte-wise
        // rather than read past the end of its rows.
        const int bytes = format->BytesPerPixel;
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < source->h; ++y)
                std::memcpy(pixelAddress(flipped, w - 1 - x, y), pixelAddress(source, x, y), bytes);
    }
    if (lockSource) SDL_UnlockSurface(source);

    if (keyed) SDL_SetColorKey(flipped, SDL_SRCCOLORKEY | SDL_RLEACCEL, format->colorkey);
    return flipped;
}
