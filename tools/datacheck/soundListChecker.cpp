#include "soundListChecker.h"

#include "base/dataLimits.h"
#include "sound/soundList.h"

namespace {
constexpr size_t maxName = 111;
constexpr size_t maxPath = 255;
} // namespace

const soundName* soundListChecker::find(const std::string& name) const {
    auto known = byName_.find(name);
    return known == byName_.end() ? nullptr : &names_[known->second];
}

void soundListChecker::check(const std::string& folder, bool character) {
    // The list is read by the game's own reader; its findings are printed.
    soundList list;
    const std::string path = folder + "/sound";
    report_.reading(path);
    if (!list.open(folder)) {
        report_.error(path, 0, "cannot open the sound list; the game loads none of its sounds");
        return;
    }
    const std::vector<listedSound>& listed = list.readNames();
    for (const finding& found : list.findings())
        report_.add(path, found.line, diagnostics::levelOf(found), found.message);
    size_t before = names_.size(); // names of earlier lists
    for (const listedSound& entry : listed)
        checkEntry(entry, folder, path, character, before);
}

void soundListChecker::checkEntry(const listedSound& entry, const std::string& folder,
                                  const std::string& path, bool character, size_t before) {
    const std::string& name = entry.name;
    if (name.empty()) return; // reported by the reader
    if (name.size() > maxName) {
        report_.error(path, entry.line,
                      "sound name longer than " + std::to_string(maxName) + " characters");
        return;
    }
    if (diagnostics::hasControlBytes(name)) report_.controlBytes(path, entry.line, "sound", name);
    if (!dataLimits::nameStaysInside(name)) {
        report_.error(path, entry.line,
                      "sound \"" + name +
                          "\" leaves the sound folder; the game never reads it and the sound "
                          "plays nothing");
        byName_.emplace(name, names_.size());
        names_.push_back({name, path, entry.line});
        return;
    }
    std::string wav = folder + "/" + name + ".wav";
    if (wav.size() > maxPath) {
        report_.error(path, entry.line,
                      "path " + wav + " longer than " + std::to_string(maxPath) + " characters");
        return;
    }
    const soundName* earlier = find(name);
    if (earlier && character && static_cast<size_t>(earlier - names_.data()) < before) {
        report_.warning(path, entry.line,
                        "sound \"" + name + "\" is already in the list " + earlier->list + ":" +
                            std::to_string(earlier->line) + "; " + wav +
                            " is never loaded and the earlier one plays");
        return;
    }
    if (earlier) {
        report_.warning(path, entry.line,
                        "sound \"" + name + "\" is listed twice (first at line " +
                            std::to_string(earlier->line) + "); the game always plays the first");
        return;
    }
    byName_.emplace(name, names_.size());
    names_.push_back({name, path, entry.line});
    std::string problem;
    names_.back().loads = wavs_.check(wav, problem);
    if (!names_.back().loads)
        report_.error(path, entry.line,
                      "sound " + wav + ": " + problem + "; \"" + name + "\" plays nothing");
}
