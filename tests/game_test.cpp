// The whole game, headless: the real start-up and loop on the shipped data,
// driven by the replay runner on the game clock.
#include "base/seams.h"
#include "replayRunner.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <sstream>
#include <vector>

using testing_support::sourceDir;
using testing_support::TempDir;

namespace {

// The opponent's dice always show 4: from the starting distance (exactly 500,
// long range) it picks "stand still" over and over and never comes closer.
int alwaysFour() {
    return 4;
}

class GameTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(chdir(sourceDir().c_str()), 0); }
    replayScript script;
};

int fireballDamage(replayRunner& game) {
    particleInfo* fireball = game.session.particleDefs.findParticle("fireball");
    if (!fireball || !fireball->frameSet || fireball->frameSet->frames.empty()) return -1;
    return fireball->frameSet->frames[0].damage;
}

} // namespace

TEST_F(GameTest, FightersFallOntoTheGroundAndStandThere) {
    script.endTick = 3000;
    replayRunner game(script);
    EXPECT_EQ(vikings1.yPos, 300);
    game.run();
    for (Fighter* f : {&vikings1, &fighter2}) {
        EXPECT_EQ(f->yPos, g_GroundLevel);
        EXPECT_TRUE(f->onGround);
        EXPECT_EQ(f->jumpsLeft, 2);
    }
    EXPECT_EQ(vikings1.actionName, "standing");
    EXPECT_TRUE(vikings1.facingRight) << "player 1 faces the opponent";
    EXPECT_EQ(play1HPBar.value, 1000);
    EXPECT_EQ(play2HPBar.value, 1000);
}

TEST_F(GameTest, FireballThrownByCommandHurtsTheOpponentOnce) {
    script.endTick = 0x7FFFFFFF;
    script.events = {{1000, true, SDLK_DOWN},   {1030, false, SDLK_DOWN}, {1040, true, SDLK_RIGHT},
                     {1070, false, SDLK_RIGHT}, {1080, true, SDLK_z},     {1110, false, SDLK_z}};
    replayRunner game(script);
    seams::setRandomSource(alwaysFour);
    int damage = fireballDamage(game);
    ASSERT_GT(damage, 0);

    bool thrown = false, hit = false;
    while (game.now() < 6000 && !hit) {
        game.step();
        thrown = thrown || pList.size() > 0;
        hit = fighter2.hp < 1000;
    }
    ASSERT_TRUE(thrown) << "down, forward, A threw nothing";
    ASSERT_TRUE(hit) << "the fireball never reached the opponent";
    EXPECT_EQ(fighter2.hp, 1000 - damage);
    EXPECT_EQ(fighter2.actionName, "hit1");
    EXPECT_EQ(vikings1.hp, 1000);

    // The fireball that hit is gone; nothing takes a second bite.
    for (int i = 0; i < 400; ++i)
        game.step();
    EXPECT_EQ(fighter2.hp, 1000 - damage);
    EXPECT_EQ(play2HPBar.value, fighter2.hp);

    // Escape: that pass is still drawn, then the loop ends.
    game.setKey(SDLK_ESCAPE, true);
    EXPECT_FALSE(game.step());
    EXPECT_TRUE(game.ended());
}

TEST_F(GameTest, StartUpTraceCountsTheJoysticksAndPlacesEverything) {
    std::ostringstream trace;
    replayRunner game(script, &trace);
    const std::string text = trace.str();
    const int joysticks = SDL_NumJoysticks();
    const std::string countLine = std::to_string(joysticks) + " joysticks were found.\n\n";
    const size_t count = text.find(countLine);
    ASSERT_NE(std::string::npos, count) << text;
    EXPECT_LT(text.find("making an Sset\n"), count) << "sounds are loaded before the joysticks";
    const size_t names = text.find("The names of the joysticks are:\n");
    if (joysticks == 0)
        EXPECT_EQ(std::string::npos, names) << "no name list without a joystick";
    else
        EXPECT_EQ(count + countLine.size(), names);

    EXPECT_EQ((std::vector<int>{50, 300, 550, 300, 1000, 1000}),
              (std::vector<int>{vikings1.xPos, vikings1.yPos, fighter2.xPos, fighter2.yPos,
                                vikings1.maxHP, fighter2.hp}));
    EXPECT_FLOAT_EQ(3.0f, fighter2.speed);
    EXPECT_EQ((std::vector<int>{10, 10, 410, 10, 10, 5, 360, 20, 1000}),
              (std::vector<int>{play1HPBar.xPos, play1HPBar.yPos, play2HPBar.xPos, play2HPBar.yPos,
                                play2HPBar.barX, play2HPBar.barY, play2HPBar.barW, play2HPBar.barH,
                                play2HPBar.maxValue}));
    EXPECT_FALSE(play1HPBar.rightToLeft);
    EXPECT_TRUE(play2HPBar.rightToLeft);
    EXPECT_TRUE(play1HPBar.clearBack && play2HPBar.clearBack);
    EXPECT_EQ(&fighter2, targ.target);
    EXPECT_EQ(&vikings1, targ2.target);
}

TEST_F(GameTest, EscapeInTheVeryFirstPassEndsTheLoopAfterDrawingIt) {
    replayRunner game(script);
    game.setKey(SDLK_ESCAPE, true);
    EXPECT_FALSE(game.step());
    EXPECT_EQ(game.passes(), 1);
    EXPECT_EQ(vikings1.drawn, 1) << "the frame of the quitting pass is drawn";
}

TEST_F(GameTest, IdlePlayerIsApproachedAttackedAndHurtByTheOpponent) {
    script.seed = 2024;
    script.stepMs = 5;
    replayRunner game(script);
    int closest = 1000;
    while (game.now() < 60000) {
        game.step();
        closest = std::min(closest, std::abs(fighter2.xPos - vikings1.xPos));
    }
    EXPECT_LT(closest, 150) << "the opponent never came close";
    EXPECT_FALSE(basicAI.lastAttack.empty()) << "the opponent never attacked";
    EXPECT_LT(vikings1.hp, 1000) << "the opponent never hurt player 1";
    EXPECT_GE(vikings1.hp, 0);
    EXPECT_EQ(play1HPBar.value, vikings1.hp);
    EXPECT_LT(pList.size(), 50);
}

TEST_F(GameTest, MissingCharacterOrStageEndsWithAClearMessage) {
    TempDir dir;
    testing_support::HeadlessScreen sdl;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    gameSession session;
    EXPECT_EXIT(
        {
            seams::setTraceStream(&std::cerr);
            startUp(session);
        },
        testing::ExitedWithCode(1), "no animations found in data/Tavro/info");

    // With a character but no stage bitmap, the message names the stage.
    dir.write("data/Tavro/info", "ANIMS: 1\nblank\n");
    dir.write("data/Tavro/blank/info",
              "FILES: 1\nb.bmp 10 255 0 255\n0 0\n0 0 0 0\n0 0 0 0\n0\n0\n0\n"
              "0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n");
    dir.writeBmp("data/Tavro/blank/b.bmp", 8, 8, 0xFF00FF);
    EXPECT_EXIT(
        {
            seams::setTraceStream(&std::cerr);
            startUp(session);
        },
        testing::ExitedWithCode(1), "data/tBG2.bmp");
}

TEST_F(GameTest, InterruptFromTheTerminalStillStopsTheGame) {
    // The close button is ignored, but Ctrl+C and kill must not be.
    EXPECT_EXIT(
        {
            sdlInit();
            raise(SIGINT);
            SDL_Delay(2000);
            std::exit(0);
        },
        testing::KilledBySignal(SIGINT), "");
}

TEST(ReplayScript, RefusesAnEmptyScriptAndWhatIsNoFile) {
    TempDir dir;
    dir.write("empty.replay", "");
    dir.write("comments.replay", "# nothing but a comment\n\n   \n");
    dir.write("one.replay", "end 100\n");
    dir.mkdir("folder.replay");
    ASSERT_EQ(mkfifo((dir / "fifo.replay").c_str(), 0600), 0);
    std::string error;
    replayScript script;
    EXPECT_FALSE(script.load(dir / "empty.replay", error));
    EXPECT_EQ(error, "no instructions: nothing to replay");
    replayScript comments;
    EXPECT_FALSE(comments.load(dir / "comments.replay", error));
    EXPECT_EQ(error, "no instructions: nothing to replay");
    replayScript folder;
    EXPECT_FALSE(folder.load(dir / "folder.replay", error));
    EXPECT_EQ(error, "not a regular file: " + (dir / "folder.replay"));
    replayScript fifo; // refused at once, never waited on
    EXPECT_FALSE(fifo.load(dir / "fifo.replay", error));
    EXPECT_EQ(error, "not a regular file: " + (dir / "fifo.replay"));
    replayScript missing;
    EXPECT_FALSE(missing.load(dir / "missing.replay", error));
    EXPECT_EQ(error, "cannot open " + (dir / "missing.replay"));
    replayScript one;
    EXPECT_TRUE(one.load(dir / "one.replay", error)) << error;
    EXPECT_EQ(one.endTick, 100u);
}
