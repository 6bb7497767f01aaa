// The workbench's live reload against the checker run on its own: an author
// edits the data into and out of the hostile corpus's states (frames near
// and past their memory budget, one bitmap named hundreds of times, 2000
// moves on one folder, a second move on a link to a folder or on a copy of
// it, a bitmap that cannot be decoded) while the workbench
// watches, and after every reload its verdict must be, line for line, what
// the datacheck program says about the same files in a fresh process.
#include "hostileCases.h"
#include "workbench.h"

#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Every regular file under the folder, with its bytes.
std::map<std::string, std::string> filesUnder(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) files[e.path().string()] = readFile(e.path());
    return files;
}

// What the datacheck program prints about the folder, run on its own.
std::string checkerAlone(const std::string& folder) {
    std::string output;
    FILE* run = popen(("'" DATACHECK_PROGRAM "' '" + folder + "' 2>/dev/null").c_str(), "r");
    if (!run) return "(datacheck did not start)";
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, run)) > 0;)
        output.append(chunk, n);
    pclose(run);
    return output;
}

std::string printed(const dataReport& report) {
    std::ostringstream out;
    report.print(out);
    return out.str();
}

class LiveReload : public ::testing::Test {
  protected:
    LiveReload() : data(sourceDir(), dir.path()) { shipped = filesUnder(folder); }

    // Puts the data in the state of the hostile case (the shipped data for
    // "", two cases at once for "a+b"): files the state does not have are removed and the shipped
    // ones written back first.  Every file that differs from the state before gets a modification
    // time the watcher cannot miss.
    void becomes(const std::string& caseName) {
        const std::map<std::string, std::string> before = filesUnder(folder);
        for (const auto& [path, bytes] : before)
            if (!shipped.count(path)) fs::remove(path);
        for (const auto& [path, bytes] : shipped) {
            auto now = before.find(path);
            if (now == before.end() || now->second != bytes) std::ofstream(path) << bytes;
        }
        // "a+b": both cases' damage.
        for (size_t at = 0; at < caseName.size();) {
            size_t plus = caseName.find('+', at);
            if (plus == std::string::npos) plus = caseName.size();
            hostile::named(caseName.substr(at, plus - at)).damage(data);
            at = plus + 1;
        }
        ++edits;
        const auto stamp = fs::file_time_type::clock::now() + std::chrono::seconds(10 * edits);
        for (const auto& [path, bytes] : filesUnder(folder)) {
            auto was = before.find(path);
            if (was == before.end() || was->second != bytes) fs::last_write_time(path, stamp);
        }
    }

    TempDir dir;
    hostile::dataCopy data;
    std::string folder = dir / "data";
    std::map<std::string, std::string> shipped;
    int edits = 0;
    HeadlessScreen screen;
    ManualClock clock{1000};
    TraceCapture quiet;
    std::ostringstream terminal;
};

} // namespace

TEST_F(LiveReload, EveryReloadGivesTheVerdictOfTheCheckerRunOnItsOwn) {
    // The character shown holds frames near their memory budget: what it
    // holds must count neither against the checker's own run of the game's
    // loaders nor against the next load.
    becomes("frames-near-budget");
    workbench bench(folder, screen.surface(), terminal);
    bench.start("punch");
    ASSERT_TRUE(bench.loaded());
    EXPECT_EQ(printed(bench.lastReport()), checkerAlone(folder)) << "at the start";

    // Each state, and whether the workbench shows it or keeps the last one
    // the game could play.
    const char* const reloaded = "reloaded";
    const char* const kept = "kept the last good state";
    const std::pair<const char*, const char*> edits[] = {
        {"frames-near-budget+particle-never-ends", reloaded},
        {"frames-past-budget", kept},
        {"frames-one-bitmap-many-entries", reloaded},
        {"bitmap-garbage", kept},
        {"", reloaded},
        {"moves-2000-share-a-folder", reloaded},
        {"frames-near-budget-copied-folder", kept},
        {"frames-near-budget-linked-folder", reloaded},
        {"", reloaded}};
    for (const auto& [state, outcome] : edits) {
        becomes(state);
        terminal.str("");
        bench.checkForChanges();
        ASSERT_TRUE(bench.runPass());
        EXPECT_EQ(printed(bench.lastReport()), checkerAlone(folder))
            << "after the edit into \"" << state << "\"; the workbench said:\n"
            << terminal.str();
        EXPECT_EQ(bench.status().rfind(outcome, 0), 0u)
            << "after the edit into \"" << state << "\": " << bench.status();
    }
    EXPECT_TRUE(bench.loaded());
    EXPECT_EQ(bench.entryName(), "punch");
}
