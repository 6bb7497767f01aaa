#include "sprite/frameIndex.h"

#include "base/dataLimits.h"
#include "base/writtenText.h"

#include <initializer_list>

namespace {

// Read as many of the listed fields as the text supplies, in order; the
// others keep what they held.  Returns how many were read.
int readInts(const std::string& text, std::initializer_list<int*> fields, size_t start = 0) {
    int values[8];
    int count = 0;
    for (int* field : fields)
        values[count++] = *field;
    int got = text::scanInts(text, values, count, start);
    int i = 0;
    for (int* field : fields) {
        if (i >= got) break;
        *field = values[i++];
    }
    return got;
}

bool isSkippedBetweenEntries(const std::string& line) {
    return line.empty() || line[0] == '#' || line[0] == '\r' || line[0] == '\n';
}

std::string shown(const std::string& line) {
    return "\"" + text::withoutLineEnd(line) + "\"";
}

} // namespace

bool frameIndex::open(const std::string& folder) {
    header_ = countHeader();
    entries_ = 0;
    headerRead_ = cut_ = ended_ = false;
    bitmap_.clear();
    key_[0] = -1;
    key_[1] = key_[2] = 0;
    if (!lines_.open(folder + "/info")) return false;
    header_.read(lines_, "FILES:", "the game loads no frames here");
    headerRead_ = header_.wasRead() && announced() >= 0;
    if (!header_.wasRead()) return true;
    if (announced() < 0)
        lines_.error(header_.line(), "negative frame count " + std::to_string(announced()));
    else if (announced() == 0)
        lines_.warning(header_.line(), "no frames: nothing to show");
    return true;
}

std::string frameIndex::where() const {
    return "frame " + std::to_string(entries_) + ": ";
}

void frameIndex::mismatch(const std::string& line, const std::string& expected) {
    std::string message = where() + "expected " + expected + ", found " + shown(line);
    if (!line.empty() && line[0] == '#')
        message += "; comments are not allowed inside a frame entry";
    else if (text::withoutLineEnd(line).empty())
        message += "; empty lines are not allowed inside a frame entry";
    lines_.error(lines_.line(), message);
}

// The next line of the entry.  Once the file has ended the line stays empty
// and every field keeps its value; the cut is reported once.
bool frameIndex::entryLine(std::string& line, const char* what) {
    if (lines_.readLine(line)) return true;
    if (!cut_)
        lines_.error(lines_.line(), where() + "entry cut short: the file ends where " +
                                        std::string(what) + " belongs");
    cut_ = true;
    return false;
}

// One line of numbers; false when the line is missing or short.
bool frameIndex::numbers(std::initializer_list<int*> fields, const char* what) {
    std::string line;
    const bool there = entryLine(line, what);
    const int got = readInts(line, fields);
    if (!there) return false;
    if (got == static_cast<int>(fields.size())) return true;
    mismatch(line, what);
    return false;
}

// Offsets, boxes, points and steps stay within +-100,000 pixels and the
// damage within 0 .. 1,000,000, so the game adds them to positions without
// overflow.
void frameIndex::keepInRange(std::initializer_list<int*> fields, const char* what, int low,
                             int high) {
    for (int* value : fields) {
        if (*value >= low && *value <= high) continue;
        const int used = *value < low ? low : high;
        lines_.warning(lines_.line(), where() + what + " " + std::to_string(*value) +
                                          " is outside " + std::to_string(low) + " .. " +
                                          std::to_string(high) + "; the game uses " +
                                          std::to_string(used));
        *value = used;
    }
}

// One line holding a word; false when the line is missing.
bool frameIndex::word(std::string& value, const char* what) {
    std::string line;
    const bool there = entryLine(line, what);
    const std::string read = text::firstWord(line);
    if (!read.empty()) value = read;
    if (there && read.empty()) mismatch(line, what);
    return there;
}

bool frameIndex::next(frameEntry& entry) {
    // Past the announced entries, or past the end once it was met, there is
    // nothing more to read and nothing more to report.
    if (entries_ >= announced() || ended_) return false;
    std::string line;
    if (!startEntry(line)) return false;
    ++entries_;

    entry = frameEntry();
    entry.line = lines_.line();
    readBitmapLine(line, entry);
    readPlaceAndHit(entry);
    spriteFrame& frame = entry.frame;
    entry.soundRead = word(frame.soundName, "a sound name or NULL");
    entry.soundLine = lines_.line();
    readSpawnLines(entry);
    const int far = dataLimits::coordinate;
    numbers({&frame.moveX, &frame.moveY}, "the movement (2 numbers)");
    keepInRange({&frame.moveX, &frame.moveY}, "movement value", -far, far);
    int flag = 0;
    numbers({&flag}, "a flag (a number)");
    frame.flagB = flag > 0;
    word(frame.tagName, "a tag word");
    return true;
}

// Comments and blank lines are allowed between entries only.
bool frameIndex::startEntry(std::string& line) {
    while (!lines_.atEnd() && lines_.readLine(line))
        if (!isSkippedBetweenEntries(line)) return true;
    ended_ = true;
    if (!cut_) header_.reportHeld(lines_, static_cast<size_t>(entries_), "frames");
    return false;
}

// "<bitmap> <time> <red> <green> <blue>"; an entry without a bitmap of its
// own keeps the previous entry's bitmap and transparent colour.
void frameIndex::readBitmapLine(const std::string& line, frameEntry& entry) {
    spriteFrame& frame = entry.frame;
    const std::string name = text::firstWord(line);
    int got = 0;
    if (!name.empty()) {
        bitmap_ = name;
        got = readInts(line, {&frame.pause, &key_[0], &key_[1], &key_[2]},
                       text::afterFirstWord(line));
    }
    if (got < 4) mismatch(line, "\"<bitmap> <time> <red> <green> <blue>\"");
    entry.bitmap = bitmap_;
    entry.keyRed = key_[0];
    entry.keyGreen = key_[1];
    entry.keyBlue = key_[2];
}

// The anchor, the boxes, the damage, the first flag, the hit type and the two
// points.
void frameIndex::readPlaceAndHit(frameEntry& entry) {
    spriteFrame& frame = entry.frame;
    const int far = dataLimits::coordinate;
    entry.anchorRead = numbers({&frame.offsetX, &frame.offsetY}, "the anchor (2 numbers)");
    keepInRange({&frame.offsetX, &frame.offsetY}, "anchor value", -far, far);
    entry.anchorLine = lines_.line();
    numbers({&frame.colX1, &frame.colY1, &frame.colX2, &frame.colY2},
            "the collision box (4 numbers)");
    keepInRange({&frame.colX1, &frame.colY1, &frame.colX2, &frame.colY2}, "collision box value",
                -far, far);
    numbers({&frame.dmgX1, &frame.dmgY1, &frame.dmgX2, &frame.dmgY2}, "the damage box (4 numbers)");
    keepInRange({&frame.dmgX1, &frame.dmgY1, &frame.dmgX2, &frame.dmgY2}, "damage box value", -far,
                far);
    numbers({&frame.damage}, "the damage (a number)");
    keepInRange({&frame.damage}, "damage", 0, dataLimits::damageMost);
    int flag = 0;
    numbers({&flag}, "a flag (a number)");
    frame.flagA = flag > 0;
    numbers({&frame.hitType}, "the hit type (a number)");
    entry.hitTypeLine = lines_.line();
    numbers({&frame.pointAX, &frame.pointAY}, "point A (2 numbers)");
    keepInRange({&frame.pointAX, &frame.pointAY}, "point A value", -far, far);
    numbers({&frame.pointBX, &frame.pointBY}, "point B (2 numbers)");
    keepInRange({&frame.pointBX, &frame.pointBY}, "point B value", -far, far);
}

// The count of spawn lines, then that many lines kept whole.
void frameIndex::readSpawnLines(frameEntry& entry) {
    spriteFrame& frame = entry.frame;
    if (numbers({&frame.partNum}, "the number of spawn lines") && frame.partNum < 0)
        lines_.error(lines_.line(),
                     where() + "negative number of spawn lines " + std::to_string(frame.partNum));
    std::string line;
    for (int part = 0; part < frame.partNum; ++part) {
        if (!entryLine(line, "a spawn line")) break;
        frame.partNames.push_back(line);
        entry.spawnLines.push_back(lines_.line());
    }
    frame.partNum = static_cast<int>(frame.partNames.size());
}

void frameIndex::finish() {
    if (!headerRead_ || entries_ != announced() || cut_) return;
    std::string line;
    while (lines_.readLine(line)) {
        if (isSkippedBetweenEntries(line)) continue;
        lines_.warning(lines_.line(), "text after the last of the " + std::to_string(announced()) +
                                          " frames is ignored");
        break;
    }
}

std::string frameIndex::bitmapPath(const std::string& folder, const std::string& name,
                                   bool resource) {
    if (resource && !name.empty() && name[0] == '/') return name;
    return folder + "/" + name;
}

namespace {

std::string numberLine(std::initializer_list<int> values) {
    std::string line;
    for (int value : values) {
        if (!line.empty()) line += ' ';
        line += std::to_string(value);
    }
    return line + "\n";
}

} // namespace

std::string frameIndex::unreadable(const frameEntry& entry) {
    const spriteFrame& f = entry.frame;
    std::string problem = writtenText::word("bitmap", entry.bitmap);
    if (problem.empty() && entry.bitmap[0] == '#')
        problem = "bitmap \"" + entry.bitmap +
                  "\" starts with '#': the reader takes the line "
                  "for a comment";
    if (problem.empty())
        problem = writtenText::line(
            "the bitmap line", entry.bitmap + " " +
                                   text::withoutLineEnd(numberLine(
                                       {f.pause, entry.keyRed, entry.keyGreen, entry.keyBlue})));
    // The reader keeps values within their ranges; one outside would come
    // back changed.
    const int far = dataLimits::coordinate;
    const struct {
        const char* what;
        std::vector<int> values;
        int low, high;
    } ranges[] = {{"anchor value", {f.offsetX, f.offsetY}, -far, far},
                  {"collision box value", {f.colX1, f.colY1, f.colX2, f.colY2}, -far, far},
                  {"damage box value", {f.dmgX1, f.dmgY1, f.dmgX2, f.dmgY2}, -far, far},
                  {"damage", {f.damage}, 0, dataLimits::damageMost},
                  {"point A value", {f.pointAX, f.pointAY}, -far, far},
                  {"point B value", {f.pointBX, f.pointBY}, -far, far},
                  {"movement value", {f.moveX, f.moveY}, -far, far}};
    for (const auto& range : ranges)
        for (int value : range.values)
            if (problem.empty() && (value < range.low || value > range.high))
                problem = std::string(range.what) + " " + std::to_string(value) + " is outside " +
                          std::to_string(range.low) + " .. " + std::to_string(range.high);
    if (problem.empty()) problem = writtenText::word("sound name", f.soundName);
    for (size_t i = 0; i < f.partNames.size() && problem.empty(); ++i) {
        // A spawn line is kept with its line end; only the one at its end.
        std::string spawn = f.partNames[i];
        if (!spawn.empty() && spawn.back() == '\n') spawn.pop_back();
        const std::string what = "spawn line " + std::to_string(i + 1);
        if (spawn.find('\0') != std::string::npos)
            problem = what + " holds a NUL byte";
        else if (spawn.find('\n') != std::string::npos)
            problem = what + " \"" + spawn + "\" holds a line end";
        else if (spawn.size() >= textFile::maxLine)
            problem =
                what + " longer than " + std::to_string(textFile::maxLine - 1) + " characters";
    }
    if (problem.empty()) problem = writtenText::word("tag", f.tagName);
    return problem;
}

std::string frameIndex::entryText(const frameEntry& entry) {
    writtenText::refuse(unreadable(entry));
    const spriteFrame& f = entry.frame;
    std::string text =
        entry.bitmap + " " + numberLine({f.pause, entry.keyRed, entry.keyGreen, entry.keyBlue});
    text += numberLine({f.offsetX, f.offsetY});
    text += numberLine({f.colX1, f.colY1, f.colX2, f.colY2});
    text += numberLine({f.dmgX1, f.dmgY1, f.dmgX2, f.dmgY2});
    text += numberLine({f.damage});
    text += numberLine({f.flagA ? 1 : 0});
    text += numberLine({f.hitType});
    text += numberLine({f.pointAX, f.pointAY});
    text += numberLine({f.pointBX, f.pointBY});
    text += f.soundName + "\n";
    text += numberLine({static_cast<int>(f.partNames.size())});
    for (const std::string& spawn : f.partNames)
        text += !spawn.empty() && spawn.back() == '\n' ? spawn : spawn + "\n";
    text += numberLine({f.moveX, f.moveY});
    text += numberLine({f.flagB ? 1 : 0});
    text += f.tagName + "\n";
    return text;
}

std::string frameIndex::text(const std::vector<frameEntry>& entries) {
    std::string text = "FILES: " + std::to_string(entries.size()) + "\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        writtenText::refuse("frame", i + 1, unreadable(entries[i]));
        text += "\n" + entryText(entries[i]);
    }
    return text;
}

std::string frameEntry::imageKey() const {
    return bitmap + '\n' + conversion();
}

std::string frameEntry::conversion() const {
    // The key's components are reduced to 0..255 as the loader reduces them.
    auto component = [](int value) { return std::to_string(((value % 256) + 256) % 256); };
    return keyRed < 0 ? std::string("no key")
                      : component(keyRed) + " " + component(keyGreen) + " " + component(keyBlue);
}
