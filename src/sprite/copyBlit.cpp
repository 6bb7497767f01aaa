#include "sprite/copyBlit.h"

#include "base/media.h"

#include <algorithm>
#include <cstring>

namespace {

bool g_sdlOnly = false;

bool plainCopyPossible(const SDL_Surface* source, const SDL_Surface* target) {
    const SDL_PixelFormat* a = source->format;
    const SDL_PixelFormat* b = target->format;
    return a->BytesPerPixel == 4 && b->BytesPerPixel == 4 && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask &&
           (source->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == 0 && source != target;
}

} // namespace

bool blit::clipLikeSdl(const SDL_Surface* source, SDL_Rect* sourceRect, const SDL_Surface* target,
                       SDL_Rect* targetRect, blit::blitArea& area) {
    // The clipping of SDL_UpperBlit, step for step.
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
        return false;
    }
    targetRect->w = static_cast<Uint16>(w);
    targetRect->h = static_cast<Uint16>(h);
    area = blit::blitArea{srcX, srcY, w, h};
    return true;
}

int blit::copyBlit(SDL_Surface* source, SDL_Rect* sourceRect, SDL_Surface* target,
                   SDL_Rect* targetRect) {
    if (g_sdlOnly || !media::pixelsLiveInMemory() || !source || !target ||
        !plainCopyPossible(source, target))
        return SDL_BlitSurface(source, sourceRect, target, targetRect);

    SDL_Rect wholeTarget{0, 0, 0, 0};
    if (!targetRect) targetRect = &wholeTarget;
    blit::blitArea area;
    if (!blit::clipLikeSdl(source, sourceRect, target, targetRect, area)) return 0;
    const int srcX = area.x, srcY = area.y, w = area.w, h = area.h;

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

void blit::setSdlDrawingOnly(bool on) {
    g_sdlOnly = on;
}

bool blit::sdlDrawingOnly() {
    return g_sdlOnly;
}

int blit::rowFill(SDL_Surface* target, SDL_Rect* rect, Uint32 pixel) {
    if (g_sdlOnly || !media::pixelsLiveInMemory() || !target ||
        target->format->BytesPerPixel != 4 || (target->flags & SDL_HWSURFACE))
        return SDL_FillRect(target, rect, pixel);

    // The clipping of SDL_FillRect: the rectangle is cut to the clip
    // rectangle and written back; nothing left, nothing drawn.
    const SDL_Rect& clip = target->clip_rect;
    SDL_Rect whole = clip;
    if (rect) {
        int x0 = std::max<int>(rect->x, clip.x), y0 = std::max<int>(rect->y, clip.y);
        int x1 = std::min(rect->x + rect->w, clip.x + clip.w);
        int y1 = std::min(rect->y + rect->h, clip.y + clip.h);
        rect->x = static_cast<Sint16>(x0);
        rect->y = static_cast<Sint16>(y0);
        rect->w = static_cast<Uint16>(std::max(x1 - x0, 0));
        rect->h = static_cast<Uint16>(std::max(y1 - y0, 0));
        if (rect->w == 0 || rect->h == 0) return 0;
    } else {
        rect = &whole;
    }

    const bool lock = SDL_MUSTLOCK(target);
    if (lock && SDL_LockSurface(target) < 0) return -1;
    Uint8* row = static_cast<Uint8*>(target->pixels) + rect->y * target->pitch + rect->x * 4;
    for (int y = 0; y < rect->h; ++y, row += target->pitch)
        std::fill_n(reinterpret_cast<Uint32*>(row), rect->w, pixel);
    if (lock) SDL_UnlockSurface(target);
    return 0;
}
