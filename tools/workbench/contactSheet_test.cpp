// The contact sheet and the scene of the shipped data, drawn headless: every
// frame set a row, every frame the game's own drawing with the workbench's
// boxes over it (small frames enlarged block for block), and the scene's
// fighters and bars where the game puts them.
#include "characterSnapshot.h"
#include "contactSheet.h"
#include "workbench.h"

#include "dataFolder.h"
#include "particle/particleListFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace testing_support;

namespace {

class ContactSheet : public ::testing::Test {
  protected:
    ContactSheet() : snapshot(characterSnapshot::load(data)) {}

    // What the game draws at (x, y) of the frame, over the cell colour.
    Uint32 gameDraws(const spriteFrame& f, int x, int y) {
        return drawnPixel(screen.surface(), f.image, contactSheet::cellColour, x, y);
    }

    HeadlessScreen screen;
    TraceCapture quiet;
    std::string data = sourceDir() + "/data";
    std::unique_ptr<characterSnapshot> snapshot;
};

// The frame sets in the order of the sheet's rows.
std::vector<const CSpriteBase*> frameSets(characterSnapshot& snapshot) {
    std::vector<const CSpriteBase*> sets;
    for (const animation& anim : snapshot.anims.animList)
        sets.push_back(&anim.frameSet);
    for (const moveInfo& move : snapshot.moves.moves)
        sets.push_back(&move.frameSet);
    return sets;
}

} // namespace

TEST_F(ContactSheet, EveryFrameIsTheGamesDrawingWithItsBoxesAndAnchor) {
    std::vector<std::vector<contactSheet::cell>> cells;
    SDL_Surface* sheet = contactSheet::sheet(*snapshot, data, &cells);
    ASSERT_NE(sheet, nullptr);
    particleListFile particles;
    ASSERT_TRUE(particles.open(data + "/particle/", "default"));
    const std::vector<const CSpriteBase*> sets = frameSets(*snapshot);
    // The animations, the moves, the particles and the bar.
    ASSERT_EQ(cells.size(), sets.size() + particles.readEntries().size() + 1);
    int hurting = 0;
    for (size_t r = 0; r < sets.size(); ++r) {
        ASSERT_EQ(cells[r].size(), sets[r]->frames.size()) << "row " << r;
        for (size_t i = 0; i < cells[r].size(); ++i) {
            const spriteFrame& f = sets[r]->frames[i];
            const contactSheet::cell& at = cells[r][i];
            SCOPED_TRACE("row " + std::to_string(r) + " frame " + std::to_string(i));
            EXPECT_EQ(at.zoom, 1) << "a fighter's frame is shown as large as it is";
            const int midY = (f.colY1 + f.colY2) / 2, midX = (f.colX1 + f.colX2) / 2;
            EXPECT_EQ(rgbAt(sheet, at.x + f.colX1, at.y + midY), workbench::bodyColour);
            EXPECT_EQ(rgbAt(sheet, at.x + midX, at.y + f.colY1), workbench::bodyColour);
            EXPECT_EQ(rgbAt(sheet, at.x + f.offsetX, at.y + f.offsetY), workbench::anchorColour);
            EXPECT_EQ(rgbAt(sheet, at.x + midX + 1, at.y + midY + 1),
                      gameDraws(f, midX + 1, midY + 1));
            if (f.damage > 0) {
                ++hurting;
                EXPECT_EQ(rgbAt(sheet, at.x + f.dmgX2, at.y + (f.dmgY1 + f.dmgY2) / 2),
                          workbench::damageColour);
            }
        }
    }
    EXPECT_GT(hurting, 0) << "the moves' blows show their damage boxes";
    SDL_FreeSurface(sheet);
}

TEST_F(ContactSheet, SmallFramesAreEnlargedPixelForPixel) {
    std::vector<std::vector<contactSheet::cell>> cells;
    SDL_Surface* sheet = contactSheet::sheet(*snapshot, data, &cells);
    ASSERT_NE(sheet, nullptr);
    // The fireball's row among the particles' rows, which follow the list:
    // its frames are small, and shown three times as large.
    particleListFile particles;
    ASSERT_TRUE(particles.open(data + "/particle/", "default"));
    size_t row = frameSets(*snapshot).size();
    for (const listedParticle& listed : particles.readEntries()) {
        if (listed.name == "fireball") break;
        ++row;
    }
    const contactSheet::cell at = cells.at(row).at(0);
    ASSERT_EQ(at.zoom, 3);
    const auto fireball = snapshot->particles.find("fireball");
    ASSERT_NE(fireball, snapshot->particles.end());
    const spriteFrame& f = fireball->second->frames.at(0);
    int compared = 0;
    for (int y = 0; y < f.image->h; ++y)
        for (int x = 0; x < f.image->w; ++x) {
            // The boxes, the anchor and the floor line run along the blocks'
            // first row and column; the middle of a block is the frame's pixel.
            if (y == f.offsetY) continue;
            ASSERT_EQ(rgbAt(sheet, at.x + 3 * x + 1, at.y + 3 * y + 1), gameDraws(f, x, y))
                << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 100);
    SDL_FreeSurface(sheet);
}

TEST_F(ContactSheet, TheSceneShowsTheStageWithBothFightersAndBothBars) {
    SDL_Surface* scene = contactSheet::scene(*snapshot, data);
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->w, 800);
    ASSERT_EQ(scene->h, 600);
    ASSERT_NE(snapshot->stage, nullptr);
    // The sky above the fighters is the stage's.
    EXPECT_EQ(rgbAt(scene, 120, 200), rgbAt(snapshot->stage, 120, 200));
    // Both fighters stand on the ground line: the art differs from the
    // stage around each anchor.
    for (int anchorX : {230, 560}) {
        int changed = 0;
        for (int y = 400; y < 530; ++y)
            for (int x = anchorX - 40; x < anchorX + 40; ++x)
                changed += rgbAt(scene, x, y) != rgbAt(snapshot->stage, x, y);
        EXPECT_GT(changed, 1000) << "the fighter at " << anchorX;
    }
    // Player 1's bar is four fifths full, the opponent's full: the same fill
    // colour, and black where player 1 lost hit points.
    const Uint32 fill = rgbAt(scene, 25, 25);
    EXPECT_NE(fill, rgbAt(snapshot->stage, 25, 25));
    EXPECT_EQ(rgbAt(scene, 410 + 355, 25), fill);
    EXPECT_EQ(rgbAt(scene, 10 + 10 + 355, 25), 0x000000u);
    SDL_FreeSurface(scene);
}

TEST(ContactSheetProgram, WritesTheBitmapOrSaysWhyNot) {
    TempDir dir;
    TraceCapture quiet;
    std::ostringstream err;
    ASSERT_EQ(contactSheet::save(sourceDir() + "/data", dir / "scene.bmp", true, err), 0)
        << err.str();
    SDL_Surface* written = SDL_LoadBMP((dir / "scene.bmp").c_str());
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->w, 800);
    EXPECT_EQ(written->h, 600);
    SDL_FreeSurface(written);

    // A folder without a character: nothing is written, and the reason given.
    EXPECT_EQ(contactSheet::save(dir / "empty", dir / "sheet.bmp", false, err), 1);
    EXPECT_NE(err.str().find("cannot load the character"), std::string::npos) << err.str();
    EXPECT_EQ(SDL_LoadBMP((dir / "sheet.bmp").c_str()), nullptr);
}

TEST(ContactSheetProgram, RefusesASheetWiderThanASurfaceCanBe) {
    TempDir dir;
    TraceCapture quiet;
    // Tiny frames each take the narrowest cell, 150 pixels and a gap of 6:
    // 104 of them fit in 16383 pixels, 106 do not.
    FrameDescription tiny;
    tiny.w = tiny.h = 4;
    tiny.offX = tiny.offY = 2;
    tiny.col[0] = tiny.col[1] = 0;
    tiny.col[2] = tiny.col[3] = 3;
    std::ostringstream err;
    writeAnimations(dir, "wide/Tavro", {{"standing", std::vector<FrameDescription>(106, tiny)}});
    EXPECT_EQ(contactSheet::save(dir / "wide", dir / "wide.bmp", false, err), 1);
    EXPECT_NE(err.str().find("larger than a surface can be"), std::string::npos) << err.str();
    EXPECT_EQ(SDL_LoadBMP((dir / "wide.bmp").c_str()), nullptr);

    writeAnimations(dir, "fits/Tavro", {{"standing", std::vector<FrameDescription>(104, tiny)}});
    ASSERT_EQ(contactSheet::save(dir / "fits", dir / "fits.bmp", false, err), 0) << err.str();
    SDL_Surface* written = SDL_LoadBMP((dir / "fits.bmp").c_str());
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->w, 6 + 104 * 156);
    SDL_FreeSurface(written);
}
