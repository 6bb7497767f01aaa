#include "fighter/animationIndex.h"

#include "base/writtenText.h"

bool animationIndex::open(const std::string& characterFolder) {
    header_ = countHeader();
    names_.clear();
    if (!lines_.open(characterFolder + "/info")) return false;
    header_.read(lines_, "ANIMS:", "the game loads no animations");
    return true;
}

const std::vector<animationName>& animationIndex::readNames() {
    std::string line;
    for (int i = 0; i < announced() && lines_.readLine(line); ++i) {
        animationName entry{text::firstWord(line), lines_.line()};
        if (entry.name.empty()) {
            lines_.error(entry.line, "expected an animation name, found an empty line; every line "
                                     "after the first counts as one of the " +
                                         std::to_string(announced()) + " animations");
        } else {
            for (const animationName& earlier : names_) {
                if (earlier.name != entry.name) continue;
                lines_.warning(entry.line, "animation \"" + entry.name +
                                               "\" is listed twice (first at line " +
                                               std::to_string(earlier.line) +
                                               "); the game always finds the first");
                break;
            }
        }
        names_.push_back(entry);
    }
    if (!header_.wasRead()) return names_;
    if (static_cast<int>(names_.size()) < announced())
        header_.reportHeld(lines_, names_.size(), "animations");
    lines_.warnTextAfter("the " + std::to_string(announced()) + " animations");
    return names_;
}

std::string animationIndex::text(const std::vector<animationName>& names) {
    std::string text = "ANIMS: " + std::to_string(names.size()) + "\n";
    for (size_t i = 0; i < names.size(); ++i) {
        writtenText::refuse("animation", i + 1, unreadable(names[i]));
        text += names[i].name + "\n";
    }
    return text;
}

std::string animationIndex::unreadable(const animationName& entry) {
    return writtenText::word("name", entry.name);
}
