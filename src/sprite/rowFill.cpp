#include "sprite/rowFill.h"

#include <algorithm>

namespace {

bool g_sdlOnly = false;

} // namespace

void setSdlDrawingOnly(bool on) {
    g_sdlOnly = on;
}

bool sdlDrawingOnly() {
    return g_sdlOnly;
}

int rowFill(SDL_Surface* target, SDL_Rect* rect, Uint32 pixel) {
    if (g_sdlOnly || !target || target->format->BytesPerPixel != 4 ||
        (target->flags & SDL_HWSURFACE))
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
