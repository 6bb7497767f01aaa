#include "animationIndexChecker.h"

#include "base/dataLimits.h"

#include "fighter/animationIndex.h"

const animEntry* animationIndexChecker::find(const std::string& name) const {
    auto known = byName_.find(name);
    return known == byName_.end() ? nullptr : &anims_[known->second];
}

void animationIndexChecker::check(const std::string& characterFolder) {
    // The index is read by the game's own reader; its findings are printed.
    animationIndex index;
    path_ = characterFolder + "/info";
    report_.reading(path_);
    if (!index.open(characterFolder)) {
        report_.error(path_, 0, "cannot open the animation index; the game stops with exit code 1");
        return;
    }
    const std::vector<animationName>& names = index.readNames();
    if (index.headerRead()) headerLine_ = index.headerLine();
    for (const finding& found : index.findings())
        report_.add(path_, found.line, diagnostics::levelOf(found), found.message);
    // With no line after the first the game has no animation to show.
    if (names.empty())
        report_.error(path_, index.headerLine(), "no animations; the game stops with exit code 1");
    for (const animationName& name : names) {
        if (name.name.empty()) continue;
        animEntry anim;
        anim.name = name.name;
        anim.line = name.line;
        if (diagnostics::hasControlBytes(name.name))
            report_.controlBytes(path_, anim.line, "animation", name.name);
        if (!dataLimits::nameStaysInside(name.name)) {
            report_.error(path_, anim.line,
                          "animation \"" + name.name +
                              "\" leaves the character folder; the game never reads it and the "
                              "animation has no frames");
            byName_.emplace(anim.name, anims_.size());
            anims_.push_back(anim);
            continue;
        }
        anim.frames = &frames_.check(characterFolder + "/" + name.name, path_, anim.line);
        byName_.emplace(anim.name, anims_.size());
        anims_.push_back(anim);
    }
}
