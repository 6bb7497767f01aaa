#include "movesetChecker.h"

#include "base/dataLimits.h"

const moveRecord* movesetChecker::find(const std::string& name) const {
    auto known = byName_.find(name);
    return known == byName_.end() ? nullptr : &moves_[known->second];
}

void movesetChecker::check(const std::string& characterFolder) {
    // The file is read by the game's own reader; its findings are printed.
    moveFile file;
    path_ = characterFolder + "/moveset";
    report_.reading(path_);
    if (!file.open(characterFolder)) {
        report_.error(path_, 0, "cannot open the move file; the character has no moves");
        return;
    }
    if (file.headerRead()) headerLine_ = file.headerLine();
    for (int i = 0; i < file.announced(); ++i) {
        moveRecord move;
        if (!file.next(move)) break;
        moves_.push_back(move);
    }
    file.finish();
    for (const finding& found : file.findings())
        report_.add(path_, found.line, diagnostics::levelOf(found), found.message);
    for (size_t i = 0; i < moves_.size(); ++i)
        byName_.emplace(moves_[i].name, i);

    for (size_t i = 0; i < moves_.size(); ++i) {
        moveRecord& move = moves_[i];
        if (move.name.empty()) continue;
        if (diagnostics::hasControlBytes(move.name))
            report_.controlBytes(path_, move.line, "move", move.name);
        if (!dataLimits::nameStaysInside(move.name))
            report_.error(path_, move.line,
                          "move " + std::to_string(i + 1) + " \"" + move.name +
                              "\": the name leaves the character folder; the game never reads "
                              "its frames and the move has none");
        else
            move.frames = &frames_.check(characterFolder + "/" + move.name, path_, move.line);
    }
}
