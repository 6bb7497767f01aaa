#include "sprite/displayFormat.h"

#include "base/media.h"
#include "sprite/pixelStore.h"

#include <climits>

bool displayFormat::isDisplayFormat(const SDL_Surface* surface) {
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

SDL_Surface* displayFormat::toDisplayFormat(SDL_Surface* surface) {
    if (!surface || displayFormat::isDisplayFormat(surface)) return surface;
    SDL_Surface* converted = media::toDisplayFormat(surface);
    SDL_FreeSurface(surface);
    return converted;
}

SDL_Surface* displayFormat::blankDisplaySurface(int w, int h) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen) return nullptr;
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* made =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, 0);
    if (made && displayFormat::isDisplayFormat(made)) return made;
    // A screen of another kind: let SDL make its own display-format copy.
    return made ? displayFormat::toDisplayFormat(made) : nullptr;
}

SDL_Surface* displayFormat::displaySurfaceOver(void* pixels, int w, int h) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen || !pixels || w < 1 || h < 1 || w > INT_MAX / 4) return nullptr;
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* made = SDL_CreateRGBSurfaceFrom(pixels, w, h, f->BitsPerPixel, w * 4, f->Rmask,
                                                 f->Gmask, f->Bmask, 0);
    if (made && displayFormat::isDisplayFormat(made)) return made;
    if (made) SDL_FreeSurface(made);
    return nullptr;
}

bool displayFormat::canConvertInto(const SDL_Surface* surface) {
    // A colour key or alpha makes SDL_DisplayFormat carry them over in ways
    // of its own; such a bitmap goes through SDL_DisplayFormat itself.
    return surface && media::pixelsLiveInMemory() && !displayFormat::isDisplayFormat(surface) &&
           !(surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_HWSURFACE)) &&
           surface->format->Amask == 0;
}

SDL_Surface* displayFormat::convertIntoStore(SDL_Surface* decoded, void*& slice) {
    slice = nullptr;
    if (!displayFormat::canConvertInto(decoded)) return nullptr;
    void* memory = pixelStore::shared().take(static_cast<size_t>(decoded->w) *
                                             static_cast<size_t>(decoded->h) * 4);
    if (!memory) return nullptr;
    SDL_Surface* target = displayFormat::displaySurfaceOver(memory, decoded->w, decoded->h);
    // An opaque blit onto a display-format surface is what SDL_DisplayFormat
    // does, less the memory it would allocate.
    if (target && SDL_BlitSurface(decoded, nullptr, target, nullptr) == 0) {
        SDL_FreeSurface(decoded);
        slice = memory;
        return target;
    }
    if (target) SDL_FreeSurface(target);
    pixelStore::shared().give(memory);
    return nullptr;
}

SDL_Surface* displayFormat::keptInDisplayFormat(SDL_Surface* decoded) {
    void* slice = nullptr;
    // The slice is never given back: the image lives as long as the game.
    if (SDL_Surface* converted = displayFormat::convertIntoStore(decoded, slice)) return converted;
    return media::replaceWithDisplayFormat(decoded);
}
