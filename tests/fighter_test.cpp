#include "characterFolder.h"
#include "fighter/animationSet.h"
#include "fighter/fighter.h"
#include "fighter/moveSet.h"
#include "fighter/target.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testing_support;

namespace {

FrameDescription frameOf(Uint32 colour, int offX, int offY, int h = 60) {
    FrameDescription f;
    f.colour = colour;
    f.offX = offX;
    f.offY = offY;
    f.h = f.col[3] = h;
    return f;
}

std::vector<Uint32> pixelsOf(SDL_Surface* s) {
    std::vector<Uint32> out;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        const Uint32* row =
            reinterpret_cast<const Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        out.insert(out.end(), row, row + s->w);
    }
    SDL_UnlockSurface(s);
    return out;
}

std::vector<int> edges(const colBox& b) {
    return {b.left, b.top, b.right, b.bottom};
}

// A small character: "walk" changes its anchor from frame to frame, the blank
// frame has magenta as its transparent colour; three moves.
class FighterTest : public ::testing::Test {
  protected:
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    ManualClock clock{1000};
    animationSet anims;
    moveSet moves;
    Fighter fighter;

    void SetUp() override {
        FrameDescription blank = frameOf(0xFFFFFF, 20, 60);
        blank.key = "255 0 255";
        FrameDescription strike = frameOf(0x00FFFF, 20, 60);
        strike.damage = 5;
        strike.dmg[0] = 10, strike.dmg[1] = 50, strike.dmg[2] = 30, strike.dmg[3] = 70;
        FrameDescription lift = frameOf(0x808080, 20, 60);
        lift.moveX = 3, lift.moveY = 5;
        writeAnimations(dir, "char",
                        {{"blank", {blank}},
                         {"walk", {frameOf(0xFF0000, 10, 60), frameOf(0x0000FF, 30, 50)}},
                         {"inAir", {frameOf(0x00FF00, 20, 60)}},
                         {"duck", {frameOf(0xFFFF00, 20, 40, 40)}},
                         {"running", {frameOf(0x00FF00, 20, 60)}},
                         {"strike", {strike}}});
        writeFrameFolder(dir, "char/punch", {frameOf(0x800000, 20, 60), frameOf(0x008000, 25, 60)});
        writeFrameFolder(dir, "char/uppercut", {lift});
        writeFrameFolder(dir, "char/blockLo", {frameOf(0x000080, 20, 60)});
        dir.write("char/moveset", "ANIMS: 3\n" + moveRecord("punch", "A") +
                                      moveRecord("uppercut", "DRA") + moveRecord("blockLo", "B"));
        anims.loadAll((dir / "char").c_str());
        moves.loadAll((dir / "char").c_str());
        ASSERT_EQ(moves.count, 3);
        fighter.initS(&anims, screen.surface());
        fighter.speed = 1.0f;
        fighter.lastTick = static_cast<int>(clock.now());
        punch = &moves.moves[0];
    }

    moveInfo* punch = nullptr;

    void land() {
        fighter.yPos = 700;
        fighter.Gravity();
        ASSERT_TRUE(fighter.onGround);
    }
};

} // namespace

TEST_F(FighterTest, FallsWithGrowingSpeedAndLandsOnTheGroundLine) {
    EXPECT_EQ(fighter.actionName, "walk");
    fighter.changeAnim("inAir");
    fighter.xPos = 50;
    fighter.yPos = 300;
    for (int speed = 0; speed < 22; ++speed) {
        int before = fighter.yPos;
        fighter.Gravity();
        ASSERT_EQ(fighter.yPos - before, speed);
    }
    // At 531 the fighter is only one pixel below the line: still falling.
    EXPECT_EQ(fighter.yPos, 531);
    EXPECT_FALSE(fighter.onGround);
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 530);
    EXPECT_TRUE(fighter.onGround);
    EXPECT_EQ(fighter.jumpsLeft, 2);
    EXPECT_EQ(fighter.actionName, "walk");
    EXPECT_EQ(fighter.xPos, 50);

    // Standing fighters do not fall, even above the line; pushed below it
    // they are put back and keep their animation.
    fighter.yPos = 500;
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 500);
    fighter.changeAnim("duck");
    fighter.jumpsLeft = 1;
    fighter.yPos = 540;
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 530);
    EXPECT_EQ(fighter.actionName, "duck");
    EXPECT_EQ(fighter.jumpsLeft, 2);

    // A lifting frame moves the fighter forward and up, and nothing else
    // happens in that update; afterwards it falls from speed 4.
    fighter.xPos = 100;
    fighter.changeAction(&moves.returnMove("uppercut"));
    fighter.setDir(true);
    fighter.Gravity();
    fighter.setDir(false);
    fighter.Gravity();
    EXPECT_EQ(fighter.xPos, 100);
    EXPECT_EQ(fighter.yPos, 520);
    EXPECT_FALSE(fighter.onGround);
    fighter.changeAnim("inAir");
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 516);
}

TEST_F(FighterTest, JumpBudget) {
    // Before the first landing nothing may start.
    fighter.Jump(16);
    trace.clear();
    fighter.changeAction(punch);
    EXPECT_EQ(fighter.jumpVel, 0);
    EXPECT_FALSE(fighter.returnBusy());
    EXPECT_EQ(trace.text(), "Last state was: walk\n");

    land();
    fighter.Jump(16);
    EXPECT_EQ(fighter.jumpVel, 16);
    EXPECT_EQ(fighter.actionName, "inAir");
    fighter.Jump(16); // the air jump is 2 weaker
    EXPECT_EQ(fighter.jumpVel, 14);
    fighter.Jump(16);
    fighter.changeAction(punch);
    EXPECT_EQ(fighter.jumpVel, 14);
    EXPECT_FALSE(fighter.returnBusy());

    // A move started in the air costs a jump.
    land();
    fighter.Jump(16);
    trace.clear();
    fighter.changeAction(punch);
    EXPECT_EQ(fighter.jumpsLeft, 0);
    EXPECT_EQ(fighter.returnMoveName(), "punch");
    EXPECT_EQ(trace.text(), "Last state was: inAir\nChange Action: punch\n");
    fighter.Jump(16);
    EXPECT_EQ(fighter.actionName, "punch");

    // On the ground a move is free; any animation change ends it.
    land();
    fighter.frame = 1;
    fighter.changeAction(punch);
    EXPECT_EQ(fighter.jumpsLeft, 2);
    EXPECT_EQ(fighter.frame, 0);
    EXPECT_EQ(fighter.base, &punch->frameSet);
    fighter.changeAnim("walk");
    EXPECT_EQ(fighter.returnMoveName(), "NULL");
}

TEST_F(FighterTest, HitPointsStageEdgesAndActions) {
    fighter.setHP(1000, 1000);
    fighter.changeHP(-1500);
    EXPECT_EQ(fighter.hp, 0);
    fighter.setHP(980, 1000);
    fighter.changeHP(50);
    EXPECT_EQ(fighter.hp, 1000);

    for (auto [x, expected] :
         std::vector<std::pair<int, int>>{{1, 2}, {-50, 2}, {400, 400}, {798, 798}, {799, 798}}) {
        fighter.xPos = x;
        fighter.boundary();
        EXPECT_EQ(fighter.xPos, expected) << x;
    }

    for (const char* pose : {"hit1", "blockHi", "blockLo", "blockAir"}) {
        fighter.changeAnim(pose);
        EXPECT_FALSE(fighter.returnHitable()) << pose;
    }
    fighter.changeAnim("blockLow");
    EXPECT_TRUE(fighter.returnHitable());
    EXPECT_EQ(fighter.base, &anims.animList[0].frameSet); // unknown: the first animation

    fighter.setRunning();
    fighter.duck();
    EXPECT_EQ(fighter.actionName, "running");
    fighter.changeAnim("walk");
    fighter.duck();
    EXPECT_EQ(fighter.actionName, "duck");
    // The same animation again starts over.
    fighter.frame = 1;
    fighter.changeAnim("duck");
    EXPECT_EQ(fighter.frame, 0);
}

TEST(FighterBoxes, MirroredBoxesAndTheOpponentsView) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    FrameDescription wide;
    wide.w = 100, wide.h = 50, wide.offX = 30, wide.offY = 50;
    wide.col[0] = 10, wide.col[1] = 5, wide.col[2] = 40, wide.col[3] = 50;
    wide.dmg[0] = 50, wide.dmg[1] = 10, wide.dmg[2] = 90, wide.dmg[3] = 20;
    writeAnimations(dir, "char", {{"blank", {wide}}, {"walk", {wide}}});
    animationSet anims;
    anims.loadAll((dir / "char").c_str());
    Fighter fighter;
    fighter.initS(&anims, screen.surface());
    fighter.xPos = 400;
    fighter.yPos = 530;

    fighter.setDir(true);
    EXPECT_EQ(edges(fighter.getCBox()), (std::vector<int>{380, 485, 410, 530}));
    EXPECT_EQ(edges(fighter.getDBox()), (std::vector<int>{420, 490, 460, 500}));
    // Facing left: x values mirrored about the anchor, y values unchanged.
    fighter.setDir(false);
    EXPECT_EQ(edges(fighter.getCBox()), (std::vector<int>{390, 485, 420, 530}));
    EXPECT_EQ(edges(fighter.getDBox()), (std::vector<int>{340, 490, 380, 500}));

    Target nobody, opponent;
    EXPECT_EQ(nobody.retX(), 0);
    EXPECT_EQ(nobody.retY(), 0);
    EXPECT_EQ(edges(nobody.getColBox(true)), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(edges(nobody.getDmgBox()), (std::vector<int>{0, 0, 0, 0}));
    opponent.setTarget(&fighter);
    fighter.xPos = 420;
    EXPECT_EQ(opponent.retX(), 420);
    EXPECT_EQ(opponent.retY(), 530);
    EXPECT_EQ(opponent.getColBox(true).left, 410);
    EXPECT_EQ(opponent.getDmgBox().left, 360);
}

TEST_F(FighterTest, MoveEndsWhenItsLastFrameRunsOut) {
    land();
    fighter.changeAction(punch);
    trace.clear();
    for (Uint32 t : {1000u, 1010u, 1011u}) {
        clock.set(t);
        fighter.stepFrame();
    }
    EXPECT_EQ(fighter.frame, 1);
    EXPECT_TRUE(fighter.returnBusy());
    clock.set(1022);
    fighter.stepFrame();
    EXPECT_EQ(fighter.frame, 0);
    EXPECT_FALSE(fighter.returnBusy());
    // The move's frames stay on show and loop without ending again.
    EXPECT_EQ(fighter.base, &punch->frameSet);
    for (Uint32 t = 1033; t < 1100; t += 11) {
        clock.set(t);
        fighter.stepFrame();
    }
    EXPECT_EQ(trace.text(), "punch ended\n");

    // Stepped, saved, then drawn, as a pass does it: one frame step per pass,
    // none in drawing.
    fighter.changeAction(&moves.returnMove("blockLo")); // one frame
    clock.advance(11);
    fighter.stepFrame();
    fighter.updateBG();
    EXPECT_FALSE(fighter.returnBusy());
    fighter.changeAnim("walk");
    fighter.lastTick = static_cast<int>(clock.now());
    clock.advance(11);
    fighter.stepFrame();
    fighter.updateBG();
    clock.advance(50);
    fighter.draw();
    EXPECT_EQ(fighter.frame, 1);
}

TEST_F(FighterTest, MissingDataNeverBreaksTheFighter) {
    // A move set without moves hands out an empty move that can be performed.
    moveSet none;
    none.loadAll((dir / "nowhere").c_str());
    moveInfo& hit = none.returnMove("hit1");
    land();
    fighter.xPos = 300;
    fighter.changeAction(&hit);
    EXPECT_TRUE(fighter.returnBusy());
    EXPECT_EQ(edges(fighter.getCBox()), (std::vector<int>{300, 530, 300, 530}));
    EXPECT_EQ(edges(fighter.getDBox()), (std::vector<int>{300, 530, 300, 530}));
    fighter.Gravity();
    fighter.drawColBoxes();
    fighter.stepFrame();
    fighter.updateBG();
    fighter.draw();
    fighter.clearBG();
    EXPECT_FALSE(fighter.returnBusy());

    // No character folder at all, or an animation whose folder is missing.
    animationSet empty, half;
    empty.loadAll((dir / "gone").c_str());
    dir.write("half/info", "ANIMS: 2\nblank\nwalk\n");
    writeFrameFolder(dir, "half/blank", {frameOf(0xFFFFFF, 20, 60)});
    half.loadAll((dir / "half").c_str());
    Fighter lost, partial, bare;
    lost.initS(&empty, screen.surface());
    partial.initS(&half, screen.surface());
    bare.initS(nullptr, screen.surface());
    EXPECT_EQ(lost.backSave, nullptr);
    for (Fighter* f : {&lost, &partial, &bare}) {
        f->yPos = 600;
        f->Gravity();
        f->Jump(16);
        f->changeAction(&hit);
        f->clearBG();
        f->stepFrame();
        f->updateBG();
        f->draw();
        f->drawColBoxes();
        f->clearBG();
        EXPECT_EQ(f->getCBox().left, f->xPos);
    }
}

TEST_F(FighterTest, RestoresExactlyTheSavedBackground) {
    SDL_Surface* s = screen.surface();
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x] =
                SDL_MapRGB(s->format, x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF);
    SDL_UnlockSurface(s);
    // Magenta, the blank frame's transparent colour, must come back too.
    SDL_Rect patch{180, 250, 60, 60};
    SDL_FillRect(s, &patch, SDL_MapRGB(s->format, 255, 0, 255));
    const std::vector<Uint32> background = pixelsOf(s);

    fighter.xPos = 200;
    fighter.yPos = 300;
    fighter.setDir(true);
    fighter.updateBG();
    fighter.draw();
    EXPECT_EQ(rgbAt(s, 195, 280), 0xFF0000u);
    fighter.changeAnim("duck"); // another anchor before the restore
    fighter.clearBG();
    EXPECT_EQ(pixelsOf(s), background);

    // Whole passes with frames whose anchors differ, both facings, at the
    // screen edges too: each leaves the background as it was.
    struct Place {
        int x, y;
        bool right;
    };
    fighter.changeAnim("walk");
    bool sawSecondFrame = false;
    for (Place p : {Place{200, 300, true}, Place{200, 300, false}, Place{5, 300, false},
                    Place{795, 590, true}, Place{400, 20, true}}) {
        fighter.xPos = p.x, fighter.yPos = p.y;
        fighter.setDir(p.right);
        for (int i = 0; i < 4; ++i) {
            clock.advance(11);
            fighter.stepFrame();
            fighter.clearBG();
            fighter.updateBG();
            fighter.draw();
            if (fighter.frame == 1 && p.x == 200 && p.right) {
                EXPECT_EQ(rgbAt(s, 171, 251), 0x0000FFu); // anchor (30, 50)
                sawSecondFrame = true;
            }
            fighter.clearBG();
            ASSERT_EQ(pixelsOf(s), background) << p.x << "," << p.y << " pass " << i;
        }
    }
    EXPECT_TRUE(sawSecondFrame);
}

TEST_F(FighterTest, BackgroundSaveIsMadeOnceAndReused) {
    SDL_Surface* save = fighter.backSave;
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->w, 40);
    EXPECT_EQ(save->h, 60);
    land();
    for (int i = 0; i < 500; ++i) {
        fighter.changeAnim(i % 2 ? "walk" : "duck");
        fighter.changeAction(&moves.moves[i % 3]);
    }
    EXPECT_EQ(fighter.backSave, save);
}

TEST_F(FighterTest, DebugBoxesInTheirColoursAndOrder) {
    SDL_Surface* s = screen.surface();
    SDL_FillRect(s, nullptr, 0);
    fighter.xPos = 400;
    fighter.yPos = 530;
    fighter.setDir(true);
    fighter.changeAnim("inAir"); // anchor (20, 60), body 5..35 x 0..60, no damage
    fighter.drawColBoxes();
    EXPECT_EQ(rgbAt(s, 385, 470), 0xFFCC00u);
    EXPECT_EQ(rgbAt(s, 414, 529), 0xFFCC00u);
    EXPECT_EQ(rgbAt(s, 415, 500), 0u);
    // The anchor, 4 x 2 at (x - 2, y - 2), goes over the body box.
    EXPECT_EQ(rgbAt(s, 398, 528), 0x0000CCu);
    EXPECT_EQ(rgbAt(s, 401, 529), 0x0000CCu);
    EXPECT_EQ(rgbAt(s, 402, 529), 0xFFCC00u);
    EXPECT_EQ(rgbAt(s, 400, 530), 0u);

    // A hitting frame adds its damage box last, over the anchor.
    fighter.changeAnim("strike"); // damage box 10..30 x 50..70
    fighter.drawColBoxes();
    EXPECT_EQ(rgbAt(s, 398, 528), 0xFF0000u);
    EXPECT_EQ(rgbAt(s, 390, 539), 0xFF0000u);
    EXPECT_EQ(rgbAt(s, 390, 540), 0u);

    // Boxes far off the screen are not drawn (nor wrapped around).
    SDL_FillRect(s, nullptr, 0);
    fighter.xPos = 40000, fighter.yPos = -40000;
    fighter.drawColBoxes();
    for (Uint32 p : pixelsOf(s))
        ASSERT_EQ(p, 0u);
}
