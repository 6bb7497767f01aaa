#include "animationIndexChecker.h"

#include "base/platform.h"
#include "base/textFile.h"
#include "lineReader.h"

const animEntry* animationIndexChecker::find(const std::string& name) const {
    for (const animEntry& anim : anims_)
        if (anim.name == name) return &anim;
    return nullptr;
}

void animationIndexChecker::check(const std::string& characterFolder) {
    path_ = characterFolder + "/info";
    lineReader in(report_, path_);
    if (!in.open()) {
        report_.error(path_, 0,
                      "cannot open the animation index; the character has nothing to show");
        return;
    }
    std::string line;
    int count = 0;
    if (!in.next(line) || !scanHeader(line, "ANIMS:", count)) {
        report_.error(path_, in.line(),
                      "first line must be \"ANIMS: <count>\"; the game loads no animations");
        return;
    }
    headerLine_ = in.line();
    int read = 0;
    for (; read < count && in.next(line); ++read) {
        std::string name = firstWord(line);
        if (name.empty()) {
            report_.error(path_, in.line(),
                          "expected an animation name, found an empty line; every line after the "
                          "first counts as one of the " +
                              std::to_string(count) + " animations");
            continue;
        }
        if (const animEntry* earlier = find(name)) {
            report_.warning(path_, in.line(),
                            "animation \"" + name + "\" is listed twice (first at line " +
                                std::to_string(earlier->line) +
                                "); the game always finds the first");
        }
        animEntry anim;
        anim.name = name;
        anim.line = in.line();
        if (!platform::nameStaysInside(name)) {
            report_.error(path_, in.line(),
                          "animation \"" + name +
                              "\" leaves the character folder; the game never reads it and the "
                              "animation has no frames");
            anims_.push_back(anim);
            continue;
        }
        anim.frames = &frames_.check(characterFolder + "/" + name, path_, anim.line);
        anims_.push_back(anim);
    }
    if (read < count)
        report_.error(path_, headerLine_,
                      "\"ANIMS: " + std::to_string(count) + "\" announces " +
                          std::to_string(count) + " animations but the file holds " +
                          std::to_string(read));
    while (in.next(line)) {
        if (firstWord(line).empty()) continue;
        report_.warning(path_, in.line(),
                        "text after the " + std::to_string(count) + " animations is ignored");
        break;
    }
}
