// The versus page's online match (the web build only): one player in this
// browser, the other in another browser or at a desktop, played through the
// same rollback session as the desktop's `versus --host` / `--join`.
//
// The page (web/versus.html?online, or ?join=ROOM from the link the host
// sends) carries the datagrams over a WebRTC data channel with web/online.js
// and hands each one that arrives to webOnlineDeliver; what the session
// sends goes out through Module.onlineSend.  The page calls webOnlineTick on
// every display refresh (and from a timer while the tab is hidden, so that
// the other side does not lose us); a tick plays the frames due since the
// last one, 16 ms of real time each, and draws the newest with the overlay:
// ping, frames rolled back and input delay (F1 shows or hides them),
// "waiting for the other player", and why the match ended.
//
// Both key sets play this browser's player.  Escape leaves the match and
// tells the other side.
#include "base/seams.h"
#include "control/controlReader.h"
#include "game/framePacer.h"
#include "game/main.h"
#include "game/matchState.h"
#include "game/versusLoop.h"
#include "net/impairedLink.h"
#include "net/onlineOverlay.h"
#include "net/rollbackSession.h"
#include "net/scriptedPlayer.h"

#include <SDL.h>
#include <emscripten.h>

#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

EM_JS(void, webOnlineSendBytes, (const unsigned char* data, int size), {
    if (Module.onlineSend) Module.onlineSend(HEAPU8.slice(data, data + size));
});

namespace {

// After the frames a test asked for are confirmed, the match goes on this
// long, so that the other side confirms them too before this one leaves.
constexpr std::uint32_t lingerMs = 1000;
// Datagrams held for the next tick; a flood beyond this is dropped.
constexpr std::size_t mostWaiting = 1024;

struct onlinePage {
    gameSession game;
    std::unique_ptr<matchState> state;
    std::unique_ptr<rollbackSession> session;
    std::unique_ptr<impairedLink> impaired;
    std::unique_ptr<scriptedPlayer> autoPlayer;
    std::deque<std::vector<unsigned char>> arrived;
    std::map<std::uint32_t, std::uint64_t> sums;
    onlineOverlay overlay;
    framePacer pacer{versusLoop::frameMs};
    double startMs = 0;
    bool lost = false;     // the data channel closed
    bool showStats = true; // F1
    bool f1Was = false;
    bool drawNew = true;      // the frame the session plays next is drawn
    bool told = false;        // the page was told the match ended
    std::uint32_t frames = 0; // for the tests: leave once this many are confirmed
    std::uint32_t lingerUntil = 0;
    std::string digest;
};

onlinePage* g_page = nullptr;

std::uint32_t realMs() {
    return static_cast<std::uint32_t>(emscripten_get_now() - g_page->startMs);
}

void tellPage(const char* what) {
    EM_ASM(
        {
            if (Module.onGameEvent) Module.onGameEvent(UTF8ToString($0));
        },
        what);
}

void say(const std::string& line) {
    seams::trace() << "Online: " << line << '\n';
    seams::trace().flush();
}

// The match has ended: its last word on the screen, the page told.
void ended() {
    onlinePage& p = *g_page;
    rollbackSession& s = *p.session;
    p.overlay.draw(SDL_GetVideoSurface(), onlineOverlay::describe(s, p.showStats, 0));
    const rollbackSession::statistics& st = s.stats();
    char line[200];
    std::snprintf(line, sizeof line,
                  "%u frames, %llu rollbacks, longest %u frames, %llu steps waited, ping %u ms",
                  s.frame(), static_cast<unsigned long long>(st.rollbacks), st.longestRollback,
                  static_cast<unsigned long long>(st.waited), st.pingMs);
    say(line);
    if (p.frames != 0 && s.confirmed() >= p.frames) {
        // The same digest as the desktop's --frames: a hash of the first
        // frames' checksums.
        std::uint64_t digest = 1469598103934665603ull;
        for (std::uint32_t f = 0; f < p.frames; ++f) {
            digest ^= p.sums[f];
            digest *= 1099511628211ull;
        }
        std::snprintf(line, sizeof line, "%016llx", static_cast<unsigned long long>(digest));
        p.digest = line;
        say("confirmed " + std::to_string(p.frames) + " digest " + p.digest);
    }
    versusLoop::finish();
    p.told = true;
    tellPage("ended");
}

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out + "\"";
}

// The page's carrier: datagrams go out through the page's WebRTC channel
// and come in as the page delivers them.
transport pageLink() {
    transport link;
    link.send = [](const std::vector<unsigned char>& bytes) {
        webOnlineSendBytes(bytes.data(), static_cast<int>(bytes.size()));
    };
    link.receive = [](std::vector<unsigned char>& out) {
        if (g_page->arrived.empty()) return false;
        out = std::move(g_page->arrived.front());
        g_page->arrived.pop_front();
        return true;
    };
    link.lost = [] { return g_page->lost; };
    return link;
}

} // namespace

extern "C" {

// Loads the game with the match's seed and shows the stage, with "waiting
// for the other player", while the page finds the other player.
EMSCRIPTEN_KEEPALIVE void webOnlinePrepare(std::uint32_t seed) {
    if (g_page != nullptr) return;
    g_page = new onlinePage;
    onlinePage& p = *g_page;
    versusLoop::begin(seed);
    sdlInit();
    SDL_WM_SetCaption("Tavro Fighter - versus online", "Tavro Fighter - versus online");
    p.game.versus = true;
    startUp(p.game);
    p.state = std::make_unique<matchState>(p.game);
    // The fighters where the match starts, until the first frame is played.
    versusLoop::showState();
    onlineOverlay::text waiting;
    waiting.notice = "waiting for the other player";
    p.overlay.draw(SDL_GetVideoSurface(), waiting);
    seams::trace().flush();
    tellPage("started");
}

// Starts the session once the page knows which side it plays: player 0
// (left) hosts the room, player 1 (right) joined it.  For the tests:
// `frames` (0: play on) ends the match once that many frames are confirmed,
// `autoplay` (0: the keys) plays by itself from that seed, `impair` (0:
// none) holds back what this side sends 80 +- 20 ms and loses 5%.
EMSCRIPTEN_KEEPALIVE void webOnlineStart(int player, int delay, std::uint32_t seed,
                                         std::uint32_t nonce, std::uint32_t frames,
                                         std::uint32_t autoplay, std::uint32_t impair) {
    if (g_page == nullptr || g_page->session) return;
    onlinePage& p = *g_page;
    p.startMs = emscripten_get_now();
    p.frames = frames;

    transport link = pageLink();
    if (impair != 0) {
        p.impaired = std::make_unique<impairedLink>(impairedLink::poorNetwork(), impair,
                                                    [] { return realMs(); });
        link = p.impaired->impairOutgoing(link);
    }

    rollbackSession::simulation sim;
    matchState& state = *p.state;
    // A frame drawn stays on the canvas until the browser has shown it; the
    // next frame played, or a restore, erases it first.
    sim.save = [&state](std::vector<unsigned char>& out) { state.save(out); };
    sim.restore = [&state](const std::vector<unsigned char>& in) {
        versusLoop::finishFrame();
        state.restore(in);
    };
    sim.advance = [](std::uint32_t frame, const rollbackSession::frameInputs& in,
                     bool resimulating) {
        const bool draw = g_page->drawNew && !resimulating;
        versusLoop::playFrame(g_page->game, frame, {in[0], in[1]}, resimulating, draw, draw);
    };
    sim.checksum = [&state] { return state.checksum(); };
    sim.checksumOf = matchState::checksumOf;

    rollbackSession::settings settings;
    settings.localPlayer = player == 1 ? 1 : 0;
    settings.host = settings.localPlayer == 0;
    settings.inputDelay = delay;
    settings.seed = seed;
    settings.nonce = nonce;
    settings.log = say;
    p.session = std::make_unique<rollbackSession>(sim, settings, link);
    p.session->onConfirmed = [](std::uint32_t f, std::uint64_t sum) {
        if (g_page->frames != 0 && f < g_page->frames) g_page->sums[f] = sum;
    };
    if (autoplay != 0) p.autoPlayer = std::make_unique<scriptedPlayer>(autoplay);
    p.pacer.start(realMs());
}

// A datagram from the other side, copied.
EMSCRIPTEN_KEEPALIVE void webOnlineDeliver(const unsigned char* data, int size) {
    if (g_page != nullptr && size >= 0 && g_page->arrived.size() < mostWaiting)
        g_page->arrived.emplace_back(data, data + size);
}

// The data channel closed: the session says "connection lost" at its next step.
EMSCRIPTEN_KEEPALIVE void webOnlineLost() {
    if (g_page != nullptr) g_page->lost = true;
}

// Plays the frames due since the last tick; the newest is drawn.
EMSCRIPTEN_KEEPALIVE void webOnlineTick() {
    if (g_page == nullptr || !g_page->session || g_page->told) return;
    onlinePage& p = *g_page;
    rollbackSession& s = *p.session;
    SDL_Surface* screen = SDL_GetVideoSurface();
    for (std::uint32_t due = p.pacer.due(realMs());
         due > 0 && s.state() != rollbackSession::phase::ended; --due) {
        const versusLoop::frameInputs keys = versusLoop::readInputs(p.game);
        playerInput local;
        local.held = keys[0].held | keys[1].held;
        local.pressed = keys[0].pressed | keys[1].pressed;
        const bool f1 = controlReader::keyHeld(SDLK_F1);
        if (f1 && !p.f1Was) p.showStats = !p.showStats;
        p.f1Was = f1;
        if (local.pressed & playerInput::quit) {
            s.quit();
            break;
        }
        if (p.autoPlayer) local = p.autoPlayer->next();
        const std::uint32_t now = realMs();
        p.drawNew = due == 1;
        p.overlay.erase(screen);
        s.step(now, local);
        if (due == 1) {
            // A rollback erased the frame on show, and no new one came.
            versusLoop::showState();
            p.overlay.draw(screen, onlineOverlay::describe(s, p.showStats, s.waitingFor(now)));
        }
        if (p.frames != 0 && s.confirmed() >= p.frames && p.lingerUntil == 0)
            p.lingerUntil = now + lingerMs;
        if (p.lingerUntil != 0 && now >= p.lingerUntil) {
            s.quit();
            break;
        }
    }
    seams::trace().flush();
    if (s.state() == rollbackSession::phase::ended) ended();
}

// For the page and its test: the match, as JSON.
EMSCRIPTEN_KEEPALIVE const char* webOnlineStatus() {
    static std::string text;
    if (g_page == nullptr || !g_page->session) {
        text = std::string("{\"phase\":\"") + (g_page ? "ready" : "loading") + "\"}";
        return text.c_str();
    }
    const onlinePage& p = *g_page;
    const rollbackSession& s = *p.session;
    const rollbackSession::statistics& st = s.stats();
    const char* phase = s.state() == rollbackSession::phase::connecting ? "connecting"
                        : s.state() == rollbackSession::phase::running  ? "running"
                                                                        : "ended";
    text = std::string("{\"phase\":\"") + phase +
           "\",\"player\":" + std::to_string(s.localPlayer()) +
           ",\"frame\":" + std::to_string(s.frame()) +
           ",\"confirmed\":" + std::to_string(s.confirmed()) +
           ",\"rollbacks\":" + std::to_string(st.rollbacks) +
           ",\"longest\":" + std::to_string(st.longestRollback) +
           ",\"waited\":" + std::to_string(st.waited) + ",\"ping\":" + std::to_string(st.pingMs) +
           ",\"delay\":" + std::to_string(s.inputDelay()) +
           ",\"waiting\":" + (s.waiting() ? "true" : "false") +
           ",\"told\":" + (p.told ? "true" : "false") + ",\"message\":" + jsonText(s.endMessage()) +
           ",\"digest\":" + jsonText(p.digest) + ",\"hp\":[" + std::to_string(vikings1.hp) + "," +
           std::to_string(fighter2.hp) + "]}";
    return text.c_str();
}
}
