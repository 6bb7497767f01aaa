#include "game/versusLoop.h"

#include "base/passControls.h"
#include "base/seams.h"
#include "base/seededRandom.h"

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace versusLoop {

namespace {

// Sounds a frame started are remembered this many frames, far longer than
// any rollback reaches back.
constexpr std::uint32_t soundMemoryFrames = 64;

std::uint32_t g_clock = 0;
std::uint32_t g_frame = 0;
bool g_resimulating = false;

Uint32 matchTicks() {
    return g_clock;
}

struct startedSound {
    std::uint32_t frame;
    int player;
    std::string name;
};
std::vector<startedSound> g_started;

// Each (frame, player, sound) starts once: the first time the frame is
// played it starts what it names (twice if it names it twice, as the game
// always has); played again, only what it did not start before.
bool soundGate(int player, const std::string& name) {
    for (const startedSound& s : g_started)
        if (s.frame == g_frame && s.player == player && s.name == name) return !g_resimulating;
    g_started.push_back({g_frame, player, name});
    return true;
}

void forgetOldSounds(std::uint32_t frame) {
    std::vector<startedSound> kept;
    for (startedSound& s : g_started)
        if (s.frame + soundMemoryFrames >= frame && s.frame <= frame + soundMemoryFrames)
            kept.push_back(std::move(s));
    g_started.swap(kept);
}

// Where the trace goes while a frame is played again.
class nullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
nullBuffer g_nullBuffer;
std::ostream g_nowhere(&g_nullBuffer);

} // namespace

void begin(std::uint32_t seed) {
    g_clock = 0;
    g_frame = 0;
    g_resimulating = false;
    g_started.clear();
    seams::setTickSource(matchTicks);
    seededRandom::install(seed);
    seams::setSoundGate(soundGate);
}

void finish() {
    seams::setTickSource(nullptr);
    seams::setRandomSource(nullptr);
    seams::setSoundGate(nullptr);
    g_started.clear();
}

frameInputs readInputs(gameSession& session) {
    passControls read[2];
    readControls(session, read);
    return {read[0].toInput(), read[1].toInput()};
}

bool playFrame(gameSession& session, std::uint32_t frame, const frameInputs& inputs,
               bool resimulating, bool draw) {
    g_frame = frame;
    g_resimulating = resimulating;
    forgetOldSounds(frame);
    std::ostream* trace = nullptr;
    if (resimulating) {
        trace = &seams::trace();
        seams::setTraceStream(&g_nowhere);
    }

    const passControls pressedNow[2] = {passControls::fromInput(inputs[0]),
                                        passControls::fromInput(inputs[1])};
    passControls heldOnly[2];
    heldOnly[0].held = inputs[0].held;
    heldOnly[1].held = inputs[1].held;

    bool goOn = true;
    for (std::uint32_t pass = 1; pass <= passesPerFrame && goOn; ++pass) {
        g_clock = tickOf(frame, pass);
        goOn = updateGame(session, pass == 1 ? pressedNow : heldOnly);
        // The pass in which a player quits is the frame's last.
        if (draw && (pass == passesPerFrame || !goOn)) {
            drawFrame();
            eraseAndCheckHits();
        } else {
            advanceUnseenFrame();
        }
    }

    if (resimulating) seams::setTraceStream(trace);
    g_resimulating = false;
    return goOn;
}

std::uint32_t clock() {
    return g_clock;
}

} // namespace versusLoop
