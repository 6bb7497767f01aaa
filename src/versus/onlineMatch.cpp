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

} // namespace

int play(const versusProgram::options& opts) {
    // The carrier first: a port that cannot be had is said before the window opens.
    std::string error;
    std::unique_ptr<enetTransport> enet;
    std::unique_ptr<udpTransport> bridge;
    transport link;
    const bool hosting = opts.host;
    if (hosting) {
        enet = enetTransport::host("", opts.port, error);
        if (enet) say("waiting for a player on UDP port " + std::to_string(opts.port));
    } else if (!opts.join.empty()) {
        std::string name;
        std::uint16_t port = 0;
        if (splitHostPort(opts.join, name, port, error))
            enet = enetTransport::join(name, port, error);
        if (enet) say("joining " + name + ":" + std::to_string(port));
    } else {
        bridge = udpTransport::toBridge(opts.bridgePort, error);
        if (bridge)
            say("playing through the bridge on 127.0.0.1:" + std::to_string(opts.bridgePort));
    }
    if (!enet && !bridge) {
        std::cerr << "versus: " << error << "\n";
        return 2;
    }
    if (enet) {
        enet->log = say;
        link = enet->link();
    } else {
        link = bridge->link();
    }

    Uint32 start = 0;
    std::unique_ptr<impairedLink> impaired;
    if (opts.impair != 0) {
        impairedLink::conditions c;
        c.delayMs = 80;
        c.jitterMs = 20;
        c.loss = 0.05;
        c.duplicate = 0.02;
        c.reorder = 0.05;
        impaired = std::make_unique<impairedLink>(c, opts.impair,
                                                  [&start] { return SDL_GetTicks() - start; });
        link = impaired->impairOutgoing(link);
    }

    versusLoop::begin(opts.seed);
    sdlInit();
    const char* title =
        hosting ? "Tavro Fighter - versus online (host)" : "Tavro Fighter - versus online";
    SDL_WM_SetCaption(title, title);
    static gameSession game; // lives as long as the game's globals that point into it
    game.versus = true;
    startUp(game);
    matchState state(game);

    // Whether the frame the session plays next is drawn: only the newest
    // frame of a step, and only the last step of a late loop.
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

    rollbackSession::settings settings;
    settings.localPlayer = hosting ? 0 : 1;
    settings.host = hosting;
    settings.inputDelay = static_cast<int>(opts.delay);
    settings.firstTick = 0;
    settings.seed = opts.seed;
    settings.nonce = std::random_device{}();
    settings.log = say;
    std::map<std::uint32_t, std::uint64_t> sums;
    rollbackSession session(sim, settings, link);
    if (opts.frames != 0)
        session.onConfirmed = [&sums](std::uint32_t f, std::uint64_t sum) { sums[f] = sum; };

    std::unique_ptr<scriptedPlayer> autoPlayer;
    if (opts.autoplay != 0) autoPlayer = std::make_unique<scriptedPlayer>(opts.autoplay);

    onlineOverlay overlay;
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

    // What the impaired link still holds (the goodbye) goes out when due.
    if (impaired) {
        const Uint32 until = SDL_GetTicks() + 300;
        std::vector<unsigned char> ignored;
        while (SDL_GetTicks() < until) {
            link.receive(ignored);
            SDL_Delay(5);
        }
    }

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

    int code = 0;
    switch (session.howEnded()) {
    case rollbackSession::ending::quit:
    case rollbackSession::ending::otherQuit:
        break;
    case rollbackSession::ending::desync: {
        const std::string path = std::string("versus-desync-p") + (hosting ? "1" : "2") + ".replay";
        writeRecording(path, opts.seed, session.confirmedInputs());
        std::ofstream log(path + ".log");
        session.writeLog(log);
        say("wrote " + path + " and " + path + ".log");
        code = 1;
        break;
    }
    default:
        code = 1;
        break;
    }
    // The overlay's last word stays on the screen a moment.
    if (code != 0 && !opts.autoplay) {
        overlay.draw(SDL_GetVideoSurface(), onlineOverlay::describe(session, false, 0));
        SDL_Delay(2000);
    }
    if (opts.frames != 0) {
        if (session.confirmed() >= opts.frames) {
            std::uint64_t digest = 1469598103934665603ull;
            for (std::uint32_t f = 0; f < opts.frames; ++f) {
                digest ^= sums[f];
                digest *= 1099511628211ull;
            }
            std::snprintf(line, sizeof line, "confirmed %u digest %016llx", opts.frames,
                          static_cast<unsigned long long>(digest));
            say(line);
            code = 0;
        } else if (!quitAsked) {
            code = 1;
        }
    }
    versusLoop::finish();
    return code;
}

} // namespace onlineMatch
