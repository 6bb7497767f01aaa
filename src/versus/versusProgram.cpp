#include "versus/versusProgram.h"

#include "base/seams.h"
#include "game/finalState.h"
#include "game/framePacer.h"
#include "game/main.h"
#include "game/versusLoop.h"
#include "game/versusRecording.h"
#include "versus/onlineMatch.h"

#include <SDL.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace versusProgram {

namespace {

// A whole number from 0 to `most`, the whole argument.
bool number(const char* text, std::uint32_t most, std::uint32_t& out) {
    if (!text || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > most) return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

// The error, and false.
bool wrong(std::string& error, const std::string& text) {
    error = text;
    return false;
}

// One option and its value; `tookValue` says whether the option used the
// next argument.  False, with the error, when either is wrong.
bool takeOption(const std::string& a, const char* value, options& out, std::string& error,
                bool& tookValue) {
    tookValue = true;
    if (a == "--record") {
        if (!value || !*value) return wrong(error, "--record needs a file name");
        out.record = value;
    } else if (a == "--seed") {
        if (!number(value, 0xFFFFFFFFu, out.seed))
            return wrong(error, "--seed needs a number from 0 to 4294967295");
    } else if (a == "--frames") {
        if (!number(value, 0x7FFFFFF, out.frames) || out.frames == 0)
            return wrong(error, "--frames needs a number from 1 to 134217727");
    } else if (a == "--host") {
        out.host = true;
        // The port is optional.
        std::uint32_t port = 0;
        tookValue = value && *value >= '0' && *value <= '9';
        if (tookValue && (!number(value, 65535, port) || port == 0))
            return wrong(error, "--host takes a port from 1 to 65535");
        if (tookValue) out.port = static_cast<std::uint16_t>(port);
    } else if (a == "--join") {
        if (!value || !*value || *value == '-')
            return wrong(error, "--join needs the host: HOST or HOST:PORT");
        out.join = value;
    } else if (a == "--join-bridge") {
        std::uint32_t port = 0;
        if (!number(value, 65535, port) || port == 0)
            return wrong(error, "--join-bridge needs the bridge's port, 1 to 65535");
        out.bridgePort = static_cast<std::uint16_t>(port);
    } else if (a == "--delay") {
        if (!number(value, 8, out.delay))
            return wrong(error, "--delay needs a number of frames from 0 to 8");
    } else if (a == "--autoplay" || a == "--impair") {
        std::uint32_t& seed = a == "--autoplay" ? out.autoplay : out.impair;
        if (!number(value, 0xFFFFFFFFu, seed) || seed == 0)
            return wrong(error, a + " needs a seed from 1 to 4294967295");
    } else {
        return wrong(error, "unknown option '" + a + "'");
    }
    return true;
}

// The options that only go together with others.
bool fitTogether(const options& out, std::string& error) {
    const int ways = int(out.host) + int(!out.join.empty()) + int(out.bridgePort != 0);
    if (ways > 1)
        return wrong(error,
                     "--host, --join and --join-bridge are three ways to play online: give one");
    if (ways == 0 && (out.delay != 2 || out.autoplay != 0 || out.impair != 0))
        return wrong(error, "--delay, --autoplay and --impair are for a match online");
    if (ways == 1 && !out.record.empty())
        return wrong(error, "--record is for a match at one machine");
    return true;
}

} // namespace

const char* usage() {
    return "usage: versus [--record FILE] [--seed N] [--frames N]\n"
           "       versus (--host [PORT] | --join HOST[:PORT] | --join-bridge PORT) [--delay N]\n"
           "              [--seed N] [--frames N] [--autoplay SEED] [--impair SEED]\n";
}

bool parse(int argc, char** argv, options& out, std::string& error) {
    out = options{};
    for (int i = 1; i < argc; ++i) {
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool tookValue = false;
        if (!takeOption(argv[i], value, out, error, tookValue)) return false;
        if (tookValue) ++i;
    }
    return fitTogether(out, error);
}

int run(int argc, char** argv) {
    options opts;
    std::string error;
    if (!parse(argc, argv, opts, error)) {
        std::cerr << "versus: " << error << "\n" << usage();
        return 2;
    }
    return opts.online() ? onlineMatch::play(opts) : playLocal(opts);
}

int playLocal(const options& opts) {
    // Opened before the window, so a path that cannot be written is said at once.
    std::ofstream recording;
    if (!opts.record.empty()) {
        recording.open(opts.record, std::ios::binary | std::ios::trunc);
        if (!recording) {
            std::cerr << "versus: cannot write the recording " << opts.record << "\n";
            return 2;
        }
        recording << versusRecording::opening(opts.seed);
    }

    versusLoop::begin(opts.seed);
    sdlInit();
    SDL_WM_SetCaption("Tavro Fighter - versus", "Tavro Fighter - versus");
    static gameSession session; // lives as long as the game's globals that point into it
    session.versus = true;
    startUp(session);
    seams::trace() << "Versus: player 1 on the arrow keys and Z X C, player 2 on R F D G and "
                      "A S Q\n";
    seams::trace().flush();

    framePacer pacer(versusLoop::frameMs);
    pacer.start(SDL_GetTicks());
    std::uint32_t frame = 0;
    versusLoop::frameInputs last{};
    bool goOn = true;
    while (goOn && (opts.frames == 0 || frame < opts.frames)) {
        std::uint32_t due = pacer.due(SDL_GetTicks());
        if (due == 0) {
            SDL_Delay(pacer.waitMs(SDL_GetTicks()));
            continue;
        }
        // A late loop plays the frames it missed, drawing only the last.
        for (; due > 0 && goOn && (opts.frames == 0 || frame < opts.frames); --due, ++frame) {
            const versusLoop::frameInputs inputs = versusLoop::readInputs(session);
            if (recording.is_open() && versusRecording::needsLine(last, inputs))
                recording << versusRecording::frameLine(frame, inputs);
            last = inputs;
            goOn = versusLoop::playFrame(session, frame, inputs, false, due == 1);
        }
        seams::trace().flush();
    }

    if (recording.is_open()) {
        const auto state = finalState::describe(
            versusLoop::clock(), static_cast<long>(versusLoop::clock()), !goOn, true);
        recording << versusRecording::closing(frame, state);
        recording.close();
        if (!recording) {
            std::cerr << "versus: the recording " << opts.record << " could not be written\n";
            return 1;
        }
        seams::trace() << finalState::text(state);
    }
    seams::trace().flush();
    versusLoop::finish();
    return 0;
}

} // namespace versusProgram
