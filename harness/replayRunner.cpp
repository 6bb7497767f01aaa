#include "replayRunner.h"

#include "base/seams.h"
#include "base/seededRandom.h"
#include "game/finalState.h"
#include "game/refreshLoop.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <streambuf>

namespace {

Uint32 g_clock = 0;
Uint32 replayTicks() {
    return g_clock;
}

Uint8 g_held[SDLK_LAST];
const Uint8* heldKeys() {
    return g_held;
}

} // namespace

replayRunner::replayRunner(const replayScript& script, std::ostream* trace) : script_(script) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    g_clock = 0;
    for (Uint8& key : g_held)
        key = 0;
    seams::setTickSource(replayTicks);
    // The same numbers on every machine and C library.
    seededRandom::install(script.seed);
    seams::setTraceStream(trace ? trace : &seams::nowhere());
    seams::setErrorStream(trace ? trace : &seams::nowhere());
    playerControl::setKeyStateSource(heldKeys);
    if (script.versus) {
        session.versus = true;
        versusLoop::begin(script.seed);
    }
    sdlInit();
    startUp(session);
}

replayRunner::~replayRunner() {
    seams::trace().flush();
    seams::setTickSource(nullptr);
    seams::setRandomSource(nullptr);
    seams::setTraceStream(nullptr);
    seams::setErrorStream(nullptr);
    playerControl::setKeyStateSource(nullptr);
    if (script_.versus) versusLoop::finish();
}

Uint32 replayRunner::now() const {
    return script_.versus ? versusLoop::clock() : g_clock;
}

void replayRunner::setKey(SDLKey key, bool down) {
    if (key <= SDLK_UNKNOWN || key >= SDLK_LAST) return;
    g_held[key] = down ? 1 : 0;
    pushKeyEvent(key, down);
}

void replayRunner::pushKeyEvent(SDLKey key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

void replayRunner::advance() {
    g_clock += script_.stepMs;
    while (nextEvent_ < script_.events.size() && script_.events[nextEvent_].tick <= g_clock) {
        const replayEvent& event = script_.events[nextEvent_++];
        setKey(event.key, event.down);
    }
    ++passes_;
}

// The end of a pass: undrawn, or drawn and shown to `onShown` before the
// erase and the hit checks.
void replayRunner::endPass(const std::function<void()>& onShown) {
    if (!onShown) {
        advanceUnseenFrame();
        return;
    }
    drawFrame();
    onShown();
    eraseAndCheckHits();
}

bool replayRunner::stepRecorded(passControls* players, const std::function<void()>& onShown) {
    if (ended_) return false;
    advance();
    readControls(session, players);
    ended_ = !updateGame(session, players);
    endPass(onShown);
    return !ended_;
}

void replayRunner::replayPass(Uint32 tick, const passControls* players,
                              const std::function<void()>& onShown) {
    g_clock = tick;
    ended_ = !updateGame(session, players);
    endPass(onShown);
}

bool replayRunner::step() {
    if (ended_) return false;
    advance();
    ended_ = !runPass(session);
    return !ended_;
}

Uint32 replayRunner::takeNextFrame() {
    // A frame without a line holds what the one before held, pressing nothing.
    for (playerInput& in : inputs_)
        in.pressed = 0;
    if (nextLine_ < script_.frames.size() && script_.frames[nextLine_].frame == nextFrame_)
        inputs_ = script_.frames[nextLine_++].inputs;
    return nextFrame_++;
}

bool replayRunner::stepFrame() {
    if (ended_ || nextFrame_ >= script_.frameCount) return false;
    const Uint32 frame = takeNextFrame();
    const bool draw = passesPerRefresh_ <= 1 || (frame + 1) % passesPerRefresh_ == 0 ||
                      nextFrame_ == script_.frameCount;
    ended_ = !versusLoop::playFrame(session, frame, inputs_, false, draw);
    passes_ = versusLoop::clock();
    return !ended_;
}

bool replayRunner::stepFrameRecorded(Uint32& frame, versusLoop::frameInputs& inputs,
                                     const std::function<void()>& onShown) {
    if (ended_ || nextFrame_ >= script_.frameCount) return false;
    frame = takeNextFrame();
    inputs = inputs_;
    replayFrame(frame, inputs, onShown);
    return !ended_;
}

void replayRunner::replayFrame(Uint32 frame, const versusLoop::frameInputs& inputs,
                               const std::function<void()>& onShown) {
    const bool draw = static_cast<bool>(onShown);
    ended_ = !versusLoop::playFrame(session, frame, inputs, false, draw, draw);
    if (draw) {
        onShown();
        versusLoop::finishFrame();
    }
    passes_ = versusLoop::clock();
}

void replayRunner::run() {
    if (script_.versus) {
        while (stepFrame()) {
        }
        return;
    }
    if (passesPerRefresh_ <= 1) {
        while (g_clock < script_.endTick && step()) {
        }
        return;
    }
    refreshLoop loop(session);
    const long step = std::max<long>(script_.stepMs, 1);
    while (g_clock < script_.endTick && !ended_) {
        const long left = (static_cast<long>(script_.endTick) - g_clock + step - 1) / step;
        ended_ = !loop.refresh(std::min(passesPerRefresh_, left), [this] { advance(); });
    }
    loop.finish();
}

std::map<std::string, std::string> replayRunner::state() const {
    return finalState::describe(now(), passes_, ended_, script_.versus);
}

std::string replayRunner::stateText() const {
    return finalState::text(state());
}

std::vector<std::string> replayRunner::failedExpectations() const {
    std::vector<std::string> failures;
    auto values = state();
    for (const replayExpectation& check : script_.expectations) {
        auto found = values.find(check.name);
        std::string where = "line " + std::to_string(check.line) + ": ";
        if (found == values.end()) {
            failures.push_back(where + "no value named " + check.name);
            continue;
        }
        const std::string& actual = found->second;
        char* endA = nullptr;
        char* endB = nullptr;
        long a = std::strtol(actual.c_str(), &endA, 10);
        long b = std::strtol(check.value.c_str(), &endB, 10);
        bool numeric = !actual.empty() && !check.value.empty() && *endA == 0 && *endB == 0;
        int order = numeric ? (a < b ? -1 : a > b ? 1 : 0) : actual.compare(check.value);
        bool ok = check.op == "="    ? order == 0
                  : check.op == "!=" ? order != 0
                  : check.op == "<"  ? order < 0
                  : check.op == ">"  ? order > 0
                  : check.op == "<=" ? order <= 0
                                     : order >= 0;
        if (!ok)
            failures.push_back(where + check.name + " " + check.op + " " + check.value + " (was " +
                               actual + ")");
    }
    return failures;
}
