// Every input of the loader fuzzers' corpora, put where the game reads that
// kind of file in a copy of the shipped data, beside the small files the
// fuzz target gives it.
#include "dataFolder.h"
#include "dataSets.h"
#include "testSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using testing_support::dataSet;
using testing_support::writeFile;

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The input cut at the first "\n====\n" (the fuzzers' separator).
std::pair<std::string, std::string> halves(const std::string& text) {
    const std::string separator = "\n====\n";
    size_t at = text.find(separator);
    if (at == std::string::npos) return {text, ""};
    return {text.substr(0, at), text.substr(at + separator.size())};
}

// Puts one fuzz input of the given target into the data folder.
void place(const std::string& target, const std::string& input, const std::string& data) {
    if (target == "frameIndex") {
        writeFile(data + "/Tavro/walk/info", input);
        testing_support::writeBmp(data + "/Tavro/walk/a.bmp", 4, 4, 0xFF8020);
    } else if (target == "animationIndex") {
        testing_support::writeOneFrameFolder(data + "/Tavro/a");
        writeFile(data + "/Tavro/info", input);
    } else if (target == "moveset") {
        testing_support::writeOneFrameFolder(data + "/Tavro/a");
        writeFile(data + "/Tavro/moveset", input);
    } else if (target == "particle") {
        auto [list, particle] = halves(input);
        testing_support::writeOneFrameFolder(data + "/particle/p");
        writeFile(data + "/particle/default", list);
        writeFile(data + "/particle/p/particle", particle);
    } else if (target == "soundList") {
        auto [first, second] = halves(input);
        writeFile(data + "/soundSet/a.wav", testing_support::wavBytes());
        writeFile(data + "/Tavro/sound/a.wav", testing_support::wavBytes());
        writeFile(data + "/soundSet/sound", first);
        writeFile(data + "/Tavro/sound/sound", second);
    } else if (target == "attackFile") {
        writeFile(data + "/Tavro/ai/attack", input);
    } else if (target == "bitmap") {
        writeFile(data + "/Tavro/walk/info", testing_support::oneFrameIndex());
        writeFile(data + "/Tavro/walk/a.bmp", input);
    }
}

std::string nameOf(const std::string& text) {
    std::string name;
    for (char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<dataSet> corpusSets() {
    namespace fs = std::filesystem;
    std::vector<dataSet> sets;
    const std::string root = testing_support::sourceDir();
    std::error_code ignored;
    for (const auto& folder : fs::directory_iterator(root + "/tools/fuzz/corpus", ignored)) {
        const std::string target = folder.path().filename().string();
        if (target == "command") continue; // key presses, not a data file
        for (const auto& file : fs::directory_iterator(folder.path(), ignored)) {
            const std::string path = file.path().string();
            sets.push_back(
                {"corpus_" + target + "_" + nameOf(file.path().filename().string()),
                 [target, path](const std::string& data) { place(target, contents(path), data); }});
        }
    }
    // The regression corpus: every finding the fuzzers made, named by kind.
    for (const auto& file : fs::directory_iterator(root + "/tests/fuzz_corpus", ignored)) {
        const std::string name = file.path().filename().string();
        const std::string target = name.compare(0, 6, "bitmap") == 0         ? "bitmap"
                                   : name.compare(0, 11, "frame-index") == 0 ? "frameIndex"
                                                                             : "";
        if (target.empty()) continue;
        const std::string path = file.path().string();
        sets.push_back({"regression_" + nameOf(name), [target, path](const std::string& data) {
                            place(target, contents(path), data);
                        }});
    }
    return sets;
}

const testing_support::dataSetList corpora(corpusSets());

} // namespace
