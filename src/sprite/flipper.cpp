#include "sprite/flipper.h"

#include "base/media.h"

#include <algorithm>
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
    if (SDL_Surface* mirrored = media::mirroredByPlatform(source)) return mirrored;
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
    // A fresh surface needs no lock on the desktop; in the browser every
    // surface does, or the written pixels never reach it.
    const bool lockFlipped = SDL_MUSTLOCK(flipped);
    if (lockFlipped && SDL_LockSurface(flipped) < 0) {
        if (lockSource) SDL_UnlockSurface(source);
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
    if (lockFlipped) SDL_UnlockSurface(flipped);
    if (lockSource) SDL_UnlockSurface(source);

    media::copyTransparentColour(source, flipped);
    return flipped;
}

namespace {

bool plainCopyPossible(const SDL_Surface* source, const SDL_Surface* target) {
    const SDL_PixelFormat* a = source->format;
    const SDL_PixelFormat* b = target->format;
    return a->BytesPerPixel == 4 && b->BytesPerPixel == 4 && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask &&
           (source->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == 0 && source != target;
}

} // namespace

int copyBlit(SDL_Surface* source, SDL_Rect* sourceRect, SDL_Surface* target, SDL_Rect* targetRect) {
    if (!source || !target || !media::pixelsLiveInMemory() || !plainCopyPossible(source, target))
        return SDL_BlitSurface(source, sourceRect, target, targetRect);

    // The clipping of SDL_UpperBlit, step for step.
    SDL_Rect wholeTarget{0, 0, 0, 0};
    if (!targetRect) targetRect = &wholeTarget;
    int srcX = 0, srcY = 0, w = source->w, h = source->h;
    if (sourceRect) {
        srcX = sourceRect->x;
        w = sourceRect->w;
        if (srcX < 0) {
            w += srcX;
            targetRect->x -= srcX;
            srcX = 0;
        }
        w = std::min(w, source->w - srcX);
        srcY = sourceRect->y;
        h = sourceRect->h;
        if (srcY < 0) {
            h += srcY;
            targetRect->y -= srcY;
            srcY = 0;
        }
        h = std::min(h, source->h - srcY);
    }
    const SDL_Rect& clip = target->clip_rect;
    int d = clip.x - targetRect->x;
    if (d > 0) {
        w -= d;
        targetRect->x += d;
        srcX += d;
    }
    d = targetRect->x + w - clip.x - clip.w;
    if (d > 0) w -= d;
    d = clip.y - targetRect->y;
    if (d > 0) {
        h -= d;
        targetRect->y += d;
        srcY += d;
    }
    d = targetRect->y + h - clip.y - clip.h;
    if (d > 0) h -= d;
    if (w <= 0 || h <= 0) {
        targetRect->w = targetRect->h = 0;
        return 0;
    }
    targetRect->w = static_cast<Uint16>(w);
    targetRect->h = static_cast<Uint16>(h);

    bool lockSource = SDL_MUSTLOCK(source), lockTarget = SDL_MUSTLOCK(target);
    if (lockSource && SDL_LockSurface(source) < 0) return -1;
    if (lockTarget && SDL_LockSurface(target) < 0) {
        if (lockSource) SDL_UnlockSurface(source);
        return -1;
    }
    const Uint8* from = static_cast<const Uint8*>(source->pixels) + srcY * source->pitch + srcX * 4;
    Uint8* to =
        static_cast<Uint8*>(target->pixels) + targetRect->y * target->pitch + targetRect->x * 4;
    for (int row = 0; row < h; ++row)
        std::memcpy(to + row * target->pitch, from + row * source->pitch,
                    static_cast<size_t>(w) * 4);
    if (lockTarget) SDL_UnlockSurface(target);
    if (lockSource) SDL_UnlockSurface(source);
    return 0;
}
