#include "frameFolderChecker.h"

#include "base/dataLimits.h"
#include "base/platform.h"
#include "base/textFile.h"
#include "lineReader.h"

namespace {

std::string shown(const std::string& line) {
    return "\"" + withoutLineEnd(line) + "\"";
}

// Between two entries the loader skips comments and empty lines.
bool skippedBetweenEntries(const std::string& line) {
    return line.empty() || line[0] == '#' || line[0] == '\r' || line[0] == '\n';
}

// Reads the fixed lines of one frame entry and reports what does not fit.
struct entryReader {
    lineReader& in;
    diagnostics& report;
    int frame; // 0-based index, shown 1-based
    bool cut = false;

    std::string where() const { return "frame " + std::to_string(frame + 1) + ": "; }

    bool next(std::string& line, const char* what) {
        if (cut) return false;
        if (!in.next(line)) {
            cut = true;
            report.error(in.path(), in.line(),
                         where() + "entry cut short: the file ends where " + std::string(what) +
                             " belongs");
            return false;
        }
        return true;
    }

    void mismatch(const std::string& line, const std::string& expected) {
        std::string message = where() + "expected " + expected + ", found " + shown(line);
        if (!line.empty() && line[0] == '#')
            message += "; comments are not allowed inside a frame entry";
        else if (withoutLineEnd(line).empty())
            message += "; empty lines are not allowed inside a frame entry";
        report.error(in.path(), in.line(), message);
    }

    // One line of count numbers; false when the line is missing.
    // One line of count numbers; false when the line is missing or short.
    bool numbers(int* out, int count, const char* what) {
        std::string line;
        if (!next(line, what)) return false;
        if (scanInts(line, out, count) == count) return true;
        mismatch(line, what);
        return false;
    }

    // Values the game keeps within [low, high]: a warning naming the value
    // and what the game uses instead.
    void inRange(const int* values, int count, const char* what, int low, int high) {
        for (int i = 0; i < count; ++i) {
            if (values[i] >= low && values[i] <= high) continue;
            report.warning(in.path(), in.line(),
                           where() + what + " " + std::to_string(values[i]) + " is outside " +
                               std::to_string(low) + " .. " + std::to_string(high) +
                               "; the game uses " + std::to_string(values[i] < low ? low : high));
        }
    }

    // One line holding a word.
    bool word(std::string& out, const char* what) {
        std::string line;
        if (!next(line, what)) return false;
        out = firstWord(line);
        if (out.empty()) mismatch(line, what);
        return true;
    }
};

} // namespace

const frameFolder& frameFolderChecker::check(const std::string& folder, const std::string& fromFile,
                                             int fromLine, bool resource) {
    auto known = done_.find(folder);
    if (known != done_.end()) return known->second;
    frameFolder& set = done_[folder];
    set.path = folder;
    set.infoPath = folder + "/info";

    lineReader in(report_, set.infoPath);
    if (!in.open()) {
        report_.error(fromFile, fromLine, "cannot open frame index " + set.infoPath);
        return set;
    }
    set.opened = true;
    std::string line;
    if (!in.next(line) || !scanHeader(line, "FILES:", set.count)) {
        report_.error(set.infoPath, in.line() > 0 ? in.line() : 0,
                      "first line must be \"FILES: <count>\"; the game loads no frames here");
        set.count = 0;
        return set;
    }
    int headerLine = in.line();
    if (set.count < 0) {
        report_.error(set.infoPath, headerLine,
                      "negative frame count " + std::to_string(set.count));
        return set;
    }
    if (set.count == 0) report_.warning(set.infoPath, headerLine, "no frames: nothing to show");

    int head[4] = {0, -1, 0, 0}; // display time, colour key red, green, blue
    while (static_cast<int>(set.frames.size()) < set.count) {
        bool found = false;
        while (in.next(line)) {
            if (!skippedBetweenEntries(line)) {
                found = true;
                break;
            }
        }
        if (!found) {
            report_.error(set.infoPath, headerLine,
                          "\"FILES: " + std::to_string(set.count) + "\" announces " +
                              std::to_string(set.count) + " frames but the file holds " +
                              std::to_string(set.frames.size()));
            break;
        }
        frameRecord frame;
        frame.line = in.line();
        entryReader entry{in, report_, static_cast<int>(set.frames.size())};

        // Line 1: bitmap, display time, colour key.  Like the loader, a line
        // that lacks the key leaves the previous entry's key (at first none).
        frame.bitmap = firstWord(line);
        if (frame.bitmap.empty() || scanInts(line, head, 4, afterFirstWord(line)) < 4)
            entry.mismatch(line, "\"<bitmap> <time> <red> <green> <blue>\"");
        int anchor[2] = {0, 0}, box[4], dmgBox[4], point[2], move[2];
        int value = 0;
        const int far = dataLimits::coordinate;
        frame.anchorRead = entry.numbers(anchor, 2, "the anchor (2 numbers)");
        if (frame.anchorRead) entry.inRange(anchor, 2, "anchor value", -far, far);
        frame.offsetX = dataLimits::clampCoordinate(anchor[0]);
        frame.offsetY = dataLimits::clampCoordinate(anchor[1]);
        frame.anchorLine = in.line();
        if (entry.numbers(box, 4, "the collision box (4 numbers)"))
            entry.inRange(box, 4, "collision box value", -far, far);
        if (entry.numbers(dmgBox, 4, "the damage box (4 numbers)"))
            entry.inRange(dmgBox, 4, "damage box value", -far, far);
        value = 0;
        if (entry.numbers(&value, 1, "the damage (a number)"))
            entry.inRange(&value, 1, "damage", 0, dataLimits::damageMost);
        frame.damage = dataLimits::clampDamage(value);
        entry.numbers(&value, 1, "a flag (a number)");
        value = 0;
        entry.numbers(&value, 1, "the hit type (a number)");
        frame.hitType = value;
        frame.hitTypeLine = in.line();
        if (entry.numbers(point, 2, "point A (2 numbers)"))
            entry.inRange(point, 2, "point A value", -far, far);
        if (entry.numbers(point, 2, "point B (2 numbers)"))
            entry.inRange(point, 2, "point B value", -far, far);
        if (entry.word(frame.sound, "a sound name or NULL")) frame.soundLine = in.line();
        int spawns = 0;
        if (entry.numbers(&spawns, 1, "the number of spawn lines") && spawns < 0)
            report_.error(set.infoPath, in.line(),
                          entry.where() + "negative number of spawn lines " +
                              std::to_string(spawns));
        for (int i = 0; i < spawns; ++i) {
            if (!entry.next(line, "a spawn line")) break;
            frame.spawns.push_back({withoutLineEnd(line), in.line()});
        }
        if (entry.numbers(move, 2, "the movement (2 numbers)"))
            entry.inRange(move, 2, "movement value", -far, far);
        entry.numbers(&value, 1, "a flag (a number)");
        std::string tag;
        entry.word(tag, "a tag word");

        if (!frame.bitmap.empty() && !platform::nameStaysInside(frame.bitmap)) {
            set.bitmapFailed = true;
            report_.error(
                set.infoPath, frame.line,
                entry.where() + "bitmap name \"" + frame.bitmap +
                    "\" leaves the frame folder; the game never reads it" +
                    (resource ? " and stops with exit code 1" : " and stops loading this folder"));
        } else if (!frame.bitmap.empty()) {
            std::string path = folder + "/" + frame.bitmap;
            std::string problem;
            frame.decoded = bitmaps_.check(path, head[1], head[2], head[3], frame.image, problem);
            if (!frame.decoded) {
                set.bitmapFailed = true;
                report_.error(set.infoPath, frame.line,
                              "bitmap " + path + ": " + problem +
                                  (resource ? "; the game stops with exit code 1"
                                            : "; the game stops loading this folder"));
            } else {
                set.width = frame.image.width;
                set.height = frame.image.height;
            }
        }
        set.frames.push_back(frame);
        if (entry.cut) break;
    }

    if (static_cast<int>(set.frames.size()) == set.count) {
        while (in.next(line)) {
            if (skippedBetweenEntries(line)) continue;
            report_.warning(set.infoPath, in.line(),
                            "text after the last of the " + std::to_string(set.count) +
                                " frames is ignored");
            break;
        }
    }

    for (size_t i = 0; i < set.frames.size(); ++i) {
        const frameRecord& frame = set.frames[i];
        std::string name = "frame " + std::to_string(i + 1) + ": ";
        if (frame.damage > 0 && frame.hitType != 1)
            report_.warning(set.infoPath, frame.hitTypeLine,
                            name + "damage " + std::to_string(frame.damage) + " with hit type " +
                                std::to_string(frame.hitType) +
                                " never hurts; only hit type 1 does damage");
        if (resource && frame.decoded && !set.bitmapFailed &&
            (frame.image.width > set.width || frame.image.height > set.height))
            report_.warning(set.infoPath, frame.line,
                            name + std::to_string(frame.image.width) + "x" +
                                std::to_string(frame.image.height) +
                                " is larger than the set's size " + std::to_string(set.width) +
                                "x" + std::to_string(set.height) +
                                " (its last frame's); drawing it leaves trails");
    }
    return set;
}
