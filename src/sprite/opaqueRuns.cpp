#include "sprite/opaqueRuns.h"

#include "base/media.h"
#include "sprite/copyBlit.h"

#include <algorithm>
#include <cstring>

namespace {

// The runs may take at most this share of the image's own pixel memory.
constexpr std::size_t budgetDivisor = 10;

bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BytesPerPixel == 4 && b->BytesPerPixel == 4 && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// What SDL treats as see-through: the pixel's colour bits equal the key's.
Uint32 colourBits(const SDL_PixelFormat* format) {
    return ~format->Amask;
}

} // namespace

opaqueRuns opaqueRuns::of(SDL_Surface* image) {
    opaqueRuns found;
    if (!media::pixelsLiveInMemory() || !image || !image->pixels ||
        image->format->BytesPerPixel != 4 || (image->flags & SDL_SRCCOLORKEY) == 0 ||
        (image->flags & SDL_SRCALPHA) != 0 || image->w > 0xFFFF || image->w < 1 || image->h < 1)
        return found;
    // A frame SDL has drawn already may hold only its run-length copy.
    if (SDL_MUSTLOCK(image)) return found;

    Uint32 key = 0;
    if (!media::colourKey(image, key)) return found;
    const Uint32 mask = colourBits(image->format);
    found.key_ = key;
    key &= mask;
    const std::size_t budget =
        static_cast<std::size_t>(image->w) * static_cast<std::size_t>(image->h) * 4 / budgetDivisor;
    auto made = std::make_shared<table>();
    std::vector<Uint32>& rowStarts = made->rowStarts;
    std::vector<run>& runs = made->runs;
    rowStarts.reserve(static_cast<std::size_t>(image->h) + 1);
    for (int y = 0; y < image->h; ++y) {
        rowStarts.push_back(static_cast<Uint32>(runs.size()));
        const Uint8* row = static_cast<const Uint8*>(image->pixels) + y * image->pitch;
        int x = 0;
        while (x < image->w) {
            Uint32 pixel;
            std::memcpy(&pixel, row + x * 4, sizeof pixel);
            if ((pixel & mask) == key) {
                ++x;
                continue;
            }
            const int start = x;
            do {
                ++x;
                if (x == image->w) break;
                std::memcpy(&pixel, row + x * 4, sizeof pixel);
            } while ((pixel & mask) != key);
            runs.push_back(run{static_cast<Uint16>(start), static_cast<Uint16>(x - start)});
        }
        if (made->bytes() > budget) return opaqueRuns();
    }
    rowStarts.push_back(static_cast<Uint32>(runs.size()));
    runs.shrink_to_fit();
    found.extent_ = made->extent(image->w, image->h);
    if (made->bytes() > budget) return opaqueRuns();
    found.table_ = std::move(made);
    found.known_ = true;
    return found;
}

SDL_Rect opaqueRuns::table::extent(int w, int h) const {
    int left = w, right = 0, top = h, bottom = 0;
    for (int y = 0; y < h; ++y)
        for (Uint32 i = rowStarts[y]; i < rowStarts[y + 1]; ++i) {
            const run& r = runs[i];
            left = std::min<int>(left, r.x);
            right = std::max<int>(right, r.x + r.length);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    if (right <= left || bottom <= top) return SDL_Rect{0, 0, 0, 0};
    return SDL_Rect{static_cast<Sint16>(left), static_cast<Sint16>(top),
                    static_cast<Uint16>(right - left), static_cast<Uint16>(bottom - top)};
}

std::size_t opaqueRuns::table::bytes() const {
    return rowStarts.capacity() * sizeof(Uint32) + runs.capacity() * sizeof(run);
}

std::size_t opaqueRuns::bytes() const {
    return table_ ? table_->bytes() : 0;
}

int opaqueRuns::blit(SDL_Surface* image, SDL_Surface* target, SDL_Rect* at) const {
    Uint32 key = 0;
    if (!known_ || blit::sdlDrawingOnly() || !image || !target || !image->pixels ||
        image == target || (image->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) != SDL_SRCCOLORKEY ||
        !media::colourKey(image, key) || key != key_ || SDL_MUSTLOCK(image) ||
        table_->rowStarts.size() != static_cast<std::size_t>(image->h) + 1 ||
        !sameLayout(image->format, target->format))
        return blit::copyBlit(image, nullptr, target, at);

    SDL_Rect wholeTarget{0, 0, 0, 0};
    if (!at) at = &wholeTarget;
    blit::blitArea area;
    if (!blit::clipLikeSdl(image, nullptr, target, at, area)) return 0;

    const bool lockTarget = SDL_MUSTLOCK(target);
    if (lockTarget && SDL_LockSurface(target) < 0) return -1;
    const Uint8* from = static_cast<const Uint8*>(image->pixels) + area.y * image->pitch;
    Uint8* to = static_cast<Uint8*>(target->pixels) + at->y * target->pitch + at->x * 4;
    const int left = area.x, right = area.x + area.w;
    const run* runs = table_->runs.data();
    const Uint32* rowStarts = table_->rowStarts.data();
    for (int y = area.y; y < area.y + area.h; ++y) {
        const run* first = runs + rowStarts[y];
        const run* last = runs + rowStarts[y + 1];
        for (const run* r = first; r != last; ++r) {
            int x0 = r->x, x1 = r->x + r->length;
            if (x0 >= right) break;
            x0 = std::max(x0, left);
            x1 = std::min(x1, right);
            if (x1 > x0)
                std::memcpy(to + (x0 - left) * 4, from + x0 * 4,
                            static_cast<std::size_t>(x1 - x0) * 4);
        }
        from += image->pitch;
        to += target->pitch;
    }
    if (lockTarget) SDL_UnlockSurface(target);
    return 0;
}
