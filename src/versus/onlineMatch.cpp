#include "versus/onlineMatch.h"

#include "base/seams.h"
#include "game/finalState.h"
#include "game/framePacer.h"
#include "game/main.h"
#include "game/matchState.h"
#include "game/versusLoop.h"
#include "game/versusRecording.h"
#include "net/enetTransport.h"
#include "net/impairedLink.h"
#include "net/onlineOverlay.h"
#include "net/rollbackSession.h"
#include "net/scriptedPlayer.h"
#include "net/udpTransport.h"

#include <SDL.h>

#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>

namespace onlineMatch {

namespace {

// After --frames are confirmed, the match goes on this long, so that the
// other side confirms them too before this one leaves.
constexpr std::uint32_t lingerMs = 1000;

void say(const std::string& line) {
    seams::trace() << "Online: " << line << '\n';
    seams::trace().flush();
}

// Both key sets (and the first joystick) play this machine's player.
playerInput merged(const versusLoop::frameInputs& in) {
    playerInput p;
    p.held = in[0].held | in[1].held;
    p.pressed = in[0].pressed | in[1].pressed;
    return p;
}

// The match as this side confirmed it, as a recorded versus game.
void writeRecording(const std::string& path, std::uint32_t seed,
                    const std::vector<rollbackSession::frameInputs>& inputs) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << versusRecording::opening(seed);
    versusLoop::frameInputs last{};
    for (std::uint32_t f = 0; f < inputs.size(); ++f) {
        const versusLoop::frameInputs in = {inputs[f][0], inputs[f][1]};
        if (versusRecording::needsLine(last, in)) out << versusRecording::frameLine(f, in);
        last = in;
    }
    out << versusRecording::closing(static_cast<std::uint32_t>(inputs.size()), {});
}

// The network under the match: ENet to another desktop, or plain UDP to
// the browser's bridge.
struct carrier {
    std::unique_ptr<enetTransport> enet;
    std::unique_ptr<udpTransport> bridge;
    transport link;
};

// The carrier the options ask for; false, with the error, when it cannot be
// had (said before the window opens).
bool openCarrier(const versusProgram::options& opts, carrier& c, std::string& error) {
    if (opts.host) {
        c.enet = enetTransport::host("", opts.port, error);
        if (c.enet) say("waiting for a player on UDP port " + std::to_string(opts.port));
    } else if (!opts.join.empty()) {
        std::string name;
        std::uint16_t port = 0;
        if (enetTransport::splitHostPort(opts.join, name, port, error))
            c.enet = enetTransport::join(name, port, error);
        if (c.enet) say("joining " + name + ":" + std::to_string(port));
    } else {
        c.bridge = udpTransport::toBridge(opts.bridgePort, error);
        if (c.bridge)
            say("playing through the bridge on 127.0.0.1:" + std::to_string(opts.bridgePort));
    }
    if (!c.enet && !c.bridge) return false;
    if (c.enet) {
        c.enet->log = say;
        c.link = c.enet->link();
    } else {
        c.link = c.bridge->link();
    }
    return true;
}

// With --impair, what this side sends is held back, lost, repeated and
// reordered on a clock that starts with the match (at `start`).
std::unique_ptr<impairedLink> impair(const versusProgram::options& opts, transport& link,
                                     const Uint32& start) {
    if (opts.impair == 0) return nullptr;
    auto impaired = std::make_unique<impairedLink>(impairedLink::poorNetwork(), opts.impair,
                                                   [&start] { return SDL_GetTicks() - start; });
    link = impaired->impairOutgoing(link);
    return impaired;
}

rollbackSession::settings sessionSettings(const versusProgram::options& opts) {
    rollbackSession::settings settings;
    settings.localPlayer = opts.host ? 0 : 1;
    settings.host = opts.host;
    settings.inputDelay = static_cast<int>(opts.delay);
    settings.firstTick = 0;
    settings.seed = opts.seed;
    settings.nonce = std::random_device{}();
    settings.log = say;
    return settings;
}

// The frame loop: paced steps of the session until it ends, with F1 turning
// the overlay's figures on and off.  `drawNew` tells the game whether the
// frame it plays next is drawn: only the newest frame of a step, and only
// the last step of a late loop.  True when this player asked to leave.
bool runSteps(rollbackSession& session, gameSession& game, const versusProgram::options& opts,
              onlineOverlay& overlay, bool& drawNew, Uint32& start) {
    std::unique_ptr<scriptedPlayer> autoPlayer;
    if (opts.autoplay != 0) autoPlayer = std::make_unique<scriptedPlayer>(opts.autoplay);
    bool showStats = true;
    bool f1Was = false;
    bool quitAsked = false;
    bool started = false;
    std::uint32_t lingerUntil = 0;
    framePacer pacer(versusLoop::frameMs);
    start = SDL_GetTicks();
    pacer.start(SDL_GetTicks());
    while (session.state() != rollbackSession::phase::ended) {
        std::uint32_t due = pacer.due(SDL_GetTicks());
        if (due == 0) {
            SDL_Delay(pacer.waitMs(SDL_GetTicks()));
            continue;
        }
        for (; due > 0 && session.state() != rollbackSession::phase::ended; --due) {
            playerInput local = merged(versusLoop::readInputs(game));
            const Uint8* keys = SDL_GetKeyState(nullptr);
            const bool f1 = keys && keys[SDLK_F1];
            if (f1 && !f1Was) showStats = !showStats;
            f1Was = f1;
            if (local.pressed & playerInput::quit) {
                quitAsked = true;
                session.quit();
                break;
            }
            if (autoPlayer) local = autoPlayer->next();
            const std::uint32_t now = SDL_GetTicks() - start;
            drawNew = due == 1;
            overlay.erase(SDL_GetVideoSurface());
            session.step(now, local);
            if (!started && session.state() == rollbackSession::phase::running) {
                started = true;
                say("the match has started");
            }
            if (due == 1)
                overlay.draw(SDL_GetVideoSurface(),
                             onlineOverlay::describe(session, showStats, session.waitingFor(now)));
            if (opts.frames != 0 && session.confirmed() >= opts.frames && lingerUntil == 0)
                lingerUntil = now + lingerMs;
            if (lingerUntil != 0 && now >= lingerUntil) {
                session.quit();
                break;
            }
        }
        seams::trace().flush();
    }
    return quitAsked;
}

void sayStatistics(const rollbackSession& session, Uint32 start) {
    const rollbackSession::statistics& st = session.stats();
    const double seconds = (SDL_GetTicks() - start) / 1000.0;
    char line[200];
    std::snprintf(line, sizeof line,
                  "%u frames, %llu rollbacks (%.1f a second), longest %u frames, %llu steps "
                  "waited, ping %u ms",
                  session.frame(), static_cast<unsigned long long>(st.rollbacks),
                  seconds > 0 ? st.rollbacks / seconds : 0.0, st.longestRollback,
                  static_cast<unsigned long long>(st.waited), st.pingMs);
    say(line);
}

// 0 when the match ended by a player leaving, 1 otherwise; after a desync,
// the match as this side confirmed it and the session's log are written.
int endingCode(const rollbackSession& session, const versusProgram::options& opts) {
    switch (session.howEnded()) {
    case rollbackSession::ending::quit:
    case rollbackSession::ending::otherQuit:
        return 0;
    case rollbackSession::ending::desync: {
        const std::string path =
            std::string("versus-desync-p") + (opts.host ? "1" : "2") + ".replay";
        writeRecording(path, opts.seed, session.confirmedInputs());
        std::ofstream log(path + ".log");
        session.writeLog(log);
        say("wrote " + path + " and " + path + ".log");
        return 1;
    }
    default:
        return 1;
    }
}

// With --frames: once that many frames are confirmed, their checksums' digest
// is said and the match counts as played (0); short of them it failed (1),
// unless this player left.  Without --frames the code stays.
int framesCode(int code, const versusProgram::options& opts, const rollbackSession& session,
               const std::map<std::uint32_t, std::uint64_t>& sums, bool quitAsked) {
    if (opts.frames == 0) return code;
    if (session.confirmed() >= opts.frames) {
        std::uint64_t digest = 1469598103934665603ull;
        for (std::uint32_t f = 0; f < opts.frames; ++f) {
            const auto sum = sums.find(f);
            digest ^= sum == sums.end() ? 0 : sum->second;
            digest *= 1099511628211ull;
        }
        char line[200];
        std::snprintf(line, sizeof line, "confirmed %u digest %016llx", opts.frames,
                      static_cast<unsigned long long>(digest));
        say(line);
        return 0;
    }
    return quitAsked ? code : 1;
}

} // namespace

int play(const versusProgram::options& opts) {
    carrier net;
    std::string error;
    if (!openCarrier(opts, net, error)) {
        std::cerr << "versus: " << error << "\n";
        return 2;
    }
    Uint32 start = 0;
    const std::unique_ptr<impairedLink> impaired = impair(opts, net.link, start);

    versusLoop::begin(opts.seed);
    sdlInit();
    const char* title =
        opts.host ? "Tavro Fighter - versus online (host)" : "Tavro Fighter - versus online";
    SDL_WM_SetCaption(title, title);
    static gameSession game; // lives as long as the game's globals that point into it
    game.versus = true;
    startUp(game);
    matchState state(game);

    bool drawNew = true;
    rollbackSession::simulation sim;
    sim.save = [&state](std::vector<unsigned char>& out) { state.save(out); };
    sim.restore = [&state](const std::vector<unsigned char>& in) { state.restore(in); };
    sim.advance = [&drawNew](std::uint32_t frame, const rollbackSession::frameInputs& in,
                             bool resimulating) {
        versusLoop::playFrame(game, frame, {in[0], in[1]}, resimulating, drawNew && !resimulating);
    };
    sim.checksum = [&state] { return state.checksum(); };
    sim.checksumOf = matchState::checksumOf;
    std::map<std::uint32_t, std::uint64_t> sums;
    rollbackSession session(sim, sessionSettings(opts), net.link);
    if (opts.frames != 0)
        session.onConfirmed = [&sums](std::uint32_t f, std::uint64_t sum) { sums[f] = sum; };

    onlineOverlay overlay;
    const bool quitAsked = runSteps(session, game, opts, overlay, drawNew, start);
    // What the impaired link still holds (the goodbye) goes out when due.
    if (impaired) {
        const Uint32 until = SDL_GetTicks() + 300;
        std::vector<unsigned char> ignored;
        while (SDL_GetTicks() < until) {
            net.link.receive(ignored);
            SDL_Delay(5);
        }
    }
    sayStatistics(session, start);
    int code = endingCode(session, opts);
    // The overlay's last word stays on the screen a moment.
    if (code != 0 && !opts.autoplay) {
        overlay.draw(SDL_GetVideoSurface(), onlineOverlay::describe(session, false, 0));
        SDL_Delay(2000);
    }
    code = framesCode(code, opts, session, sums, quitAsked);
    versusLoop::finish();
    return code;
}

} // namespace onlineMatch
