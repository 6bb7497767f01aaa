// The hostile corpus played through: for each broken data set, the game
// either keeps running (thousands of passes, fireballs thrown, no sanitizer
// report) or stops with exit code 1 after naming the file, and the checker
// reports it.
#include "hostileCases.h"

#include "base/escapedText.h"
#include "base/seams.h"
#include "dataChecker.h"
#include "diagnostics.h"
#include "particle/particleList.h"
#include "replayRunner.h"
#include "sprite/CSpriteBase.h"
#include "testSupport.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

using hostile::outcome;
using testing_support::TempDir;

namespace {

// Player 1 throws a fireball, kicks and punches every second, for eight
// seconds of game time, while the opponent plays.
replayScript busyGame() {
    replayScript script;
    script.seed = 7;
    script.stepMs = 5;
    script.endTick = 8000;
    for (Uint32 t = 200; t < 8000; t += 1000) {
        for (auto [at, key] : {std::pair<Uint32, SDLKey>{0, SDLK_DOWN},
                               {40, SDLK_RIGHT},
                               {80, SDLK_z},
                               {500, SDLK_x},
                               {800, SDLK_z}})
            script.tap(t + at, key, 30);
    }
    return script;
}

// The text as a POSIX extended regular expression that matches it literally.
std::string literally(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) out += '\\';
        out += c;
    }
    return out;
}

std::string checkerReport() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    testing_support::HeadlessScreen screen;
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    const bool audio = Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) == 0;
    diagnostics report;
    dataChecker checker(report);
    checker.run("data");
    if (audio) Mix_CloseAudio();
    return report.text();
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool addressSanitizer = true;
#else
constexpr bool addressSanitizer = false;
#endif
#else
constexpr bool addressSanitizer = false;
#endif

// While alive, the process may map at most what it maps now plus the
// frames' memory budget and 100 MB: a game that decoded past its budget, or
// held what it decoded twice, ends in an allocation failure instead of the
// expected stop.  Without effect under AddressSanitizer.
class memoryLimit {
  public:
    memoryLimit() {
        if (addressSanitizer || getrlimit(RLIMIT_AS, &before_) != 0) return;
        std::ifstream status("/proc/self/status");
        long long mappedKb = -1;
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0) mappedKb = std::atoll(line.c_str() + 7);
        if (mappedKb <= 0) return;
        rlimit limit = before_;
        limit.rlim_cur =
            static_cast<rlim_t>(mappedKb * 1024 + CSpriteBase::decodedBudget + 100ll * 1024 * 1024);
        if (before_.rlim_max != RLIM_INFINITY && limit.rlim_cur > before_.rlim_max) return;
        set_ = setrlimit(RLIMIT_AS, &limit) == 0;
    }
    ~memoryLimit() {
        if (set_) setrlimit(RLIMIT_AS, &before_);
    }
    memoryLimit(const memoryLimit&) = delete;
    memoryLimit& operator=(const memoryLimit&) = delete;

  private:
    rlimit before_{};
    bool set_ = false;
};

// What the checker says about the shipped data, undamaged: the cases that
// expect nothing new compare with it.
std::string shippedReport;

class HostileCorpus : public ::testing::TestWithParam<size_t> {
  protected:
    TempDir dir;
    std::string previous;
    void SetUp() override {
        char here[4096];
        previous = getcwd(here, sizeof here) ? here : "";
        const hostile::hostileCase& c = hostile::cases()[GetParam()];
        hostile::dataCopy data(testing_support::sourceDir(), dir.path());
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        if (shippedReport.empty()) shippedReport = checkerReport();
        c.damage(data);
        if (c.deepDirectory) goDeep();
    }
    void TearDown() override {
        if (!previous.empty()) {
            ASSERT_EQ(chdir(previous.c_str()), 0);
        }
        // rm walks a tree deeper than a path may name; the scratch folder's
        // own clean-up may not.
        if (std::system(("rm -rf '" + dir.path() + "/deep'").c_str()) != 0) ADD_FAILURE();
    }
    // Folders of 200-character names, one in the other, past 4096 bytes of
    // path: made and entered one step at a time, data/ moved to the bottom.
    void goDeep() {
        const std::string name(200, 'd');
        ASSERT_EQ(mkdir("deep", 0700), 0);
        ASSERT_EQ(chdir("deep"), 0);
        for (int level = 0; level < 22; ++level) {
            ASSERT_EQ(mkdir(name.c_str(), 0700), 0);
            ASSERT_EQ(chdir(name.c_str()), 0);
        }
        ASSERT_EQ(rename((dir.path() + "/data").c_str(), "data"), 0);
        char here[4096];
        ASSERT_EQ(getcwd(here, sizeof here), nullptr) << "the path is still short enough to read";
    }
};

} // namespace

TEST_P(HostileCorpus, GameAndCheckerDealWithIt) {
    const hostile::hostileCase& c = hostile::cases()[GetParam()];
    const std::string report = checkerReport();
    if (*c.checkerSays) {
        EXPECT_NE(report.find(c.checkerSays), std::string::npos)
            << "the checker should say: " << c.checkerSays << "\nit said:\n"
            << report;
    } else {
        EXPECT_EQ(report, shippedReport) << "nothing beyond its findings on the shipped data";
    }

    const replayScript script = busyGame();
    if (c.game == outcome::runs) {
        std::ostringstream trace;
        {
            std::unique_ptr<memoryLimit> limit;
            if (c.memoryLimit) limit = std::make_unique<memoryLimit>();
            replayRunner game(script, &trace);
            game.run();
            EXPECT_FALSE(game.ended());
            EXPECT_GE(game.passes(), 1500);
            EXPECT_LE(pList.size(), particleList::maxParticles);
            EXPECT_GE(vikings1.hp, 0);
            EXPECT_GE(fighter2.hp, 0);
        }
        EXPECT_NE(trace.str().find(c.gameSays), std::string::npos)
            << "the trace should hold: " << c.gameSays;
        // Whatever the names hold, the trace's only control byte is the
        // line end.
        const std::string text = trace.str();
        EXPECT_TRUE(std::none_of(text.begin(), text.end(), [](char ch) {
            return ch != '\n' && escapedText::isControl(static_cast<unsigned char>(ch));
        })) << "a control byte reached the trace raw";
    } else {
        EXPECT_EXIT(
            {
                std::unique_ptr<memoryLimit> limit;
                if (c.memoryLimit) limit = std::make_unique<memoryLimit>();
                replayRunner game(script, &std::cerr);
                game.run();
            },
            testing::ExitedWithCode(1), literally(c.gameSays));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileCorpus, ::testing::Range<size_t>(0, hostile::cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string name = hostile::cases()[info.param].name;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

// 30,000 definitions, each spawning the next: the checker's loop search
// keeps its own stack and its look-ups are hashed, so it neither overflows
// the stack nor takes quadratic time; the game loads them all and plays.
TEST(HostileChain, ThirtyThousandDefinitionsEachSpawningTheNext) {
    char pattern[] = "/dev/shm/fighter-chain-XXXXXX";
    char fallback[] = "/tmp/fighter-chain-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) made = mkdtemp(fallback);
    ASSERT_NE(made, nullptr);
    const std::string root = made;
    char here[4096];
    const std::string previous = getcwd(here, sizeof here) ? here : "";
    {
        hostile::dataCopy data(testing_support::sourceDir(), root);
        hostile::longSpawnChain(data, 30000);
    }
    ASSERT_EQ(chdir(root.c_str()), 0);
    const std::string report = checkerReport();
    EXPECT_NE(report.find("data/particle/default:30005: error: cannot open frame index "
                          "data/particle/c29999/info"),
              std::string::npos);
    EXPECT_EQ(report.find("spawn loop"), std::string::npos) << "a chain is no loop";
    std::ostringstream trace;
    {
        const replayScript script = busyGame();
        replayRunner game(script, &trace);
        game.run();
        EXPECT_FALSE(game.ended());
        EXPECT_LE(pList.size(), particleList::maxParticles);
    }
    EXPECT_NE(trace.str().find("ERROR opening file data/particle/c29999/info"), std::string::npos);
    if (!previous.empty()) {
        EXPECT_EQ(chdir(previous.c_str()), 0);
    }
    EXPECT_EQ(std::system(("rm -rf '" + root + "'").c_str()), 0);
}

TEST(HostileCorpusList, HoldsSixtyCasesWithUniqueNames) {
    std::set<std::string> names;
    for (const hostile::hostileCase& c : hostile::cases()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
    }
    EXPECT_GE(names.size(), 60u);
}
