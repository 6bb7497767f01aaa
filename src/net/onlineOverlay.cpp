#include "net/onlineOverlay.h"

#include "base/bitmapFont.h"

namespace {

constexpr int padding = 4;
// A notice shows only once the match has waited this long: a frame or two
// of waiting is normal under jitter.
constexpr std::uint32_t noticeAfterMs = 250;

} // namespace

onlineOverlay::~onlineOverlay() {
    for (patch& p : patches_)
        SDL_FreeSurface(p.saved);
}

onlineOverlay::text onlineOverlay::describe(const rollbackSession& session, bool showStats,
                                            std::uint32_t waitingMs) {
    text t;
    const rollbackSession::statistics& st = session.stats();
    if (showStats)
        t.stats = "ping " + std::to_string(st.pingMs) + " ms   rolled back " +
                  std::to_string(st.lastRollback) + " (longest " +
                  std::to_string(st.longestRollback) + ")   input delay " +
                  std::to_string(session.inputDelay());
    if (session.state() == rollbackSession::phase::ended)
        t.notice = session.endMessage();
    else if (session.state() == rollbackSession::phase::connecting ||
             (session.waiting() && waitingMs >= noticeAfterMs))
        t.notice = "waiting for the other player";
    return t;
}

void onlineOverlay::draw(SDL_Surface* screen, const text& t) {
    erase(screen);
    if (screen == nullptr) return;
    const Uint32 ink = SDL_MapRGB(screen->format, 255, 255, 255);
    const Uint32 shade = SDL_MapRGB(screen->format, 0, 0, 0);
    const int height = bitmapFont::cellHeight + 2 * padding;
    const struct {
        const std::string& line;
        int top;
    } shown[] = {{t.stats, screen->h - height - padding}, {t.notice, (screen->h - height) / 2}};
    for (const auto& s : shown) {
        if (s.line.empty()) continue;
        const int width = bitmapFont::width(s.line) + 2 * padding;
        SDL_Rect at = {static_cast<Sint16>((screen->w - width) / 2), static_cast<Sint16>(s.top),
                       static_cast<Uint16>(width), static_cast<Uint16>(height)};
        SDL_Surface* saved = SDL_CreateRGBSurface(
            SDL_SWSURFACE, width, height, screen->format->BitsPerPixel, screen->format->Rmask,
            screen->format->Gmask, screen->format->Bmask, screen->format->Amask);
        if (saved == nullptr) continue;
        SDL_Rect from = at;
        SDL_BlitSurface(screen, &from, saved, nullptr);
        patches_.push_back({at, saved});
        SDL_Rect box = at;
        SDL_FillRect(screen, &box, shade);
        bitmapFont::draw(screen, at.x + padding, at.y + padding, s.line, ink);
        SDL_UpdateRect(screen, at.x, at.y, at.w, at.h);
    }
}

void onlineOverlay::erase(SDL_Surface* screen) {
    for (auto it = patches_.rbegin(); it != patches_.rend(); ++it) {
        if (screen != nullptr) {
            SDL_Rect to = it->at;
            SDL_BlitSurface(it->saved, nullptr, screen, &to);
            SDL_UpdateRect(screen, it->at.x, it->at.y, it->at.w, it->at.h);
        }
        SDL_FreeSurface(it->saved);
    }
    patches_.clear();
}
