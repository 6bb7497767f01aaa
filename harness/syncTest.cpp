#include "syncTest.h"

#include "base/seams.h"
#include "game/matchState.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using soundStart = std::pair<int, std::string>; // player, sound

// The sounds frames start.  The straight run starts every sound it asks
// for; a frame played again starts none that its first playing started,
// and must ask for exactly the same ones.
struct soundLog {
    long frame = 0;
    bool again = false;
    long started = 0;
    std::set<std::tuple<long, int, std::string>> heard;
    std::vector<soundStart> asked; // by the frame now playing
};
soundLog* g_sounds = nullptr;

bool onceAFrame(int player, const std::string& name) {
    if (!g_sounds) return true;
    g_sounds->asked.emplace_back(player, name);
    if (!g_sounds->heard.emplace(g_sounds->frame, player, name).second) return false;
    ++g_sounds->started;
    return true;
}

// One pass as the straight run made it.
struct recordedPass {
    Uint32 tick = 0;
    passControls players[2];
};

// A frame: the state before it, its passes (or, in the versus form, its
// number and inputs), and what it traced and sounded.
struct recordedFrame {
    long number = 0;
    std::vector<unsigned char> before;
    std::vector<recordedPass> passes;
    Uint32 versusFrame = 0;
    versusLoop::frameInputs inputs{};
    std::string trace;
    std::vector<soundStart> sounds;
    std::uint64_t screen = 0; // the hash of its drawn frame (with screens)
};

// A hash of the screen's pixels.
std::uint64_t screenHash() {
    SDL_Surface* s = screen;
    if (!s) return 0;
    SDL_LockSurface(s);
    std::uint64_t hash = 14695981039346656037ull;
    const Uint8* row = static_cast<const Uint8*>(s->pixels);
    for (int y = 0; y < s->h; ++y, row += s->pitch)
        for (int x = 0; x < s->w * s->format->BytesPerPixel; ++x)
            hash = (hash ^ row[x]) * 1099511628211ull;
    SDL_UnlockSurface(s);
    return hash;
}

std::string where(long frame, Uint32 tick) {
    return "frame " + std::to_string(frame) + ", tick " + std::to_string(tick);
}

// Where two traces of one frame part: " (line N: "first" first, "again"
// again)", each line cut to 100 characters; "" when they agree.
std::string firstLineApart(const std::string& first, const std::string& again) {
    std::istringstream a(first), b(again);
    std::string lineA, lineB;
    for (long n = 1;; ++n) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB) return "";
        if (moreA && moreB && lineA == lineB) continue;
        auto shown = [](bool more, const std::string& line) {
            return more ? "\"" + line.substr(0, 100) + "\"" : std::string("nothing");
        };
        return " (line " + std::to_string(n) + ": " + shown(moreA, lineA) + " first, " +
               shown(moreB, lineB) + " again)";
    }
}

// The first field of the state that differs, after a frame played again,
// from the straight run's state after the same frame: "; FIELD differs
// too", or "" when the state agrees.  The run stops here, but the game is
// left as the frame played again left it.
std::string stateNote(matchState& state, const std::vector<unsigned char>& straight) {
    std::vector<unsigned char> again, straightAgain;
    std::vector<stateWriter::fieldStart> againLayout, straightLayout;
    state.save(again, &againLayout);
    if (again == straight) return "";
    // The straight state's layout comes from saving it again once restored
    // whole.
    state.restore(straight);
    state.save(straightAgain, &straightLayout);
    state.restore(again);
    return "; " + stateBuffer::firstDifference(straightAgain, straightLayout, again, againLayout) +
           " differs too";
}

// The frames of a run, the straight one and the ones played again, each
// with its trace and sounds captured apart (the straight run's trace then
// goes on to the run's own trace) and, with screens, its drawn frame hashed.
class frameCapture {
  public:
    frameCapture(replayRunner& runner, soundLog& sounds, bool screens, bool versus)
        : runner_(runner), sounds_(sounds), trace_(seams::trace()), screens_(screens),
          versus_(versus) {}

    // The straight run's next frame (passes up to endTick), recorded.
    recordedFrame playStraight(long frame, matchState& state, Uint32 endTick) {
        recordedFrame made;
        made.number = frame;
        state.save(made.before);
        begin(frame);
        if (versus_) {
            runner_.stepFrameRecorded(made.versusFrame, made.inputs,
                                      screens_ ? takeScreen_ : noScreen_);
        } else {
            for (int p = 0; p < syncTest::passesPerFrame && runner_.now() < endTick; ++p) {
                recordedPass pass;
                const bool last = screens_ && p == syncTest::passesPerFrame - 1;
                const bool goOn =
                    runner_.stepRecorded(pass.players, last ? takeScreen_ : noScreen_);
                pass.tick = runner_.now();
                made.passes.push_back(pass);
                if (!goOn) break;
            }
        }
        seams::setTraceStream(&trace_);
        made.trace = frameTrace_.str();
        trace_ << made.trace;
        made.sounds = sounds_.asked;
        made.screen = shown_;
        return made;
    }

    // The frames played again from the state before the first: what differs
    // from their straight playing first, or "" when nothing does.  After the
    // rollback, the last frame is drawn again.  `straightAfter` is the state
    // the straight run left after the last frame, so that a frame whose
    // trace, sounds or screen differ can also name the first field of the
    // state that went astray with it.
    std::string playAgain(const std::deque<recordedFrame>& frames, matchState& state,
                          const std::vector<unsigned char>& straightAfter) {
        for (size_t i = 0; i < frames.size(); ++i) {
            const recordedFrame& f = frames[i];
            begin(f.number);
            const bool drawn = screens_ && i + 1 == frames.size();
            if (versus_)
                runner_.replayFrame(f.versusFrame, f.inputs, drawn ? takeScreen_ : noScreen_);
            for (size_t p = 0; p < f.passes.size(); ++p)
                runner_.replayPass(f.passes[p].tick, f.passes[p].players,
                                   drawn && p + 1 == syncTest::passesPerFrame ? takeScreen_
                                                                              : noScreen_);
            seams::setTraceStream(&trace_);
            const std::string differs = whatDiffers(f, drawn);
            if (differs.empty()) continue;
            const Uint32 tick = f.passes.empty() ? runner_.now() : f.passes.back().tick;
            return where(f.number, tick) + ": " + differs +
                   stateNote(state, i + 1 < frames.size() ? frames[i + 1].before : straightAfter);
        }
        return "";
    }

  private:
    // What a frame just played again did otherwise than its straight
    // playing: its trace (with the first line where they part), the sounds
    // it asked for, or the screen it drew; "" when nothing.
    std::string whatDiffers(const recordedFrame& f, bool drawn) const {
        const std::string again = frameTrace_.str();
        if (again != f.trace)
            return "the trace differs when played again" + firstLineApart(f.trace, again);
        if (sounds_.asked != f.sounds) return "the sounds differ when played again";
        if (drawn && shown_ != f.screen) return "the screen differs when drawn again";
        return "";
    }

    // The frame's trace and sounds are captured from now on.
    void begin(long frame) {
        sounds_.frame = frame;
        sounds_.asked.clear();
        frameTrace_.str("");
        seams::setTraceStream(&frameTrace_);
        shown_ = 0;
    }

    replayRunner& runner_;
    soundLog& sounds_;
    std::ostream& trace_;
    const bool screens_, versus_;
    std::ostringstream frameTrace_;
    std::uint64_t shown_ = 0;
    const std::function<void()> takeScreen_ = [this] { shown_ = screenHash(); };
    const std::function<void()> noScreen_;
};

} // namespace

syncTest::syncTest(const replayScript& script, int depth, std::ostream* trace, std::string kept,
                   bool screens)
    : script_(script), depth_(depth), trace_(trace), kept_(std::move(kept)), screens_(screens) {}

syncTest::result syncTest::run() {
    result out;
    soundLog sounds;
    g_sounds = &sounds;
    seams::setSoundGate(onceAFrame);
    {
        replayRunner runner(script_, trace_);
        // The versus loop brings a sound gate of its own; this one compares.
        seams::setSoundGate(onceAFrame);
        matchState state(runner.session);
        const bool versus = script_.versus;
        auto going = [&] {
            return !runner.ended() &&
                   (versus ? runner.framesLeft() : runner.now() < script_.endTick);
        };
        frameCapture capture(runner, sounds, screens_, versus);
        std::deque<recordedFrame> frames; // the last depth_ frames
        std::vector<unsigned char> straight, again;
        std::vector<stateWriter::fieldStart> straightLayout, againLayout;
        for (long frame = 0; going(); ++frame) {
            frames.push_back(capture.playStraight(frame, state, script_.endTick));
            if (static_cast<int>(frames.size()) > depth_) frames.pop_front();
            ++out.frames;
            if (static_cast<int>(frames.size()) < depth_) continue;

            // Back depth_ frames, and the same frames again: the same state,
            // trace and sounds must come out.
            state.save(straight, &straightLayout);
            if (!state.restore(frames.front().before, kept_)) {
                out.agreed = false;
                out.message = where(frame, runner.now()) + ": a saved state did not restore";
                break;
            }
            ++out.rollbacks;
            out.message = capture.playAgain(frames, state, straight);
            state.save(again, &againLayout);
            if (out.message.empty() &&
                stateBuffer::checksum(again) != stateBuffer::checksum(straight))
                out.message =
                    where(frame, runner.now()) + ": " +
                    stateBuffer::firstDifference(straight, straightLayout, again, againLayout) +
                    " differs after a rollback of " + std::to_string(depth_) + " frames";
            if (!out.message.empty()) {
                out.agreed = false;
                break;
            }
        }
        out.finalState = runner.stateText();
        if (out.agreed) out.failedExpectations = runner.failedExpectations();
    }
    seams::setSoundGate(nullptr);
    g_sounds = nullptr;
    out.soundsStarted = sounds.started;
    return out;
}
