#include "sprite/frameIndex.h"

#include <initializer_list>

namespace {

// Read as many of the listed fields as the text supplies, in order; the
// others keep what they held.
void readInts(const std::string& text, std::initializer_list<int*> fields, size_t start = 0) {
    int values[8];
    int count = 0;
    for (int* field : fields)
        values[count++] = *field;
    int got = scanInts(text, values, count, start);
    int i = 0;
    for (int* field : fields) {
        if (i >= got) break;
        *field = values[i++];
    }
}

void readFlag(const std::string& text, bool& flag) {
    int value = 0;
    if (scanInts(text, &value, 1) == 1) flag = value > 0;
}

void readWord(const std::string& text, std::string& word) {
    std::string read = firstWord(text);
    if (!read.empty()) word = read;
}

bool isSkippedBetweenEntries(const std::string& line) {
    return line.empty() || line[0] == '#' || line[0] == '\r' || line[0] == '\n';
}

} // namespace

bool frameIndex::open(const std::string& folder) {
    path_ = folder + "/info";
    announced_ = 0;
    bitmap_.clear();
    key_[0] = -1;
    key_[1] = key_[2] = 0;
    if (!file_.open(path_)) return false;
    std::string line;
    file_.readLine(line);
    if (!scanHeader(line, "FILES:", announced_)) announced_ = 0;
    return true;
}

bool frameIndex::next(frameEntry& entry) {
    std::string line;
    // Comments and blank lines are allowed between entries only.
    bool started = false;
    while (!file_.atEnd() && file_.readLine(line)) {
        if (isSkippedBetweenEntries(line)) continue;
        started = true;
        break;
    }
    if (!started) return false;

    entry = frameEntry();
    spriteFrame& frame = entry.frame;
    std::string word = firstWord(line);
    if (!word.empty()) {
        bitmap_ = word;
        readInts(line, {&frame.pause, &key_[0], &key_[1], &key_[2]}, afterFirstWord(line));
    }
    entry.bitmap = bitmap_;
    entry.keyRed = key_[0];
    entry.keyGreen = key_[1];
    entry.keyBlue = key_[2];

    file_.readLine(line);
    readInts(line, {&frame.offsetX, &frame.offsetY});
    file_.readLine(line);
    readInts(line, {&frame.colX1, &frame.colY1, &frame.colX2, &frame.colY2});
    file_.readLine(line);
    readInts(line, {&frame.dmgX1, &frame.dmgY1, &frame.dmgX2, &frame.dmgY2});
    file_.readLine(line);
    readInts(line, {&frame.damage});
    file_.readLine(line);
    readFlag(line, frame.flagA);
    file_.readLine(line);
    readInts(line, {&frame.hitType});
    file_.readLine(line);
    readInts(line, {&frame.pointAX, &frame.pointAY});
    file_.readLine(line);
    readInts(line, {&frame.pointBX, &frame.pointBY});
    file_.readLine(line);
    readWord(line, frame.soundName);
    file_.readLine(line);
    readInts(line, {&frame.partNum});
    for (int part = 0; part < frame.partNum; ++part) {
        if (!file_.readLine(line)) break;
        frame.partNames.push_back(line);
    }
    frame.partNum = static_cast<int>(frame.partNames.size());
    file_.readLine(line);
    readInts(line, {&frame.moveX, &frame.moveY});
    file_.readLine(line);
    readFlag(line, frame.flagB);
    file_.readLine(line);
    readWord(line, frame.tagName);
    return true;
}
