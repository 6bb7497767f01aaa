// The computer opponent's state machine: when it takes a step, which
// behaviour it picks for each distance band, how each behaviour ends, and
// the attack / busy / link / cancel sequence.
#include "ai/AI.h"
#include "base/seams.h"
#include "fighter/animationSet.h"
#include "fighter/fighter.h"
#include "fighter/moveSet.h"
#include "fighter/target.h"
#include "particle/particleList.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

// A frame folder of `count` frames, 20 x 40 with the anchor at the feet.
void writeFrames(const TempDir& dir, const std::string& folder, int count) {
    std::string info = "FILES: " + std::to_string(count) + "\n";
    for (int i = 0; i < count; ++i) {
        std::string file = "f" + std::to_string(i) + ".bmp";
        dir.writeBmp(folder + "/" + file, 20, 40, 0x336699);
        info += file +
                " 100 -1 0 0\n10 40\n0 0 20 40\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\ntag\n";
    }
    dir.write(folder + "/info", info);
}

std::string moveRecord(const std::string& name, const std::string& command,
                       const std::string& fromMove = "NULL", int fromFrame = 0) {
    return name + "\n" + command + "\n0\nNULL\n0\n0\n" + fromMove + "\n" +
           std::to_string(fromFrame) + "\n0\n0\nnull\n";
}

// The usual attack table: punch on the ground (kick may follow it as a link,
// jab may cancel it), kick in the air.
const char* kStandardAttacks = "Attacks: 1\npunch\nS\nnone\nnone\n"
                               "Attacks: 0\n"
                               "Attacks: 1\nkick\nS\nnone\nnone\n"
                               "Attacks: 0\n"
                               "Attacks: 1\njab\nS\nnone\npunch\n"
                               "Attacks: 1\nkick\nS\npunch\nnone\n";

// Two fighters on the ground, the computer's on the left at x 100 facing
// right, and its controller set up with the character's data.
struct Stage {
    HeadlessScreen screen;
    ManualClock clock{1000};
    TraceCapture trace;
    TempDir dir;
    RandomReset resetRandom;
    animationSet anims;
    moveSet moves;
    particleList particles;
    Fighter me;
    Fighter them;
    Target targ;
    AI ai;

    explicit Stage(const std::string& attacks = kStandardAttacks, bool withMoves = true) {
        scriptRandom({0});
        const char* names[] = {"blank", "walk", "running", "duck", "inAir", "standing"};
        std::string info = "ANIMS: 6\n";
        for (const char* name : names) {
            info += std::string(name) + "\n";
            writeFrames(dir, std::string("char/") + name, 1);
        }
        dir.write("char/info", info);
        if (withMoves) {
            const char* moveNames[] = {"punch",   "kick",    "jab",     "hit1",
                                       "blockHi", "blockLo", "blockAir"};
            for (const char* name : moveNames)
                writeFrames(dir, std::string("char/") + name, 3);
            dir.write("char/moveset", "ANIMS: 7\n" + moveRecord("punch", "A") +
                                          moveRecord("kick", "B") +
                                          moveRecord("jab", "C", "punch", 1) +
                                          moveRecord("hit1", "U") + moveRecord("blockHi", "U") +
                                          moveRecord("blockLo", "U") + moveRecord("blockAir", "U"));
        }
        dir.write("ai/attack", attacks);
        std::string charFolder = dir / "char";
        anims.loadAll(charFolder.c_str());
        moves.loadAll(charFolder.c_str());

        place(me, 100, true);
        place(them, 400, false);
        targ.setTarget(&them);
        ai.init(screen.surface());
        std::string aiFolder = dir / "ai";
        ai.setup(&me, nullptr, &particles, nullptr, &anims, &moves, &targ, aiFolder.c_str());
        ai.rangeLetter = 'S'; // as after thinking at short range
        trace.clear();
    }

    void place(Fighter& fighter, int x, bool right) {
        fighter.initS(&anims, screen.surface());
        fighter.xPos = x;
        fighter.yPos = g_GroundLevel;
        fighter.onGround = true;
        fighter.jumpsLeft = 2;
        fighter.facingRight = right;
        fighter.changeAnim("standing");
    }

    // One loop pass of the opponent with a full unit of controller time.
    void step(float delta = 1.0f) {
        ai.delta = delta;
        ai.moveTimer = 1.5f;
        ai.updateAI();
    }

    bool traced(const std::string& line) const {
        return trace.text().find(line) != std::string::npos;
    }
};

} // namespace

TEST(AiController, InitKeepsBlockingAndAStepNeedsMoreThanOneUnitOfTime) {
    Stage stage;
    AI& ai = stage.ai;
    ai.blocking = true;
    ai.phase = 3;
    ai.state = RETREAT;
    ai.nextLink = "kick";
    ai.init(stage.screen.surface());
    EXPECT_TRUE(ai.blocking);
    EXPECT_EQ(3, ai.phase);
    EXPECT_EQ(THINK, ai.state);
    EXPECT_EQ(25, ai.blockChance);
    EXPECT_EQ(1, ai.jumpDir);
    EXPECT_EQ("NULL", ai.nextLink);
    EXPECT_EQ(nullptr, ai.fighter);

    ai.state = NOTHING;
    ai.timer = 10;
    ai.delta = 1;
    ai.moveTimer = 1.0f;
    ai.updateAI();
    EXPECT_EQ(10.0f, ai.timer);
    EXPECT_EQ(1.0f, ai.moveTimer);
    ai.moveTimer = 1.01f;
    ai.updateAI();
    EXPECT_EQ(9.0f, ai.timer);
    EXPECT_EQ(0.0f, ai.moveTimer);
}

TEST(AiController, ThinkingPicksTheBandByDistanceAndHeight) {
    Stage stage;
    AI& ai = stage.ai;
    struct Case {
        int theirX, theirY;
        bool theyAreOnGround;
        const char* line;
        char letter;
    };
    // The opponent's x is placed relative to x 100; y relative to the
    // ground line 530 (y grows downward).
    const Case cases[] = {
        {250, 530, true, "       Short Range AI, enem infront \n", 'S'},
        {251, 530, true, "       Mid Range AI \n", 'M'},
        {599, 530, false, "       Mid Range AI enem in air\n", 'M'},
        {600, 530, true, "       Long Range AI\n", 'L'},
        {100, 554, true, "       Short Range AI, enem infront \n", 'S'},
        {100, 506, true, "       Short Range AI, enem infront \n", 'S'},
        {100, 555, true, "       Short Range AI, enem above \n", 'U'},
        {100, 505, true, "       Short Range AI, enem below \n", 'D'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.theirX) + "," + std::to_string(c.theirY));
        stage.them.xPos = c.theirX;
        stage.them.yPos = c.theirY;
        stage.them.onGround = c.theyAreOnGround;
        stage.trace.clear();
        scriptRandom({2, 4, 2}); // jump direction, timer, candidate 2
        ai.state = THINK;
        ai.think();
        EXPECT_TRUE(stage.traced(c.line));
        EXPECT_EQ(c.letter, ai.rangeLetter);
        EXPECT_EQ(2, ai.jumpDir);
        EXPECT_EQ(5.0f, ai.timer);
        // Candidate 2 is RETREAT in every band but the long one.
        EXPECT_EQ(c.letter == 'L' ? JUMP_IN_DIR : RETREAT, ai.state);
        stage.me.yPos = g_GroundLevel;
        stage.me.onGround = true;
        stage.me.jumpsLeft = 2;
    }
    EXPECT_EQ("standing", stage.me.actionName);

    // Jumps leave the ground as they are entered; ducking draws its own time.
    stage.them.xPos = 100;
    stage.them.yPos = 555;
    scriptRandom({1, 0, 3}); // short range, the opponent lower: jump up at it
    ai.think();
    EXPECT_EQ(JUMP_UP_AT, ai.state);
    EXPECT_EQ(1, ai.phase);
    EXPECT_FALSE(stage.me.onGround);
    stage.them.xPos = 300;
    stage.them.yPos = 530;
    scriptRandom({1, 0, 6, 9}); // mid range, candidate 6: duck for 9 + 1
    ai.think();
    EXPECT_EQ(DUCK, ai.state);
    EXPECT_EQ(10.0f, ai.timer);
}

TEST(AiController, WalkingRetreatingDuckingAndStandingEnd) {
    Stage stage;
    AI& ai = stage.ai;
    Fighter& me = stage.me;

    // Walking in stops at a distance of 99, not 100.
    stage.them.xPos = 200;
    ai.state = GET_CLOSER;
    stage.step();
    EXPECT_EQ(103, me.xPos);
    EXPECT_EQ("walk", me.actionName);
    EXPECT_EQ(GET_CLOSER, ai.state);
    stage.them.xPos = 202; // 99 away
    stage.step();
    EXPECT_EQ(103, me.xPos);
    EXPECT_EQ(THINK, ai.state);

    // Forward is the way the fighter faces.
    stage.them.xPos = 10;
    me.xPos = 300;
    ai.state = GET_CLOSER;
    stage.step();
    EXPECT_FALSE(me.facingRight);
    EXPECT_EQ(297, me.xPos);

    // Retreating backs off while blocking and lowers the guard at the end.
    me.xPos = 100;
    stage.them.xPos = 400;
    me.changeAnim("standing");
    ai.state = RETREAT;
    ai.timer = 2.5f;
    stage.step();
    EXPECT_TRUE(ai.blocking);
    EXPECT_EQ(97, me.xPos);
    EXPECT_EQ("walk", me.actionName);
    EXPECT_EQ(RETREAT, ai.state);
    stage.step();
    EXPECT_FALSE(ai.blocking);
    EXPECT_EQ(97, me.xPos);
    EXPECT_EQ(THINK, ai.state);

    // Ducking counts down by the time step and stays down afterwards.
    ai.state = DUCK;
    ai.timer = 2.0f;
    stage.trace.clear();
    stage.step(0.5f);
    EXPECT_EQ("duck", me.actionName);
    EXPECT_EQ(DUCK, ai.state);
    stage.step(0.5f);
    EXPECT_EQ(DUCK, ai.state); // 1.0 is not below 1
    stage.step(0.5f);
    EXPECT_EQ(THINK, ai.state);
    EXPECT_EQ(0.0f, ai.timer);
    EXPECT_EQ("duck", me.actionName);
    std::string text = stage.trace.text();
    EXPECT_EQ(text.find("Lets try ducking!"), text.rfind("Lets try ducking!"));
    EXPECT_NE(std::string::npos, text.find("Lets try ducking!"));

    // Standing still stands the fighter up when the count runs out.
    ai.state = NOTHING;
    ai.timer = 1.5f;
    stage.step(0.4f);
    EXPECT_EQ(NOTHING, ai.state);
    EXPECT_EQ("duck", me.actionName);
    stage.step(0.4f);
    EXPECT_EQ(THINK, ai.state);
    EXPECT_EQ("standing", me.actionName);
}

TEST(AiController, JumpsEndOnLandingAndJumpingUpAtTheTargetAttacksWithin100) {
    Stage stage;
    AI& ai = stage.ai;
    Fighter& me = stage.me;

    scriptRandom({0});
    ai.jumpDir = 2;
    ai.timer = 3;
    ai.setState(JUMP_IN_DIR);
    EXPECT_FALSE(me.onGround);
    int steps = 0;
    while (ai.state == JUMP_IN_DIR && steps < 500) {
        stage.step();
        ++steps;
    }
    EXPECT_EQ(THINK, ai.state);
    EXPECT_TRUE(me.onGround);
    EXPECT_GT(steps, 20); // airborne for the whole jump
    EXPECT_GT(me.xPos, 100);

    // Jumping at the opponent after the jump's countdown ran out: within
    // 100 pixels of its height (exactly 100 included) the fighter attacks in
    // mid air; more than 100 above it, it jumps again.
    me.onGround = false;
    struct Case {
        int ownY, theirY;
        bool attacks;
    };
    const Case cases[] = {
        {530, 630, true},  // 100 above it
        {400, 500, true},  // 100 above it
        {400, 501, false}, // 101 above it: jump again
        {530, 400, true},  // 130 below it: never jumps after it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ownY) + " vs " + std::to_string(c.theirY));
        me.yPos = c.ownY;
        stage.them.yPos = c.theirY;
        me.jumpsLeft = 1;
        me.jumpVel = 0;
        ai.state = JUMP_UP_AT;
        ai.phase = 0;
        ai.timer = 1; // a countdown that runs out on this very step
        stage.trace.clear();
        scriptRandom({7});
        ai.jumpUpAt();
        EXPECT_EQ(c.attacks ? ATTACK : JUMP_UP_AT, ai.state);
        EXPECT_EQ(c.attacks, stage.traced("mid air attack\n"));
        if (c.attacks) {
            EXPECT_EQ(1, ai.phase); // ready to pick a move on the next step
        } else {
            EXPECT_EQ(14, me.jumpVel); // the second, weaker jump
            EXPECT_EQ(0, ai.phase);    // and its countdown ran out at once
            EXPECT_EQ(7.0f, ai.timer);
        }
    }

    // Landing ends it.
    me.onGround = true;
    ai.jumpUpAt();
    EXPECT_EQ(THINK, ai.state);
}

TEST(AiController, AttackThenBusyThenLinkOrCancel) {
    Stage stage;
    AI& ai = stage.ai;
    Fighter& me = stage.me;

    // The attack starts punch; the follow-up draw 0 prepares the link kick.
    ai.setState(ATTACK);
    scriptRandom({0, 0, 0});
    stage.step();
    EXPECT_TRUE(stage.traced("RUNNING AI ATTACK\nGoing for the attack!\n"));
    EXPECT_TRUE(stage.traced("the new attack is : punch\n"));
    EXPECT_TRUE(stage.traced("We randomly got the number: 0\nAttempting linked move! \n"));
    EXPECT_EQ("punch", me.actionName);
    EXPECT_EQ("punch", ai.lastAttack);
    EXPECT_EQ("kick", ai.nextLink);
    EXPECT_EQ(ATTACK, ai.state);
    EXPECT_EQ(2, ai.phase);

    // While punch runs the opponent waits.
    stage.step();
    EXPECT_EQ(BUSY, ai.state);
    stage.step();
    EXPECT_EQ(BUSY, ai.state);

    // Once it is over the link follows.
    me.curMove = nullptr;
    scriptRandom({1});
    stage.trace.clear();
    stage.step();
    EXPECT_TRUE(stage.traced("Not busy? link Attack! kick\n"));
    EXPECT_TRUE(stage.traced("the new link attack is : kick\n"));
    EXPECT_TRUE(stage.traced("Attack to think\n"));
    EXPECT_EQ("kick", me.actionName);
    EXPECT_EQ("kick", ai.lastAttack);
    EXPECT_EQ("NULL", ai.nextLink);
    EXPECT_EQ(THINK, ai.state);

    // A cancel: draw 2 prepares jab, which may start from punch's frame 1.
    me.curMove = nullptr;
    ai.setState(ATTACK);
    scriptRandom({0, 2, 0});
    stage.step();
    EXPECT_EQ("punch", me.actionName);
    ASSERT_NE(nullptr, ai.nextCancel);
    EXPECT_EQ("jab", ai.nextCancel->name);
    EXPECT_EQ("NULL", ai.nextLink);
    me.frame = 0;
    stage.step();
    EXPECT_EQ(BUSY, ai.state); // not yet at frame 1
    me.frame = 1;
    scriptRandom({1});
    stage.step();
    EXPECT_EQ("jab", me.actionName);
    EXPECT_EQ("jab", ai.lastAttack);
    EXPECT_EQ(nullptr, ai.nextCancel);
    EXPECT_EQ(THINK, ai.state);

    // A cancel prepared for another move than the one running waits.
    ai.nextCancel = &stage.moves.returnMove("jab");
    ai.lastAttack = "punch";
    me.frame = 2;
    stage.step();
    EXPECT_EQ(BUSY, ai.state);

    // Preparing a follow-up always forgets the previous one.
    ai.nextLink = "kick";
    ai.nextCancel = &stage.moves.returnMove("jab");
    scriptRandom({1});
    ai.pickLinkMove();
    EXPECT_EQ("NULL", ai.nextLink);
    EXPECT_EQ(nullptr, ai.nextCancel);
    ai.lastAttack = "nothing-follows";
    scriptRandom({0});
    ai.pickLinkMove();
    EXPECT_EQ("NULL", ai.nextLink);
}

TEST(AiController, AttackKindFollowsTheStanceAndEmptyTablesNeverAttack) {
    Stage stage;
    AI& ai = stage.ai;
    Fighter& me = stage.me;

    // In the air the aerial section answers.
    me.onGround = false;
    scriptRandom({0, 1});
    ai.setState(ATTACK);
    ai.attack();
    EXPECT_EQ("kick", me.actionName);

    // Ducking asks for a "duck" attack, which the table never has.
    me.curMove = nullptr;
    me.onGround = true;
    me.changeAnim("duck");
    stage.trace.clear();
    ai.setState(ATTACK);
    ai.attack();
    EXPECT_EQ("duck", me.actionName);
    EXPECT_FALSE(stage.traced("the new attack is"));
    EXPECT_EQ(2, ai.phase);
    EXPECT_EQ(ATTACK, ai.state);

    // A busy fighter keeps its move; the attack is still remembered.
    me.changeAnim("standing");
    me.changeAction(&stage.moves.returnMove("hit1"));
    scriptRandom({0, 1});
    ai.setState(ATTACK);
    ai.attack();
    EXPECT_EQ("hit1", me.actionName);
    EXPECT_EQ("punch", ai.lastAttack);

    // An empty table: two steps in ATTACK, then back to thinking.
    stage.dir.write("empty/attack", "");
    AI fresh;
    fresh.init(stage.screen.surface());
    std::string emptyFolder = stage.dir / "empty";
    fresh.setup(&me, nullptr, &stage.particles, nullptr, &stage.anims, &stage.moves, &stage.targ,
                emptyFolder.c_str());
    me.curMove = nullptr;
    me.changeAnim("standing");
    fresh.rangeLetter = 'S';
    fresh.setState(ATTACK);
    fresh.moveTimer = 2;
    fresh.updateAI();
    EXPECT_EQ(ATTACK, fresh.state);
    EXPECT_EQ(2, fresh.phase);
    fresh.moveTimer = 2;
    fresh.updateAI();
    EXPECT_EQ(THINK, fresh.state);
    EXPECT_EQ("standing", me.actionName);
    EXPECT_EQ("", fresh.lastAttack);
}

TEST(AiController, BlockingStaysOnWhenARetreatIsCutShort) {
    Stage stage;
    AI& ai = stage.ai;
    ai.state = RETREAT;
    ai.timer = 10;
    stage.step();
    EXPECT_TRUE(ai.blocking);

    // A hit reaction makes the fighter busy: the retreat never runs out.
    stage.me.changeAction(&stage.moves.returnMove("hit1"));
    stage.step();
    EXPECT_EQ(BUSY, ai.state);
    stage.me.curMove = nullptr;
    stage.step();
    EXPECT_EQ(THINK, ai.state);
    scriptRandom({0, 0, 0, 0, 0});
    stage.step();
    stage.step();
    EXPECT_TRUE(ai.blocking);
}

TEST(AiController, TakeDamageBlocksByChanceOrReacts) {
    Stage stage;
    Fighter& me = stage.me;
    me.setHP(1000, 1000);
    scriptRandom({24});
    stage.ai.takeDamage(50, 1);
    EXPECT_EQ("blockHi", me.actionName);
    EXPECT_EQ(1000, me.hp);

    me.curMove = nullptr;
    me.changeAnim("standing");
    scriptRandom({25});
    stage.ai.takeDamage(50, 1);
    EXPECT_EQ("hit1", me.actionName);
    EXPECT_EQ(950, me.hp);
    stage.ai.takeDamage(50, 0); // no reaction for other hit types, damage all the same
    EXPECT_EQ(900, me.hp);
}

TEST(AiController, MissingPiecesNeverCrash) {
    TraceCapture trace;
    RandomReset reset;
    AI lonely;
    lonely.init(nullptr);
    lonely.setup(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "/nonexistent/ai");
    EXPECT_NE(std::string::npos,
              trace.text().find("ERROR opening file /nonexistent/ai/attack\n\n"));
    scriptRandom({0, 1, 2, 3, 4, 5, 6, 7});
    for (int s = THINK; s <= NOTHING; ++s) {
        lonely.setState(static_cast<aiState>(s));
        lonely.state = static_cast<aiState>(s);
        lonely.moveTimer = 2;
        lonely.updateAI();
        lonely.phase = s % 4;
        lonely.attack();
    }
    lonely.takeDamage(10, 1);

    // A character without moves starts the set's empty move.
    Stage stage(kStandardAttacks, false);
    stage.ai.setState(ATTACK);
    stage.step();
    EXPECT_EQ("punch", stage.ai.lastAttack);
    for (int i = 0; i < 20; ++i)
        stage.step();
}
