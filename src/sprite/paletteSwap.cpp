#include "sprite/paletteSwap.h"

#include <cstring>

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
    if (swaps_.empty() || !image || image->format->BytesPerPixel != 4 || !image->pixels ||
        SDL_MUSTLOCK(image))
        return image;
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
        // The swaps as pixel values of the image's layout.
        // A swap into the transparent colour is not made: the pixel would vanish
        // where SDL draws the frame and stay where the game's runs do.
#if defined(__EMSCRIPTEN__)
    // The browser's SDL keeps a surface's colour key to itself (its pixel
    // format has none to read): no swap is refused there.
    const bool keyed = false;
    const Uint32 key = 0;
#else
    const bool keyed = (image->flags & SDL_SRCCOLORKEY) != 0;
    const Uint32 key = image->format->colorkey;
#endif
    std::unordered_map<Uint32, Uint32> pixelSwaps;
    for (const colourSwap& s : swaps_) {
        const Uint32 from =
            SDL_MapRGB(image->format, static_cast<Uint8>(s.from[0]), static_cast<Uint8>(s.from[1]),
                       static_cast<Uint8>(s.from[2]));
        const Uint32 to = SDL_MapRGB(image->format, static_cast<Uint8>(s.to[0]),
                                     static_cast<Uint8>(s.to[1]), static_cast<Uint8>(s.to[2]));
        if (!keyed || to != key) pixelSwaps.emplace(from, to);
    }
    for (int y = 0; y < image->h; ++y) {
        const Uint32* from = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(image->pixels) + y * image->pitch);
        Uint32* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(copy->pixels) + y * copy->pitch);
        for (int x = 0; x < image->w; ++x) {
            const Uint32 pixel = from[x];
            const auto swap = keyed && pixel == key ? pixelSwaps.end() : pixelSwaps.find(pixel);
            to[x] = swap == pixelSwaps.end() ? pixel : swap->second;
        }
    }
    if (keyed) SDL_SetColorKey(copy, SDL_SRCCOLORKEY, key);
    return copy;
}
