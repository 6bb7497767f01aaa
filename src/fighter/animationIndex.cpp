#include "fighter/animationIndex.h"

bool animationIndex::open(const std::string& characterFolder) {
    announced_ = headerLine_ = 0;
    headerRead_ = false;
    names_.clear();
    if (!lines_.open(characterFolder + "/info")) return false;
    std::string line;
    lines_.readLine(line);
    headerLine_ = lines_.line();
    headerRead_ = scanHeader(line, "ANIMS:", announced_);
    if (!headerRead_) {
        announced_ = 0;
        lines_.error(headerLine_,
                     "first line must be \"ANIMS: <count>\"; the game loads no animations");
    }
    return true;
}

const std::vector<animationName>& animationIndex::readNames() {
    std::string line;
    for (int i = 0; i < announced_ && lines_.readLine(line); ++i) {
        animationName entry{firstWord(line), lines_.line()};
        if (entry.name.empty()) {
            lines_.error(entry.line, "expected an animation name, found an empty line; every line "
                                     "after the first counts as one of the " +
                                         std::to_string(announced_) + " animations");
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
    if (!headerRead_) return names_;
    if (static_cast<int>(names_.size()) < announced_)
        lines_.error(headerLine_, "\"ANIMS: " + std::to_string(announced_) + "\" announces " +
                                      std::to_string(announced_) +
                                      " animations but the file holds " +
                                      std::to_string(names_.size()));
    while (lines_.readLine(line)) {
        if (firstWord(line).empty()) continue;
        lines_.warning(lines_.line(),
                       "text after the " + std::to_string(announced_) + " animations is ignored");
        break;
    }
    return names_;
}

std::string animationIndex::text(const std::vector<animationName>& names) {
    std::string text = "ANIMS: " + std::to_string(names.size()) + "\n";
    for (const animationName& entry : names)
        text += entry.name + "\n";
    return text;
}
