// The whole checker on a generated data folder: a copy of the shipped data
// whose text files are replaced by the input, cut at "\n====\n" into, in
// order, the move file, the animation index, the particle list, the spark's
// particle file, the punch's frame index, the common sound list and the
// attack file (a missing piece leaves the shipped file).  The checker reads
// them with its own readers and the game's loaders: whatever the data, it
// must end with a report, never a crash, a sanitizer report or an abort.
#include "dataChecker.h"
#include "diagnostics.h"
#include "fuzzSupport.h"
#include "testSupport.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const files[] = {"Tavro/moveset",           "Tavro/info",       "particle/default",
                             "particle/spark/particle", "Tavro/punch/info", "soundSet/sound",
                             "Tavro/ai/attack"};

std::vector<std::string> g_shipped; // each file's shipped text

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startInWorkDir();
    std::filesystem::copy(testing_support::sourceDir() + "/data", "data",
                          std::filesystem::copy_options::recursive);
    for (const char* file : files)
        g_shipped.push_back(readText(std::string("data/") + file));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string rest(reinterpret_cast<const char*>(data), size);
    bool more = true;
    for (size_t i = 0; i < g_shipped.size(); ++i) {
        std::string text = g_shipped[i];
        if (more) {
            const size_t cut = rest.find("\n====\n");
            text = rest.substr(0, cut);
            more = cut != std::string::npos;
            rest = more ? rest.substr(cut + 6) : "";
        }
        testing_support::writeFile(std::string("data/") + files[i], text);
    }
    diagnostics report;
    dataChecker checker(report);
    checker.run("data");
    return 0;
}
