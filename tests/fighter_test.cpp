#include "animationSet.h"
#include "characterFolder.h"
#include "fighter.h"
#include "moveSet.h"
#include "target.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testing_support;

namespace {

FrameSpec frameOf(Uint32 colour, int offX, int offY, int w = 40, int h = 60) {
    FrameSpec f;
    f.colour = colour;
    f.offX = offX;
    f.offY = offY;
    f.w = w;
    f.h = h;
    f.col[0] = 5;
    f.col[1] = 0;
    f.col[2] = 35;
    f.col[3] = h;
    return f;
}

// Every pixel of a 32-bit surface, row by row.
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

// A background in which every pixel differs from its neighbours, so that a
// restore one pixel off shows.
void paintPattern(SDL_Surface* s) {
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; ++x)
            row[x] = SDL_MapRGB(s->format, x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF);
    }
    SDL_UnlockSurface(s);
}

// A small character: animations with anchors that change from frame to
// frame, and three moves.
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
        FrameSpec blank = frameOf(0xFFFFFF, 20, 60);
        blank.keyRed = 255; // magenta is transparent in the blank frame
        blank.keyBlue = 255;
        FrameSpec strike = frameOf(0x00FFFF, 20, 60);
        strike.damage = 5;
        strike.dmg[0] = 10;
        strike.dmg[1] = 50;
        strike.dmg[2] = 30;
        strike.dmg[3] = 70; // reaches below the anchor, over it
        writeAnimations(dir, "char",
                        {{"blank", {blank}},
                         {"walk", {frameOf(0xFF0000, 10, 60), frameOf(0x0000FF, 30, 50)}},
                         {"inAir", {frameOf(0x00FF00, 20, 60)}},
                         {"duck", {frameOf(0xFFFF00, 20, 40, 40, 40)}},
                         {"running", {frameOf(0x00FF00, 20, 60)}},
                         {"strike", {strike}}});
        FrameSpec lift = frameOf(0x808080, 20, 60);
        lift.moveX = 3;
        lift.moveY = 5;
        writeFrameFolder(dir, "char/punch", {frameOf(0x800000, 20, 60), frameOf(0x008000, 25, 60)});
        writeFrameFolder(dir, "char/uppercut", {lift});
        writeFrameFolder(dir, "char/blockLo", {frameOf(0x000080, 20, 60)});
        std::vector<MoveRecord> records(3);
        records[0].name = "punch";
        records[1].name = "uppercut";
        records[1].command = "DRA";
        records[2].name = "blockLo";
        records[2].command = "B";
        dir.write("char/moveset", moveFile(records));
        anims.loadAll((dir / "char").c_str());
        moves.loadAll((dir / "char").c_str());
        ASSERT_EQ(anims.animCount, 6);
        ASSERT_EQ(moves.count, 3);
        fighter.initS(&anims, screen.surface());
        fighter.speed = 1.0f;
        fighter.lastTick = static_cast<int>(clock.now());
    }

    moveInfo* move(const char* name) { return &moves.returnMove(name); }

    // Drop the fighter onto the ground line from wherever it is.
    void land() {
        fighter.yPos = 600;
        fighter.Gravity();
        ASSERT_TRUE(fighter.onGround);
    }

    // One pass of the scene for this fighter, as the loop draws it.
    void pass() {
        fighter.clearBG();
        fighter.updateBG();
        fighter.draw();
        fighter.clearBG();
    }
};

} // namespace

TEST_F(FighterTest, FallsWithGrowingSpeedAndLandsOnTheGroundLine) {
    EXPECT_EQ(fighter.actionName, "walk");
    EXPECT_EQ(fighter.jumpsLeft, 0);
    EXPECT_FALSE(fighter.onGround);
    fighter.changeAnim("inAir");
    fighter.xPos = 50;
    fighter.yPos = 300;

    std::vector<int> speeds;
    for (int i = 0; i < 22; ++i) {
        int before = fighter.yPos;
        fighter.Gravity();
        speeds.push_back(fighter.yPos - before);
    }
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(speeds[i], i);
    // At 531 the fighter is at most one pixel below the line: still falling.
    EXPECT_EQ(fighter.yPos, 531);
    EXPECT_FALSE(fighter.onGround);
    EXPECT_EQ(fighter.actionName, "inAir");

    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 530);
    EXPECT_TRUE(fighter.onGround);
    EXPECT_EQ(fighter.jumpsLeft, 2);
    EXPECT_EQ(fighter.actionName, "walk");
    EXPECT_EQ(fighter.xPos, 50);

    // Standing fighters do not fall, even above the line.
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 530);
    fighter.yPos = 500;
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 500);

    // Pushed below the line while standing: put back, the animation stays.
    fighter.changeAnim("duck");
    fighter.jumpsLeft = 1;
    fighter.yPos = 540;
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 530);
    EXPECT_EQ(fighter.actionName, "duck");
    EXPECT_EQ(fighter.jumpsLeft, 2);
}

TEST_F(FighterTest, JumpBudget) {
    moveInfo* punch = move("punch");
    // Before the first landing nothing may start.
    fighter.Jump(16);
    EXPECT_EQ(fighter.jumpVel, 0);
    EXPECT_EQ(fighter.actionName, "walk");
    trace.clear();
    fighter.changeAction(punch);
    EXPECT_FALSE(fighter.returnBusy());
    EXPECT_EQ(trace.text(), "Last state was: walk\n");

    land();
    fighter.Jump(16);
    EXPECT_EQ(fighter.jumpVel, 16);
    EXPECT_EQ(fighter.jumpsLeft, 1);
    EXPECT_FALSE(fighter.onGround);
    EXPECT_EQ(fighter.actionName, "inAir");
    fighter.Jump(16); // the air jump is 2 weaker
    EXPECT_EQ(fighter.jumpVel, 14);
    EXPECT_EQ(fighter.jumpsLeft, 0);
    fighter.Jump(16);
    EXPECT_EQ(fighter.jumpVel, 14);
    fighter.changeAction(punch);
    EXPECT_FALSE(fighter.returnBusy());

    // A move started in the air costs a jump.
    fighter.yPos = 700;
    fighter.Gravity();
    ASSERT_EQ(fighter.jumpsLeft, 2);
    fighter.Jump(16);
    trace.clear();
    fighter.changeAction(punch);
    EXPECT_EQ(fighter.jumpsLeft, 0);
    EXPECT_TRUE(fighter.returnBusy());
    EXPECT_EQ(fighter.returnMoveName(), "punch");
    EXPECT_EQ(trace.text(), "Last state was: inAir\nChange Action: punch\n");
    fighter.Jump(16);
    EXPECT_EQ(fighter.jumpVel, 16);
    EXPECT_EQ(fighter.actionName, "punch");

    // On the ground a move is free and shows the move's own frames.
    fighter.yPos = 700;
    fighter.Gravity();
    fighter.frame = 1;
    fighter.changeAction(punch);
    EXPECT_EQ(fighter.jumpsLeft, 2);
    EXPECT_EQ(fighter.frame, 0);
    EXPECT_EQ(fighter.base, &punch->frameSet);
    // Any animation change ends the move.
    fighter.changeAnim("walk");
    EXPECT_FALSE(fighter.returnBusy());
    EXPECT_EQ(fighter.returnMoveName(), "NULL");
}

TEST_F(FighterTest, HitPointsStageEdgesAndActions) {
    fighter.setHP(1000, 1000);
    fighter.changeHP(-1500);
    EXPECT_EQ(fighter.hp, 0);
    fighter.setHP(980, 1000);
    fighter.changeHP(50);
    EXPECT_EQ(fighter.hp, 1000);
    fighter.changeHP(-30);
    EXPECT_EQ(fighter.hp, 970);

    for (auto [x, expected] : std::vector<std::pair<int, int>>{
             {1, 2}, {-50, 2}, {2, 2}, {400, 400}, {798, 798}, {799, 798}, {5000, 798}}) {
        fighter.xPos = x;
        fighter.boundary();
        EXPECT_EQ(fighter.xPos, expected) << x;
    }

    EXPECT_EQ(fighter.returnMoveName(), "NULL");
    EXPECT_TRUE(fighter.returnHitable());
    for (const char* pose : {"hit1", "blockHi", "blockLo", "blockAir"}) {
        fighter.changeAnim(pose);
        EXPECT_FALSE(fighter.returnHitable()) << pose;
    }
    fighter.changeAnim("blockLow");
    EXPECT_TRUE(fighter.returnHitable());
    // A name not in the set shows the first animation.
    EXPECT_EQ(fighter.base, &anims.returnAnimation("blank")->frameSet);

    fighter.setRunning();
    EXPECT_EQ(fighter.actionName, "running");
    fighter.duck();
    EXPECT_EQ(fighter.actionName, "running");
    fighter.changeAnim("walk");
    fighter.duck();
    EXPECT_EQ(fighter.actionName, "duck");
    EXPECT_EQ(fighter.base, &anims.returnAnimation("duck")->frameSet);

    // The same animation again starts over.
    fighter.changeAnim("walk");
    fighter.frame = 1;
    fighter.changeAnim("walk");
    EXPECT_EQ(fighter.frame, 0);
}

TEST(FighterBoxes, MirroredBoxesAndTheOpponentsView) {
    HeadlessScreen screen;
    TempDir dir;
    TraceCapture trace;
    FrameSpec wide;
    wide.w = 100;
    wide.h = 50;
    wide.offX = 30;
    wide.offY = 50;
    wide.col[0] = 10;
    wide.col[1] = 5;
    wide.col[2] = 40;
    wide.col[3] = 50;
    wide.dmg[0] = 50;
    wide.dmg[1] = 10;
    wide.dmg[2] = 90;
    wide.dmg[3] = 20;
    writeAnimations(dir, "char", {{"blank", {wide}}, {"walk", {wide}}});
    animationSet anims;
    anims.loadAll((dir / "char").c_str());
    Fighter fighter;
    fighter.initS(&anims, screen.surface());
    fighter.xPos = 400;
    fighter.yPos = 530;

    fighter.setDir(true);
    colBox body = fighter.getCBox();
    EXPECT_EQ(body.left, 380);
    EXPECT_EQ(body.right, 410);
    EXPECT_EQ(body.top, 485);
    EXPECT_EQ(body.bottom, 530);
    colBox fist = fighter.getDBox();
    EXPECT_EQ(fist.left, 420);
    EXPECT_EQ(fist.right, 460);
    EXPECT_EQ(fist.top, 490);
    EXPECT_EQ(fist.bottom, 500);

    // Facing left: x values mirrored about the anchor, y values unchanged.
    fighter.setDir(false);
    body = fighter.getCBox();
    EXPECT_EQ(body.left, 390);
    EXPECT_EQ(body.right, 420);
    EXPECT_EQ(body.top, 485);
    EXPECT_EQ(body.bottom, 530);
    fist = fighter.getDBox();
    EXPECT_EQ(fist.left, 340);
    EXPECT_EQ(fist.right, 380);
    EXPECT_EQ(fist.top, 490);

    Target nobody;
    EXPECT_EQ(nobody.retX(), 0);
    EXPECT_EQ(nobody.retY(), 0);
    colBox none = nobody.getColBox(true);
    EXPECT_EQ(none.left | none.top | none.right | none.bottom, 0);
    none = nobody.getDmgBox();
    EXPECT_EQ(none.left | none.top | none.right | none.bottom, 0);

    Target opponent;
    opponent.setTarget(&fighter);
    EXPECT_EQ(opponent.returnTarget(), &fighter);
    EXPECT_EQ(opponent.retX(), 400);
    EXPECT_EQ(opponent.retY(), 530);
    fighter.xPos = 420;
    EXPECT_EQ(opponent.retX(), 420);
    EXPECT_EQ(opponent.getColBox(false).left, 410);
    EXPECT_EQ(opponent.getDmgBox().left, 360);
}

TEST_F(FighterTest, LiftingFrameCarriesUpAndSkipsTheFall) {
    land();
    fighter.xPos = 100;
    fighter.setDir(true);
    fighter.changeAction(move("uppercut"));
    fighter.Gravity();
    EXPECT_EQ(fighter.xPos, 103);
    EXPECT_EQ(fighter.yPos, 525);
    EXPECT_FALSE(fighter.onGround);
    EXPECT_EQ(fighter.jumpVel, 4);
    fighter.setDir(false);
    fighter.Gravity();
    EXPECT_EQ(fighter.xPos, 100);
    EXPECT_EQ(fighter.yPos, 520);
    EXPECT_EQ(fighter.jumpVel, 4);

    // Once the lift is over the fighter falls from the speed it left with.
    fighter.changeAnim("inAir");
    fighter.Gravity();
    EXPECT_EQ(fighter.yPos, 516);
    EXPECT_EQ(fighter.jumpVel, 3);
}

TEST_F(FighterTest, MoveEndsWhenItsLastFrameRunsOut) {
    land();
    moveInfo* punch = move("punch");
    fighter.changeAction(punch);
    fighter.lastTick = 1000;
    trace.clear();

    fighter.draw(); // 1000: the first frame is not due yet
    EXPECT_EQ(fighter.frame, 0);
    clock.set(1010);
    fighter.draw();
    EXPECT_EQ(fighter.frame, 0);
    clock.set(1011);
    fighter.draw();
    EXPECT_EQ(fighter.frame, 1);
    EXPECT_TRUE(fighter.returnBusy());
    clock.set(1022);
    fighter.draw();
    EXPECT_EQ(fighter.frame, 0);
    EXPECT_FALSE(fighter.returnBusy());
    EXPECT_EQ(fighter.returnMoveName(), "NULL");
    EXPECT_EQ(trace.text(), "punch ended\n");
    // The move's frames stay on show and keep looping, without ending again.
    EXPECT_EQ(fighter.base, &punch->frameSet);
    EXPECT_EQ(fighter.actionName, "punch");
    for (Uint32 t = 1033; t < 1100; t += 11) {
        clock.set(t);
        fighter.draw();
    }
    EXPECT_EQ(trace.text(), "punch ended\n");

    // A one-frame move ends as soon as its frame has run out.
    fighter.changeAction(move("blockLo"));
    fighter.lastTick = static_cast<int>(clock.now());
    fighter.draw();
    EXPECT_TRUE(fighter.returnBusy());
    clock.advance(11);
    fighter.draw();
    EXPECT_FALSE(fighter.returnBusy());
}

TEST_F(FighterTest, OneFrameStepPerPassWhenSavedBeforeDrawing) {
    // The scene saves, then draws: the frame moves once per pass.
    fighter.changeAnim("walk");
    clock.advance(11);
    fighter.updateBG();
    EXPECT_EQ(fighter.frame, 1);
    clock.advance(50);
    fighter.draw();
    EXPECT_EQ(fighter.frame, 1);
    fighter.draw();
    EXPECT_EQ(fighter.frame, 0);
}

TEST_F(FighterTest, MissingDataNeverBreaksTheFighter) {
    // A move set without moves still hands out a move that can be performed.
    moveSet none;
    none.loadAll((dir / "nowhere").c_str());
    moveInfo& hit = none.returnMove("hit1");
    land();
    fighter.xPos = 300;
    fighter.changeAction(&hit);
    EXPECT_TRUE(fighter.returnBusy());
    colBox box = fighter.getCBox();
    EXPECT_EQ(box.left, 300);
    EXPECT_EQ(box.right, 300);
    EXPECT_EQ(box.top, 530);
    EXPECT_EQ(box.bottom, 530);
    box = fighter.getDBox();
    EXPECT_EQ(box.left, 300);
    EXPECT_EQ(box.bottom, 530);
    fighter.Gravity();
    EXPECT_EQ(fighter.xPos, 300);
    fighter.drawColBoxes();
    pass();
    EXPECT_FALSE(fighter.returnBusy());
    fighter.draw();

    // A character folder that is missing altogether.
    animationSet empty;
    empty.loadAll((dir / "gone").c_str());
    Fighter lost;
    lost.initS(&empty, screen.surface());
    EXPECT_EQ(lost.actionName, "walk");
    EXPECT_EQ(lost.backSave, nullptr);
    lost.yPos = 600;
    lost.Gravity();
    lost.Jump(16);
    lost.changeAction(&hit);
    lost.clearBG();
    lost.updateBG();
    lost.draw();
    lost.drawColBoxes();
    lost.clearBG();
    EXPECT_EQ(lost.getCBox().left, lost.xPos);

    // An animation whose folder failed to load has nothing to show.
    dir.write("half/info", "ANIMS: 2\nblank\nwalk\n");
    writeFrameFolder(dir, "half/blank", {frameOf(0xFFFFFF, 20, 60)});
    animationSet half;
    half.loadAll((dir / "half").c_str());
    Fighter partial;
    partial.initS(&half, screen.surface());
    partial.xPos = 100;
    partial.yPos = 200;
    partial.updateBG();
    partial.draw();
    partial.clearBG();
    EXPECT_EQ(partial.getDBox().top, 200);

    Fighter bare;
    bare.initS(nullptr, screen.surface());
    bare.updateBG();
    bare.draw();
    bare.Gravity();
}

TEST_F(FighterTest, RestoresExactlyTheSavedBackground) {
    SDL_Surface* s = screen.surface();
    paintPattern(s);
    // Magenta under the fighter: the blank frame's transparent colour must
    // still come back from the save.
    SDL_Rect patch{180, 250, 60, 60};
    SDL_FillRect(s, &patch, SDL_MapRGB(s->format, 255, 0, 255));
    const std::vector<Uint32> background = pixelsOf(s);

    fighter.xPos = 200;
    fighter.yPos = 300;
    fighter.setDir(true);
    fighter.updateBG();
    fighter.draw();
    EXPECT_EQ(rgbAt(s, 195, 280), 0xFF0000u); // walk frame 0 on screen
    // The shown frame changes its anchor before the restore.
    fighter.changeAnim("duck");
    fighter.clearBG();
    EXPECT_EQ(pixelsOf(s), background);
    fighter.clearBG(); // restoring twice is harmless
    EXPECT_EQ(pixelsOf(s), background);

    // Whole passes with frames whose anchors differ, both facings, at the
    // screen edges too: every pass leaves the background as it was.
    fighter.changeAnim("walk");
    struct Place {
        int x, y;
        bool right;
    };
    const Place places[] = {{200, 300, true}, {200, 300, false}, {5, 300, false},
                            {795, 590, true}, {400, 20, true},   {400, 530, false}};
    int shownBlue = 0;
    for (const Place& p : places) {
        fighter.xPos = p.x;
        fighter.yPos = p.y;
        fighter.setDir(p.right);
        for (int i = 0; i < 5; ++i) {
            clock.advance(11);
            fighter.clearBG();
            fighter.updateBG();
            fighter.draw();
            if (fighter.frame == 1 && p.x == 200 && p.right) {
                // frame 1 has its anchor at (30, 50)
                EXPECT_EQ(rgbAt(s, 171, 251), 0x0000FFu);
                ++shownBlue;
            }
            fighter.clearBG();
            ASSERT_EQ(pixelsOf(s), background) << p.x << "," << p.y << " pass " << i;
        }
    }
    EXPECT_GT(shownBlue, 0);
}

TEST_F(FighterTest, BackgroundSaveIsMadeOnceAndReused) {
    SDL_Surface* save = fighter.backSave;
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->w, 40);
    EXPECT_EQ(save->h, 60);
    land();
    for (int i = 0; i < 500; ++i) {
        fighter.changeAnim(i % 2 ? "walk" : "duck");
        fighter.changeAction(move(i % 3 ? "punch" : "uppercut"));
        fighter.setRunning();
    }
    EXPECT_EQ(fighter.backSave, save);
    EXPECT_EQ(fighter.backSave->w, 40);
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
    EXPECT_EQ(rgbAt(s, 384, 500), 0u);
    // The anchor goes over the body box: 4 x 2 at (x - 2, y - 2).
    EXPECT_EQ(rgbAt(s, 398, 528), 0x0000CCu);
    EXPECT_EQ(rgbAt(s, 401, 529), 0x0000CCu);
    EXPECT_EQ(rgbAt(s, 402, 529), 0xFFCC00u);
    EXPECT_EQ(rgbAt(s, 400, 530), 0u);
    for (Uint32 p : pixelsOf(s))
        ASSERT_NE(p & 0xFFFFFF, SDL_MapRGB(s->format, 255, 0, 0));

    // A hitting frame adds its damage box last, over the anchor.
    SDL_FillRect(s, nullptr, 0);
    fighter.changeAnim("strike"); // damage box 10..30 x 50..70
    fighter.drawColBoxes();
    EXPECT_EQ(rgbAt(s, 398, 528), 0xFF0000u);
    EXPECT_EQ(rgbAt(s, 390, 539), 0xFF0000u);
    EXPECT_EQ(rgbAt(s, 390, 540), 0u);
    EXPECT_EQ(rgbAt(s, 386, 500), 0xFFCC00u);

    // Boxes far off the screen are simply not drawn.
    fighter.xPos = 40000;
    fighter.yPos = -40000;
    SDL_FillRect(s, nullptr, 0);
    fighter.drawColBoxes();
    for (Uint32 p : pixelsOf(s))
        ASSERT_EQ(p, 0u);
}
