#include "soundListChecker.h"

#include "base/platform.h"
#include "base/textFile.h"
#include "lineReader.h"

namespace {
constexpr size_t maxName = 111;
constexpr size_t maxPath = 255;
} // namespace

const soundName* soundListChecker::find(const std::string& name) const {
    for (const soundName& known : names_)
        if (known.name == name) return &known;
    return nullptr;
}

void soundListChecker::check(const std::string& folder, bool character) {
    std::string path = folder + "/sound";
    lineReader in(report_, path);
    if (!in.open()) {
        report_.error(path, 0, "cannot open the sound list; the game loads none of its sounds");
        return;
    }
    std::string line;
    int count = 0;
    if (!in.next(line) || !scanHeader(line, "SOUNDS:", count)) {
        report_.error(path, in.line(),
                      "first line must be \"SOUNDS: <count>\"; the game loads no sounds from it");
        return;
    }
    int headerLine = in.line();
    if (count < 0) {
        report_.error(path, headerLine, "negative sound count " + std::to_string(count));
        return;
    }
    size_t before = names_.size(); // names of earlier lists
    int read = 0;
    for (; read < count && in.next(line); ++read) {
        std::string name = firstWord(line);
        if (name.empty()) {
            report_.error(path, in.line(), "expected a sound name, found an empty line");
            continue;
        }
        if (name.size() > maxName) {
            report_.error(path, in.line(),
                          "sound name longer than " + std::to_string(maxName) + " characters");
            continue;
        }
        if (!platform::nameStaysInside(name)) {
            report_.error(path, in.line(),
                          "sound \"" + name +
                              "\" leaves the sound folder; the game never reads it and the sound "
                              "plays nothing");
            names_.push_back({name, path, in.line()});
            continue;
        }
        std::string wav = folder + "/" + name + ".wav";
        if (wav.size() > maxPath) {
            report_.error(path, in.line(),
                          "path " + wav + " longer than " + std::to_string(maxPath) +
                              " characters");
            continue;
        }
        const soundName* earlier = nullptr;
        for (size_t i = 0; i < names_.size(); ++i)
            if (names_[i].name == name) {
                earlier = &names_[i];
                break;
            }
        if (earlier && character && static_cast<size_t>(earlier - names_.data()) < before) {
            report_.warning(path, in.line(),
                            "sound \"" + name + "\" is already in the list " + earlier->list + ":" +
                                std::to_string(earlier->line) + "; " + wav +
                                " is never loaded and the earlier one plays");
            continue;
        }
        if (earlier) {
            report_.warning(path, in.line(),
                            "sound \"" + name + "\" is listed twice (first at line " +
                                std::to_string(earlier->line) +
                                "); the game always plays the first");
            continue;
        }
        names_.push_back({name, path, in.line()});
        std::string problem;
        names_.back().loads = wavs_.check(wav, problem);
        if (!names_.back().loads)
            report_.error(path, in.line(),
                          "sound " + wav + ": " + problem + "; \"" + name + "\" plays nothing");
    }
    if (read < count)
        report_.error(path, headerLine,
                      "\"SOUNDS: " + std::to_string(count) + "\" announces " +
                          std::to_string(count) + " sounds but the file holds " +
                          std::to_string(read));
    while (in.next(line)) {
        if (firstWord(line).empty()) continue;
        report_.warning(path, in.line(),
                        "text after the " + std::to_string(count) + " sounds is ignored");
        break;
    }
}
