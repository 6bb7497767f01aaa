#include "game/screenUpdate.h"

#include <algorithm>

namespace {

screenUpdate::watcher g_watcher = nullptr;

// The part of a rectangle inside the screen; false when nothing is left.
bool cut(const SDL_Surface* screen, long long x, long long y, long long w, long long h,
         SDL_Rect& out) {
    const long long x0 = std::max(x, 0LL), y0 = std::max(y, 0LL);
    const long long x1 = std::min(x + w, static_cast<long long>(screen->w));
    const long long y1 = std::min(y + h, static_cast<long long>(screen->h));
    if (x1 <= x0 || y1 <= y0) return false;
    out.x = static_cast<Sint16>(x0);
    out.y = static_cast<Sint16>(y0);
    out.w = static_cast<Uint16>(x1 - x0);
    out.h = static_cast<Uint16>(y1 - y0);
    return true;
}

// More rectangles than this in one frame are sent as their hull.
constexpr size_t manyRectangles = 32;

long long size(const SDL_Rect& r) {
    return static_cast<long long>(r.w) * r.h;
}

SDL_Rect hull(const SDL_Rect& a, const SDL_Rect& b) {
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    SDL_Rect r;
    r.x = static_cast<Sint16>(x0);
    r.y = static_cast<Sint16>(y0);
    r.w = static_cast<Uint16>(x1 - x0);
    r.h = static_cast<Uint16>(y1 - y0);
    return r;
}

// Each pixel sent costs on sdl12-compat, so a sprite's rectangle of the last
// frame and of this one, which mostly overlap, go as one, and a rectangle
// inside another (a bar's fill) goes with it.  Two rectangles become their
// hull when it is no larger than the two apart.
void merge(std::vector<SDL_Rect>& rects) {
    // Past a few dozen rectangles (hundreds of particles at once) the pairs
    // cost more to weigh than the pixels they would save: they all go as
    // their hull.
    if (rects.size() > manyRectangles) {
        SDL_Rect all = rects[0];
        for (const SDL_Rect& r : rects)
            all = hull(all, r);
        rects.assign(1, all);
        return;
    }
    bool merged = true;
    while (merged) {
        merged = false;
        for (size_t i = 0; i < rects.size() && !merged; ++i)
            for (size_t j = i + 1; j < rects.size() && !merged; ++j) {
                const SDL_Rect both = hull(rects[i], rects[j]);
                if (size(both) > size(rects[i]) + size(rects[j])) continue;
                rects[i] = both;
                rects.erase(rects.begin() + static_cast<long>(j));
                merged = true;
            }
    }
}

// sdl12-compat (SDL 1.2 over SDL2, which reports 1.2.50 and above) takes
// one SDL_UpdateRect per rectangle for less than SDL_UpdateRects of the
// same list (the benchmark compares both on the loop's own frames); classic
// SDL 1.2 gets the list in one call, as an X window best takes it.
bool oneCallPerRectangle() {
#if defined(__EMSCRIPTEN__)
    return false;
#else
    static const bool compat = SDL_Linked_Version()->patch >= 50;
    return compat;
#endif
}

} // namespace

void screenUpdate::setWatcher(watcher w) {
    g_watcher = w;
}

void screenUpdate::add(long long x, long long y, long long w, long long h) {
    if (w > 0 && h > 0) now_.push_back(area{x, y, w, h});
}

void screenUpdate::wholeNext() {
    wholeNext_ = true;
}

void screenUpdate::show(SDL_Surface* screen, bool whole) {
    sent_.clear();
    if (!screen) return;
    whole = whole || wholeNext_ || screen != shown_;
    if (whole) {
        SDL_Flip(screen);
    } else {
        SDL_Rect r;
        for (const std::vector<area>* list : {&last_, &now_})
            for (const area& a : *list)
                if (cut(screen, a.x, a.y, a.w, a.h, r)) sent_.push_back(r);
        merge(sent_);
        if (oneCallPerRectangle()) {
            for (const SDL_Rect& r : sent_)
                SDL_UpdateRect(screen, r.x, r.y, r.w, r.h);
        } else {
            SDL_UpdateRects(screen, static_cast<int>(sent_.size()), sent_.data());
        }
    }
    shown_ = screen;
    wholeNext_ = false;
    last_.swap(now_);
    now_.clear();
    if (g_watcher) g_watcher(screen, whole, sent_);
}
