// The corner rule's warning: a damage box that lies across the opponent's
// body like a plus sign overlaps it, yet the game's corner test misses it.
#include "cornerRule.h"
#include "dataChecker.h"

#include "testSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

// A standing body, facing right: 20 pixels behind the anchor to 25 in
// front, 190 tall.
const colBox body{-20, -190, 25, 0};

TEST(CornerRule, OverlapWithoutASharedCornerIsAPlus) {
    const colBox tall{0, 0, 10, 100};
    const colBox wide{-20, 40, 30, 60};
    EXPECT_TRUE(cornerRule::overlaps(tall, wide));
    EXPECT_TRUE(cornerRule::crossesLikePlus(tall, wide));
    EXPECT_TRUE(cornerRule::crossesLikePlus(wide, tall)) << "either way round";
    const colBox corner{5, 90, 40, 120}; // its top-left corner lies in `tall`
    EXPECT_FALSE(cornerRule::crossesLikePlus(tall, corner));
    const colBox apart{20, 0, 30, 100};
    EXPECT_FALSE(cornerRule::overlaps(tall, apart));
    EXPECT_FALSE(cornerRule::crossesLikePlus(tall, apart));
    const colBox touching{10, 100, 20, 110}; // edges belong to the box
    EXPECT_TRUE(cornerRule::overlaps(tall, touching));
    EXPECT_FALSE(cornerRule::crossesLikePlus(tall, touching));
}

TEST(CornerRule, ABoxWiderThanTheBodyCrossesItWithinReach) {
    cornerRule::frameBoxes kick;
    kick.body = body;
    // 60 pixels wide at hip height, the body only 45: at some distance the
    // box spans the whole body and no corner is inside.
    kick.damage = {40, -110, 100, -80};
    const int d = cornerRule::plusDistance(kick, body);
    ASSERT_GE(d, 0);
    // Facing left at d, the opponent's body runs from d - 25 to d + 20.
    EXPECT_LE(kick.damage.left, d - 25);
    EXPECT_GE(kick.damage.right, d + 20);

    kick.damage = {60, -110, 100, -80}; // 40 wide: a corner always lands inside
    EXPECT_EQ(cornerRule::plusDistance(kick, body), -1);
    kick.damage = {40, -260, 60, 40}; // taller than the body and narrower
    EXPECT_GE(cornerRule::plusDistance(kick, body), 0);
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// The shipped data is silent; widening the kick's damage box on its second
// frame brings the warning, on that frame's line, and says why.
TEST(CornerRule, TheCheckerWarnsAboutAWidenedKick) {
    TempDir dir;
    fs::copy(testing_support::sourceDir() + "/data", dir / "data", fs::copy_options::recursive);
    {
        diagnostics report;
        dataChecker(report).run(dir / "data");
        EXPECT_EQ(report.text().find("plus sign"), std::string::npos) << report.text();
    }
    const fs::path info = dir / "data/Tavro/kick/info";
    std::string text = readText(info);
    // Each entry: bitmap line, anchor, collision box, damage box.
    const size_t entry = text.find("f01.bmp");
    ASSERT_NE(entry, std::string::npos);
    size_t damageLine = entry;
    for (int i = 0; i < 3; ++i)
        damageLine = text.find('\n', damageLine) + 1;
    const size_t end = text.find('\n', damageLine);
    text.replace(damageLine, end - damageLine, "150 130 240 160");
    std::ofstream(info, std::ios::binary) << text;
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + entry, '\n'));

    diagnostics report;
    dataChecker(report).run(dir / "data");
    const std::string where = (dir / "data/Tavro/kick/info") + ":" + std::to_string(line) +
                              ": warning: move \"kick\", frame f01.bmp: at ";
    const std::string found = report.text();
    EXPECT_NE(found.find(where), std::string::npos) << found;
    EXPECT_NE(found.find("no corner of either lies inside the other"), std::string::npos);
}

} // namespace
