#include "sound/soundList.h"

#include "base/writtenText.h"

bool soundList::open(const std::string& folder) {
    announced_ = headerLine_ = 0;
    headerRead_ = false;
    names_.clear();
    if (!lines_.open(folder + "/sound")) return false;
    std::string line;
    if (lines_.readLine(line)) headerRead_ = scanHeader(line, "SOUNDS:", announced_);
    headerLine_ = lines_.line();
    if (!headerRead_) {
        announced_ = 0;
        lines_.error(headerLine_,
                     "first line must be \"SOUNDS: <count>\"; the game loads no sounds from it");
    } else if (announced_ < 0) {
        lines_.error(headerLine_, "negative sound count " + std::to_string(announced_));
    }
    return true;
}

const std::vector<listedSound>& soundList::readNames() {
    std::string line;
    for (int i = 0; i < announced_ && lines_.readLine(line); ++i) {
        names_.push_back({firstWord(line), lines_.line()});
        if (names_.back().name.empty())
            lines_.error(lines_.line(), "expected a sound name, found an empty line");
    }
    if (!headerRead_ || announced_ < 0) return names_;
    if (static_cast<int>(names_.size()) < announced_)
        lines_.error(headerLine_, "\"SOUNDS: " + std::to_string(announced_) + "\" announces " +
                                      std::to_string(announced_) + " sounds but the file holds " +
                                      std::to_string(names_.size()));
    while (lines_.readLine(line)) {
        if (firstWord(line).empty()) continue;
        lines_.warning(lines_.line(),
                       "text after the " + std::to_string(announced_) + " sounds is ignored");
        break;
    }
    return names_;
}

std::string soundList::text(const std::vector<listedSound>& names) {
    std::string text = "SOUNDS: " + std::to_string(names.size()) + "\n";
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string problem = unreadable(names[i]);
        if (!problem.empty())
            writtenText::refuse("sound " + std::to_string(i + 1) + ": " + problem);
        text += names[i].name + "\n";
    }
    return text;
}

std::string soundList::unreadable(const listedSound& entry) {
    return writtenText::word("name", entry.name);
}
