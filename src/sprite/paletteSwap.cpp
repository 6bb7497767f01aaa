#include "sprite/paletteSwap.h"

#include "base/media.h"

namespace {

Uint32 pixelOf(const SDL_PixelFormat* format, const int* rgb) {
    return SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), static_cast<Uint8>(rgb[0]),
                      static_cast<Uint8>(rgb[1]), static_cast<Uint8>(rgb[2]));
}

} // namespace

paletteSwap::~paletteSwap() {
    dropCopies();
}

void paletteSwap::wear(const std::vector<colourSwap>& swaps) {
    dropCopies();
    swaps_ = swaps;
}

void paletteSwap::dropCopies() {
    for (auto& entry : copies_)
        SDL_FreeSurface(entry.second);
    copies_.clear();
}

SDL_Surface* paletteSwap::worn(SDL_Surface* image) {
    if (swaps_.empty() || !image || image->format->BytesPerPixel != 4) return image;
    auto found = copies_.find(image);
    if (found != copies_.end()) return found->second;
    SDL_Surface* copy = copyOf(image);
    if (!copy) return image;
    copies_.emplace(image, copy);
    return copy;
}

SDL_Surface* paletteSwap::copyOf(SDL_Surface* image) const {
    const SDL_PixelFormat* f = image->format;
    SDL_Surface* copy = SDL_CreateRGBSurface(SDL_SWSURFACE, image->w, image->h, 32, f->Rmask,
                                             f->Gmask, f->Bmask, f->Amask);
    if (!copy) return nullptr;
    if (!media::lockShownPixels(image)) {
        SDL_FreeSurface(copy);
        return nullptr;
    }
    if (SDL_LockSurface(copy) < 0) {
        SDL_UnlockSurface(image);
        SDL_FreeSurface(copy);
        return nullptr;
    }
    // Colours are compared and swapped in their colour bits only; a pixel
    // keeps its alpha.  A swap into the transparent colour is not made: the
    // pixel would vanish where SDL draws the frame and stay where the game's
    // runs do.
    Uint32 key = 0;
    const bool keyed = media::colourKey(image, key);
    const Uint32 colourBits = f->Rmask | f->Gmask | f->Bmask;
    std::unordered_map<Uint32, Uint32> swapped;
    for (const colourSwap& s : swaps_) {
        const Uint32 to = pixelOf(f, s.to) & colourBits;
        if (!keyed || to != (key & colourBits))
            swapped.emplace(pixelOf(f, s.from) & colourBits, to);
    }
    for (int y = 0; y < image->h; ++y) {
        const Uint32* from = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(image->pixels) + y * image->pitch);
        Uint32* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(copy->pixels) + y * copy->pitch);
        for (int x = 0; x < image->w; ++x) {
            const Uint32 pixel = from[x];
            const bool seeThrough = (keyed && pixel == key) || (f->Amask && !(pixel & f->Amask));
            const auto swap = seeThrough ? swapped.end() : swapped.find(pixel & colourBits);
            to[x] = swap == swapped.end() ? pixel : (pixel & ~colourBits) | swap->second;
        }
    }
    SDL_UnlockSurface(copy);
    SDL_UnlockSurface(image);
    if (keyed) SDL_SetColorKey(copy, SDL_SRCCOLORKEY, key);
    return copy;
}
