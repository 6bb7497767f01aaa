#include "sound/soundList.h"

#include "base/writtenText.h"

bool soundList::open(const std::string& folder) {
    header_ = countHeader();
    names_.clear();
    if (!lines_.open(folder + "/sound")) return false;
    header_.read(lines_, "SOUNDS:", "the game loads no sounds from it");
    if (announced() < 0)
        lines_.error(header_.line(), "negative sound count " + std::to_string(announced()));
    return true;
}

const std::vector<listedSound>& soundList::readNames() {
    std::string line;
    for (int i = 0; i < announced() && lines_.readLine(line); ++i) {
        names_.push_back({text::firstWord(line), lines_.line()});
        if (names_.back().name.empty())
            lines_.error(lines_.line(), "expected a sound name, found an empty line");
    }
    if (!header_.wasRead() || announced() < 0) return names_;
    if (static_cast<int>(names_.size()) < announced())
        header_.reportHeld(lines_, names_.size(), "sounds");
    lines_.warnTextAfter("the " + std::to_string(announced()) + " sounds");
    return names_;
}

std::string soundList::text(const std::vector<listedSound>& names) {
    std::string text = "SOUNDS: " + std::to_string(names.size()) + "\n";
    for (size_t i = 0; i < names.size(); ++i) {
        writtenText::refuse("sound", i + 1, unreadable(names[i]));
        text += names[i].name + "\n";
    }
    return text;
}

std::string soundList::unreadable(const listedSound& entry) {
    return writtenText::word("name", entry.name);
}
