// The checker and the game must agree on every data set: when the game's
// start-up stops on the data, the checker says so; when the checker says
// the game stops, it does.  The data sets are the fuzz corpora placed in the
// shipped data, the broken data sets listed under datasets/ and the
// hostile corpus.  The move file and the attack table are also read alike,
// value by value.
#include "base/seams.h"
#include "dataChecker.h"
#include "dataSets.h"
#include "diagnostics.h"
#include "hostileCases.h"
#include "replayRunner.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <sstream>

namespace {

using testing_support::dataSet;

// True when a finding says the game stops on the data: the checker's own
// "...; the game stops with exit code 1", or a game loader's reason.
bool saysTheGameStops(const diagnostic& finding) {
    const std::string own = "; the game stops with exit code 1";
    const std::string& m = finding.message;
    return finding.level == severity::error &&
           (m.compare(0, 16, "the game stops: ") == 0 ||
            (m.size() >= own.size() && m.compare(m.size() - own.size(), own.size(), own) == 0));
}

// True when the game's loader read a move record or an attack entry other
// than the checker did (the checker loads both again to compare).
bool readsOtherwise(const diagnostic& finding) {
    auto endsWith = [](const std::string& text, const std::string& end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    return (endsWith(finding.file, "/moveset") || endsWith(finding.file, "/ai/attack")) &&
           finding.message.compare(0, 11, "the game's ") == 0;
}

// Starts the game on root/data, runs the checker on it, and expects both to
// tell the same story.
void expectAgreement(const std::string& root) {
    // The game's start-up, from the folder above the data.
    std::string here = testing_support::sourceDir();
    ASSERT_EQ(chdir(root.c_str()), 0);
    bool stopped = false;
    std::string reason;
    {
        testing_support::CatchFatalStops catchStops;
        replayScript script;
        try {
            replayRunner game(script);
        } catch (const testing_support::FatalStop& stop) {
            stopped = true;
            reason = stop.message;
        }
    }
    seams::setTraceStream(nullptr);
    seams::setErrorStream(nullptr);
    ASSERT_EQ(chdir(here.c_str()), 0);

    // The checker, on the same SDL the game started.
    diagnostics report;
    dataChecker checker(report);
    checker.run(root + "/data");
    bool predicted = false;
    for (const diagnostic& finding : report.all())
        predicted = predicted || saysTheGameStops(finding);

    for (const diagnostic& finding : report.all())
        EXPECT_FALSE(readsOtherwise(finding)) << diagnostics::format(finding);

    if (stopped)
        EXPECT_TRUE(predicted) << "the game stops (\"" << reason << "\"), the checker says:\n"
                               << report.text();
    else
        EXPECT_FALSE(predicted) << "the game starts, the checker says it stops:\n" << report.text();

    // Past the frames' memory budget both name the same bitmap of the same
    // set, with the same bytes in use: images shared between sets count
    // once in both.
    const size_t bitmap = reason.find(", bitmap data/");
    if (reason.find("their memory budget") != std::string::npos && bitmap != std::string::npos) {
        std::string where = reason.substr(bitmap + 9);
        while (!where.empty() && where.back() == '\n')
            where.pop_back();
        EXPECT_NE(report.text().find("bitmap " + root + "/" + where), std::string::npos)
            << "the game stops at \"" << where << "\", the checker says:\n"
            << report.text();
    }
}

class CheckerAndGame : public testing::TestWithParam<dataSet> {};

TEST_P(CheckerAndGame, AgreeWhetherTheGameStops) {
    testing_support::TempDir dir;
    testing_support::makeDataSet(GetParam(), dir / "data");
    expectAgreement(dir.path());
}

class CheckerAndGameOnHostileData : public testing::TestWithParam<size_t> {};

TEST_P(CheckerAndGameOnHostileData, AgreeWhetherTheGameStops) {
    testing_support::TempDir dir;
    hostile::dataCopy data(testing_support::sourceDir(), dir.path());
    hostile::cases()[GetParam()].damage(data);
    expectAgreement(dir.path());
}

INSTANTIATE_TEST_SUITE_P(Hostile, CheckerAndGameOnHostileData,
                         testing::Range<size_t>(0, hostile::cases().size()),
                         [](const testing::TestParamInfo<size_t>& info) {
                             std::string name = hostile::cases()[info.param].name;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

INSTANTIATE_TEST_SUITE_P(DataSets, CheckerAndGame,
                         testing::ValuesIn(testing_support::dataSetList::all()),
                         [](const testing::TestParamInfo<dataSet>& info) {
                             return info.param.name;
                         });

} // namespace
