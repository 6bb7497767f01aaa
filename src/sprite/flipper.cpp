#include "sprite/flipper.h"

#include "base/media.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A row read backwards into `to`.  Four pixels at a time where the processor
// can: the last four of the source, turned round in a register, are the
// first four of the mirror.  This is most of the time spent mirroring a
// character's frames at start-up.
void reverseRow(const Uint32* from, Uint32* to, int w) {
    int x = 0;
#if defined(__SSE2__)
    for (; x + 4 <= w; x += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + w - x - 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x),
                         _mm_shuffle_epi32(four, _MM_SHUFFLE(0, 1, 2, 3)));
    }
#endif
    for (; x < w; ++x)
        to[x] = from[w - 1 - x];
}

Uint8* pixelAddress(SDL_Surface* surface, int x, int y) {
    return static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
           x * surface->format->BytesPerPixel;
}

} // namespace

Uint32 flipper::get_pixel32(SDL_Surface* surface, int x, int y) {
    Uint32 pixel;
    std::memcpy(&pixel, pixelAddress(surface, x, y), sizeof pixel);
    return pixel;
}

void flipper::put_pixel32(SDL_Surface* surface, int x, int y, Uint32 pixel) {
    std::memcpy(pixelAddress(surface, x, y), &pixel, sizeof pixel);
}

SDL_Surface* flipper::flip_surface(SDL_Surface* source) {
    if (!source) return nullptr;
    if (SDL_Surface* mirrored = media::mirroredByPlatform(source)) return mirrored;
    SDL_PixelFormat* format = source->format;
    const bool keyed = (source->flags & SDL_SRCCOLORKEY) != 0;
    SDL_Surface* flipped =
        SDL_CreateRGBSurface(0, source->w, source->h, format->BitsPerPixel, format->Rmask,
                             format->Gmask, format->Bmask, keyed ? 0 : format->Amask);
    if (!flipped) return nullptr;
    if (!flipper::mirrorInto(source, flipped)) {
        SDL_FreeSurface(flipped);
        return nullptr;
    }
    return flipped;
}

bool flipper::mirrorInto(SDL_Surface* source, SDL_Surface* target) {
    if (!source || !target || source->w != target->w || source->h != target->h ||
        source->format->BytesPerPixel != target->format->BytesPerPixel)
        return false;
    const bool lockSource = SDL_MUSTLOCK(source);
    if (lockSource && SDL_LockSurface(source) < 0) return false;
    // A fresh surface needs no lock on the desktop; in the browser every
    // surface does, or the written pixels never reach it.
    const bool lockTarget = SDL_MUSTLOCK(target);
    if (lockTarget && SDL_LockSurface(target) < 0) {
        if (lockSource) SDL_UnlockSurface(source);
        return false;
    }
    // Row by row: each row of the mirror is its source row read backwards,
    // so both surfaces are walked in memory order.
    const int w = source->w;
    const int bytes = source->format->BytesPerPixel;
    for (int y = 0; y < source->h; ++y) {
        const Uint8* from = static_cast<const Uint8*>(source->pixels) + y * source->pitch;
        Uint8* to = static_cast<Uint8*>(target->pixels) + y * target->pitch;
        if (bytes == 4) {
            reverseRow(reinterpret_cast<const Uint32*>(from), reinterpret_cast<Uint32*>(to), w);
        } else {
            // Frames are always 32-bit; anything else is still mirrored
            // pixel by pixel rather than read past the end of its rows.
            for (int x = 0; x < w; ++x)
                std::memcpy(to + (w - 1 - x) * bytes, from + x * bytes, bytes);
        }
    }
    if (lockTarget) SDL_UnlockSurface(target);
    if (lockSource) SDL_UnlockSurface(source);

    media::copyTransparentColour(source, target);
    return true;
}
