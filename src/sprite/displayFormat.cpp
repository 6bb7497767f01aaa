#include "sprite/displayFormat.h"

#include "base/media.h"

#include <climits>

bool isDisplayFormat(const SDL_Surface* surface) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (!surface || !screen) return false;
    // A screen in video memory gets video-memory copies; leave those to SDL.
    if ((screen->flags | surface->flags) & SDL_HWSURFACE) return false;
    if (surface->flags & SDL_SRCALPHA) return false;
    const SDL_PixelFormat* a = surface->format;
    const SDL_PixelFormat* b = screen->format;
    return a->BitsPerPixel == b->BitsPerPixel && a->BytesPerPixel == b->BytesPerPixel &&
           a->BytesPerPixel == 4 && !a->palette && a->Rmask == b->Rmask && a->Gmask == b->Gmask &&
           a->Bmask == b->Bmask && a->Amask == b->Amask;
}

SDL_Surface* toDisplayFormat(SDL_Surface* surface) {
    if (!surface || isDisplayFormat(surface)) return surface;
    SDL_Surface* converted = media::toDisplayFormat(surface);
    SDL_FreeSurface(surface);
    return converted;
}

SDL_Surface* blankDisplaySurface(int w, int h) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen) return nullptr;
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* made =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, 0);
    if (made && isDisplayFormat(made)) return made;
    // A screen of another kind: let SDL make its own display-format copy.
    return made ? toDisplayFormat(made) : nullptr;
}

SDL_Surface* displaySurfaceOver(void* pixels, int w, int h) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen || !pixels || w < 1 || h < 1 || w > INT_MAX / 4) return nullptr;
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* made = SDL_CreateRGBSurfaceFrom(pixels, w, h, f->BitsPerPixel, w * 4, f->Rmask,
                                                 f->Gmask, f->Bmask, 0);
    if (made && isDisplayFormat(made)) return made;
    if (made) SDL_FreeSurface(made);
    return nullptr;
}

bool canConvertInto(const SDL_Surface* surface) {
    // A colour key or alpha makes SDL_DisplayFormat carry them over in ways
    // of its own; such a bitmap goes through SDL_DisplayFormat itself.
    return surface && media::pixelsLiveInMemory() && !isDisplayFormat(surface) &&
           !(surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_HWSURFACE)) &&
           surface->format->Amask == 0;
}
