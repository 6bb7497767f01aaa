// The versus program: two people on one machine, player 2 on the right-hand
// fighter with its own keys (R F D G, A S Q) or the last joystick.
//
//   versus [--record FILE] [--seed N] [--frames N]
//   versus (--host [PORT] | --join HOST[:PORT] | --join-bridge PORT) [--delay N]
//          [--seed N] [--frames N] [--autoplay SEED] [--impair SEED]
//
// --record FILE writes the match as a recorded game (the versus form of the
// replay format) and prints the final state as the replay tool prints it;
// --seed N seeds the random generator (1 by default); --frames N ends the
// match after N frames (tests), as Escape does any time.  The online modes
// are described in versus/onlineMatch.h; both sides must give the same seed.
//
// Options are parsed into `options` first and the mode is chosen from them,
// so a new way of playing (online: --host, --join) adds its fields there,
// its cases in parse, and its branch in run.
#pragma once

#include <cstdint>
#include <string>

namespace versusProgram {

struct options {
    std::string record;       // the recording's path; empty: none
    std::uint32_t seed = 1;   // the random generator's seed
    std::uint32_t frames = 0; // the match ends after this many frames; 0: only by Escape

    // Online (versus/onlineMatch.h): one of the three ways in, or none.
    bool host = false;            // --host [PORT]
    std::uint16_t port = 7707;    // the host's UDP port
    std::string join;             // --join HOST[:PORT]
    std::uint16_t bridgePort = 0; // --join-bridge PORT
    std::uint32_t delay = 2;      // --delay: input delay in frames, 0 to 8
    std::uint32_t autoplay = 0;   // --autoplay SEED: this side plays by itself (tests)
    std::uint32_t impair = 0;     // --impair SEED: what this side sends is held back (tests)
    bool online() const { return host || !join.empty() || bridgePort != 0; }
};

// The command line into `out`; false with a message for the player when it
// is not one the program takes.
bool parse(int argc, char** argv, options& out, std::string& error);
// The usage lines.
const char* usage();

// The program: parses, plays, returns the exit code (0 after a match, 2 on a
// command line it does not take or a recording it cannot write).
int run(int argc, char** argv);
// A match at one machine, played to its end.
int playLocal(const options& opts);

} // namespace versusProgram
