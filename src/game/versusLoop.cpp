#include "game/versusLoop.h"

#include "base/passControls.h"
#include "base/seams.h"
#include "base/seededRandom.h"
#include "game/soundOnce.h"

#include <ostream>
#include <streambuf>
#include <string>

namespace versusLoop {

namespace {

std::uint32_t g_clock = 0;
std::uint32_t g_frame = 0;
bool g_resimulating = false;
bool g_frameOnShow = false; // a frame played with keepShown waits for finishFrame
soundOnce g_sounds;

Uint32 matchTicks() {
    return g_clock;
}

bool soundGate(int player, const std::string& name) {
    return g_sounds.mayStart(g_frame, player, name, g_resimulating);
}

} // namespace

void begin(std::uint32_t seed) {
    g_clock = 0;
    g_frame = 0;
    g_resimulating = false;
    g_sounds.clear();
    g_frameOnShow = false;
    seams::setTickSource(matchTicks);
    seededRandom::install(seed);
    seams::setSoundGate(soundGate);
}

void finish() {
    seams::setTickSource(nullptr);
    seams::setRandomSource(nullptr);
    seams::setSoundGate(nullptr);
    g_sounds.clear();
}

frameInputs readInputs(gameSession& session) {
    passControls read[2];
    readControls(session, read);
    return {read[0].toInput(), read[1].toInput()};
}

bool playFrame(gameSession& session, std::uint32_t frame, const frameInputs& inputs,
               bool resimulating, bool draw, bool keepShown) {
    finishFrame();
    g_frame = frame;
    g_resimulating = resimulating;
    g_sounds.forgetFar(frame);
    std::ostream* trace = nullptr;
    if (resimulating) {
        trace = &seams::trace();
        seams::setTraceStream(&seams::nowhere());
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
            if (keepShown) {
                g_frameOnShow = true;
                checkHits();
            } else {
                eraseAndCheckHits();
            }
        } else {
            advanceUnseenFrame();
        }
    }

    if (resimulating) seams::setTraceStream(trace);
    g_resimulating = false;
    return goOn;
}

void finishFrame() {
    if (!g_frameOnShow) return;
    g_frameOnShow = false;
    eraseFrame();
}

void showState() {
    if (g_frameOnShow) return;
    drawFrame();
    g_frameOnShow = true;
}

std::uint32_t clock() {
    return g_clock;
}

} // namespace versusLoop
