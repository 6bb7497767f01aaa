#include "ai/attackFile.h"

#include "base/textFile.h"
#include "base/writtenText.h"

namespace {

// Words longer than this were never meant: names are short.
constexpr size_t maxWord = 79;

const char* const sectionNames[6] = {"ground", "second", "aerial", "fourth", "cancel", "link"};
const char* const fieldNames[4] = {"the move name", "the range", "the link key", "the cancel key"};

// The four lines of an entry, in order.
std::string attackEntry::*const fields[4] = {&attackEntry::moveName, &attackEntry::range,
                                             &attackEntry::linkFrom, &attackEntry::cancelFrom};

} // namespace

bool attackFile::open(const std::string& aiFolder) {
    section_ = 0;
    ended_ = false;
    return lines_.open(aiFolder + "/attack");
}

std::string attackFile::sectionName() const {
    const int index = section_ > 0 && section_ <= 6 ? section_ - 1 : 0;
    return "section " + std::to_string(section_) + " (" + sectionNames[index] + ")";
}

int attackFile::readCount() {
    ++section_;
    std::string line;
    if (!lines_.readLine(line)) {
        if (!ended_)
            lines_.error(lines_.line(),
                         "file cut short: " + sectionName() + " and those after it are missing");
        ended_ = true;
        return 0;
    }
    int count = 0;
    if (!text::scanHeader(line, "Attacks:", count)) {
        lines_.error(lines_.line(), "expected \"Attacks: <count>\" for " + sectionName() +
                                        ", found \"" + text::withoutLineEnd(line) +
                                        "\"; the game reads it as 0 entries");
        return 0;
    }
    if (count < 0)
        lines_.warning(lines_.line(), "negative count " + std::to_string(count) + ": " +
                                          sectionName() + " is empty");
    return count;
}

std::vector<attackEntry> attackFile::readEntries(int count) {
    std::vector<attackEntry> entries;
    if (count <= 0) return entries;
    // An entry always reads its four lines, also past the end of the file;
    // entries are added as they are read, so a count larger than the file
    // never allocates more than the file holds.
    for (int i = 0; i < count && !lines_.atEnd(); ++i) {
        attackEntry entry;
        entry.complete = true;
        for (int f = 0; f < 4; ++f) {
            std::string line;
            if (!lines_.readLine(line)) {
                if (!ended_)
                    lines_.error(lines_.line(), sectionName() + ", entry " + std::to_string(i + 1) +
                                                    ": entry cut short: the file ends where " +
                                                    fieldNames[f] + " belongs");
                ended_ = true;
                entry.complete = false;
                continue;
            }
            if (f == 0) entry.line = lines_.line();
            std::string& value = entry.*fields[f];
            value = text::firstWord(line);
            if (value.empty())
                lines_.error(lines_.line(),
                             std::string("expected ") + fieldNames[f] + ", found an empty line");
            else if (value.size() > maxWord)
                lines_.error(lines_.line(), std::string(fieldNames[f]) + " is longer than " +
                                                std::to_string(maxWord) + " characters");
        }
        entries.push_back(entry);
    }
    // The file ended with the last line of an entry, before the count was
    // reached.
    if (static_cast<int>(entries.size()) < count && !ended_) {
        lines_.error(lines_.line(),
                     sectionName() + ", entry " + std::to_string(entries.size() + 1) +
                         ": entry cut short: the file ends where " + fieldNames[0] + " belongs");
        ended_ = true;
    }
    return entries;
}

void attackFile::finish() {
    if (ended_) return;
    lines_.warnTextAfter("the six sections");
}

std::string attackFile::text(const attackSections& sections) {
    std::string text;
    for (size_t s = 0; s < sections.size(); ++s) {
        text += "Attacks: " + std::to_string(sections[s].size()) + "\n";
        for (size_t i = 0; i < sections[s].size(); ++i) {
            const attackEntry& entry = sections[s][i];
            const std::string problem = unreadable(entry);
            if (!problem.empty())
                writtenText::refuse("section " + std::to_string(s + 1) + " (" + sectionNames[s] +
                                    "), entry " + std::to_string(i + 1) + ": " + problem);
            text += entry.moveName + "\n" + entry.range + "\n" + entry.linkFrom + "\n" +
                    entry.cancelFrom + "\n";
        }
    }
    return text;
}

std::string attackFile::unreadable(const attackEntry& entry) {
    for (int f = 0; f < 4; ++f) {
        const std::string& value = entry.*fields[f];
        if (value.find('\0') != std::string::npos)
            return std::string(fieldNames[f]) + " holds a NUL byte";
        if (value.empty() || text::firstWord(value) != value)
            return std::string(fieldNames[f]) + " \"" + value + "\" is not one word";
        if (value.size() > maxWord)
            return std::string(fieldNames[f]) + " is longer than " + std::to_string(maxWord) +
                   " characters";
    }
    return "";
}
