#include "particle/particleFile.h"

#include "base/writtenText.h"

const char* particleFile::eventName(int event) {
    static const char* const names[eventKinds] = {"OnDeath", "OnHitPlayer", "OnHitEnemy",
                                                  "OnHitTarget", "OnHitAlly"};
    return event >= 0 && event < eventKinds ? names[event] : "";
}

bool particleFile::open(const std::string& folder) {
    for (int i = 0; i < 5; ++i)
        valueLines_[i] = 0;
    for (int event = 0; event < eventKinds; ++event) {
        countLines_[event] = 0;
        entryLines_[event].clear();
    }
    return lines_.open(folder + "/particle");
}

bool particleFile::number(int& value, const std::string& what) {
    std::string line;
    if (!lines_.readLine(line)) {
        lines_.error(lines_.line(), "file cut short: the file ends where " + what + " belongs");
        return false;
    }
    if (text::scanInts(line, &value, 1) < 1)
        lines_.error(lines_.line(),
                     "expected " + what + ", found \"" + text::withoutLineEnd(line) + "\"");
    return true;
}

void particleFile::read(particleRecord& record) {
    static const char* const what[5] = {
        "the alpha value (a number)", "the lifetime in milliseconds (a number)",
        "the gravity flag (a number)", "a flag (a number)", "a flag (a number)"};
    int* values[5] = {&record.alpha, &record.lifetime, &record.gravity, &record.flagA,
                      &record.flagB};
    for (int i = 0; i < 5; ++i) {
        if (!number(*values[i], what[i])) return;
        valueLines_[i] = lines_.line();
    }
    std::string line;
    for (int event = 0; event < eventKinds; ++event) {
        int count = 0;
        if (!number(count, std::string("the number of \"") + eventName(event) + "\" entries"))
            return;
        countLines_[event] = lines_.line();
        std::vector<std::string>& entries = record.events[event];
        entries.clear();
        for (int i = 0; i < count; ++i) {
            if (!lines_.readLine(line)) {
                lines_.error(lines_.line(), std::string("file cut short: the \"") +
                                                eventName(event) + "\" list announces " +
                                                std::to_string(count) + " entries");
                return;
            }
            entries.push_back(text::withoutLineEnd(line));
            entryLines_[event].push_back(lines_.line());
        }
    }
}

void particleFile::finish() {
    lines_.warnTextAfter("the five event lists");
}

std::string particleFile::unreadable(const particleRecord& record) {
    for (int event = 0; event < eventKinds; ++event) {
        const std::vector<std::string>& entries = record.events[event];
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string problem = writtenText::line(
                std::string(eventName(event)) + " entry " + std::to_string(i + 1), entries[i]);
            if (!problem.empty()) return problem;
        }
    }
    return "";
}

std::string particleFile::write(const particleRecord& record) {
    writtenText::refuse(unreadable(record));
    std::string text;
    for (int value : {record.alpha, record.lifetime, record.gravity, record.flagA, record.flagB})
        text += std::to_string(value) + "\n";
    for (const std::vector<std::string>& entries : record.events) {
        text += std::to_string(entries.size()) + "\n";
        for (const std::string& entry : entries)
            text += entry + "\n";
    }
    return text;
}
