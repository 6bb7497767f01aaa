#include "replayScript.h"

#include "base/platform.h"
#include "game/versusRecording.h"

#include <algorithm>
#include <sstream>

SDLKey replayScript::keyFromName(const std::string& name) {
    if (name == "Left") return SDLK_LEFT;
    if (name == "Right") return SDLK_RIGHT;
    if (name == "Up") return SDLK_UP;
    if (name == "Down") return SDLK_DOWN;
    if (name == "Escape") return SDLK_ESCAPE;
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return static_cast<SDLKey>(name[0]);
    return SDLK_UNKNOWN;
}

namespace {

// Frames up to this many: the ticks of the last one still fit the game clock.
constexpr long long mostFrames = 0x7FFFFFF;

// "frame N P1HELD P1PRESSED P2HELD P2PRESSED" on line `number`, after the
// frames read so far; what is wrong with it, or "".
std::string readFrame(std::istream& words, int number, std::vector<replayFrame>& frames) {
    long long frame = -1;
    std::string names[4];
    if (!(words >> frame >> names[0] >> names[1] >> names[2] >> names[3]) || frame < 0 ||
        frame >= mostFrames)
        return "expected: frame N P1HELD P1PRESSED P2HELD P2PRESSED";
    replayFrame f;
    f.frame = static_cast<Uint32>(frame);
    f.line = number;
    for (int i = 0; i < 4; ++i) {
        std::uint16_t controls = 0;
        if (!versusRecording::controlsFromNames(names[i], controls))
            return "unknown control in '" + names[i] + "'";
        (i % 2 ? f.inputs[i / 2].pressed : f.inputs[i / 2].held) = controls;
    }
    if (!frames.empty() && f.frame <= frames.back().frame)
        return "frame " + std::to_string(f.frame) + " comes after frame " +
               std::to_string(frames.back().frame);
    frames.push_back(f);
    return "";
}

// "down TICK KEY", "up TICK KEY" or "tap TICK KEY" (down, and up 40 ms later).
std::string readKeyEvent(const std::string& verb, std::istream& words,
                         std::vector<replayEvent>& events) {
    long long tick = -1;
    std::string keyName;
    if (!(words >> tick >> keyName) || tick < 0 || tick > 0x7FFFFFFF)
        return "expected a tick and a key";
    SDLKey key = replayScript::keyFromName(keyName);
    if (key == SDLK_UNKNOWN) return "unknown key '" + keyName + "'";
    Uint32 at = static_cast<Uint32>(tick);
    if (verb == "tap") {
        events.push_back({at, true, key});
        events.push_back({at + 40, false, key});
    } else {
        events.push_back({at, verb == "down", key});
    }
    return "";
}

// "expect NAME OP VALUE" on line `number`.
std::string readExpectation(std::istream& words, int number,
                            std::vector<replayExpectation>& expectations) {
    replayExpectation check;
    check.line = number;
    if (!(words >> check.name >> check.op >> check.value)) return "expected: name op value";
    static const char* ops[] = {"=", "!=", "<", ">", "<=", ">="};
    if (std::find(std::begin(ops), std::end(ops), check.op) == std::end(ops))
        return "unknown comparison '" + check.op + "'";
    expectations.push_back(check);
    return "";
}

// A number from 0 to `most` into `out`.
bool readNumber(std::istream& words, long long most, Uint32& out) {
    long long value = -1;
    if (!(words >> value) || value < 0 || value > most) return false;
    out = static_cast<Uint32>(value);
    return true;
}

} // namespace

bool replayScript::parse(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool endGiven = false;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb)) continue;
        ++instructions;
        std::string wrong;
        if (verb == "versus") {
            if (instructions != 1) return fail("'versus' must be the first instruction");
            versus = true;
        } else if (versus && (verb == "step" || verb == "down" || verb == "up" || verb == "tap")) {
            return fail("'" + verb + "' is not part of a versus recording: it has frame lines");
        } else if (verb == "frame") {
            if (!versus) return fail("frame lines belong to a versus recording ('versus' first)");
            wrong = readFrame(words, number, frames);
        } else if (versus && verb == "end") {
            if (!readNumber(words, mostFrames, frameCount))
                return fail("expected a number of frames");
            endGiven = true;
        } else if (verb == "seed" || verb == "step" || verb == "end") {
            Uint32& field = verb == "seed" ? seed : verb == "step" ? stepMs : endTick;
            Uint32 value = 0;
            if (!readNumber(words, 0x7FFFFFFF, value)) return fail("expected a number");
            if (verb == "step" && value == 0) return fail("step must be at least 1 ms");
            field = value;
        } else if (verb == "down" || verb == "up" || verb == "tap") {
            wrong = readKeyEvent(verb, words, events);
        } else if (verb == "expect") {
            wrong = readExpectation(words, number, expectations);
        } else {
            wrong = "unknown instruction '" + verb + "'";
        }
        if (!wrong.empty()) return fail(wrong);
    }
    if (versus && !endGiven) {
        error = "a versus recording needs its length: end FRAMES";
        return false;
    }
    if (versus && !frames.empty() && frames.back().frame >= frameCount) {
        number = frames.back().line;
        return fail("frame " + std::to_string(frames.back().frame) + " is past the end (" +
                    std::to_string(frameCount) + " frames)");
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const replayEvent& a, const replayEvent& b) { return a.tick < b.tick; });
    return true;
}

void replayScript::tap(Uint32 tick, SDLKey key, Uint32 holdMs) {
    for (const replayEvent& e :
         {replayEvent{tick, true, key}, replayEvent{tick + holdMs, false, key}}) {
        auto after =
            std::upper_bound(events.begin(), events.end(), e.tick,
                             [](Uint32 t, const replayEvent& other) { return t < other.tick; });
        events.insert(after, e);
    }
}

bool replayScript::load(const std::string& path, std::string& error) {
    // A directory, a FIFO or a device is refused, never read or waited on.
    std::vector<unsigned char> bytes;
    switch (platform::readWholeFile(path, bytes)) {
    case platform::ReadResult::Ok:
        break;
    case platform::ReadResult::CannotStat:
        error = "not a regular file: " + path;
        return false;
    default:
        error = "cannot open " + path;
        return false;
    }
    if (!parse(std::string(bytes.begin(), bytes.end()), error)) return false;
    // A replay with nothing in it would play ten seconds of defaults and
    // pass: that is a mistake, not a test.
    if (instructions == 0) {
        error = "no instructions: nothing to replay";
        return false;
    }
    return true;
}
