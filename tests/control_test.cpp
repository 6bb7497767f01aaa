// Player 1's controller: the key table, walking, running, ducking, turning,
// pushing apart, starting moves, and the frame sounds and time step.
#include "controlFixture.h"

#include <gtest/gtest.h>

using namespace control_fixture;

namespace {

TEST(PlayerControl, KeyTable) {
    Arena a;
    a.ctl.now = 1234;
    pushKey(SDLK_RIGHT), pushKey(SDLK_LEFT), pushKey(SDLK_z), pushKey(SDLK_x), pushKey(SDLK_c);
    pushKey(SDLK_DOWN), pushKey(SDLK_RIGHT, SDL_KEYUP);
    a.ctl.keyboardCheck(a.event);
    EXPECT_EQ(a.letters(), "RLABCD"); // releases record nothing
    EXPECT_EQ(a.checker->keys.front().time, 1234);

    a.checker->deleteList();
    a.p1.setDir(false);
    pushKey(SDLK_RIGHT), pushKey(SDLK_LEFT);
    a.ctl.keyboardCheck(a.event);
    EXPECT_EQ(a.letters(), "LR");

    // Up jumps first, then records U; a refused jump still records it.
    a.checker->deleteList();
    pushKey(SDLK_UP);
    a.ctl.keyboardCheck(a.event);
    EXPECT_EQ(a.p1.actionName, "inAir");
    a.p1.jumpsLeft = 0;
    a.p1.changeAnim("standing");
    pushKey(SDLK_UP);
    a.ctl.keyboardCheck(a.event);
    ASSERT_EQ(a.letters(), "UU");
    EXPECT_EQ(a.checker->keys.front().state, "inAir");
    EXPECT_EQ(a.checker->keys.back().state, "standing");

    // A key bound to two roles does both.
    a.checker->deleteList();
    a.pad.buttonB = SDLK_z;
    pushKey(SDLK_z);
    a.ctl.keyboardCheck(a.event);
    EXPECT_EQ(a.letters(), "AB");
}

TEST(PlayerControl, DebugQuitAndCloseKeys) {
    Arena a;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    pushKey(SDLK_j);
    a.ctl.keyboardCheck(a.event);
    EXPECT_TRUE(debugging);
    EXPECT_EQ(a.ctl.quitRequested, 0); // the window's close button is ignored
    EXPECT_EQ(SDL_PollEvent(nullptr), 0);

    pushKey(SDLK_j);
    pushKey(SDLK_ESCAPE);
    a.ctl.keyboardCheck(a.event);
    EXPECT_FALSE(debugging);
    EXPECT_EQ(a.ctl.quitRequested, 1);
}

TEST(PlayerControl, JoystickEventsOutsideTheDeadZone) {
    Arena a;
    a.pad.joyIndex = 0, a.pad.joyButtonB = 1;
    auto axis = [](int which, int value) {
        SDL_Event e{};
        e.type = SDL_JOYAXISMOTION, e.jaxis.axis = which, e.jaxis.value = value;
        SDL_PushEvent(&e);
    };
    axis(0, 3200), axis(0, -3200), axis(0, 3201), axis(0, -3201), axis(1, 3201), axis(1, -3201);
    SDL_Event button{};
    button.type = SDL_JOYBUTTONDOWN, button.jbutton.button = 1;
    SDL_PushEvent(&button);
    pushKey(SDLK_z); // keyboard buttons do nothing in joystick play
    pushKey(SDLK_ESCAPE);
    a.ctl.joystickCheck(a.event);
    EXPECT_EQ(a.letters(), "RLDUB");
    EXPECT_EQ(a.p1.actionName, "inAir");
    EXPECT_EQ(a.ctl.quitRequested, 1);
}

TEST(PlayerControl, WalkingBackBlocksAndReleasingStands) {
    Arena a;
    a.hold(SDLK_LEFT);
    a.pass();
    EXPECT_EQ(a.p1.xPos, 297);
    a.pass();
    EXPECT_EQ(a.p1.xPos, 294);
    EXPECT_TRUE(a.p1.facingRight); // still faces the opponent
    EXPECT_TRUE(a.ctl.blocking);
    EXPECT_EQ(a.p1.actionName, "walk");

    a.hold(SDLK_LEFT, false);
    a.pass();
    EXPECT_FALSE(a.ctl.blocking);
    EXPECT_EQ(a.p1.actionName, "standing");

    // Both directions held: no net move, walking, blocking while facing left.
    place(a.p1, 600, false);
    a.hold(SDLK_LEFT), a.hold(SDLK_RIGHT);
    a.pass();
    EXPECT_EQ(a.p1.xPos, 600);
    EXPECT_EQ(a.p1.actionName, "walk");
    EXPECT_TRUE(a.ctl.blocking);
}

TEST(PlayerControl, MovementStepsFollowTheClock) {
    Arena a;
    a.hold(SDLK_RIGHT);
    a.pass(0); // the first pass covers all the time since start
    EXPECT_EQ(a.p1.xPos, 303);
    a.pass(5), a.pass(5); // 0.5 then 1.0: not yet more than 10 ms
    EXPECT_EQ(a.p1.xPos, 303);
    a.pass(1);
    EXPECT_EQ(a.p1.xPos, 306);
    EXPECT_FLOAT_EQ(a.ctl.delta, 0.1f);
    a.pass(500); // a slow pass still makes one step
    EXPECT_EQ(a.p1.xPos, 309);
    // The time step is the float nearest to the tenth of the milliseconds,
    // not a float product that can land one step off (0.9 vs 0.90000004).
    a.pass(9);
    EXPECT_EQ(a.ctl.delta, 0.9f);
    a.pass(13);
    EXPECT_EQ(a.ctl.delta, 1.3f);
}

TEST(PlayerControl, TimeStepHoldsAcrossTheClockWrapping) {
    Arena a;
    a.hold(SDLK_RIGHT);
    // Past the top of the signed range (24.8 days), then past 2^32 (49.7).
    for (Uint32 start : {0x7FFFFFF8u, 0xFFFFFFF8u}) {
        a.clock.set(start);
        a.pass(0);
        const int x = a.p1.xPos;
        a.pass(9);
        EXPECT_EQ(a.ctl.delta, 0.9f) << start;
        EXPECT_EQ(a.p1.xPos, x) << start; // 0.9 gathered: no step yet
        a.pass(2);
        EXPECT_EQ(a.ctl.delta, 0.2f) << start;
        EXPECT_EQ(a.p1.xPos, x + 3) << start;
    }
}

TEST(PlayerControl, DuckingGoesThroughWalk) {
    Arena a;
    a.hold(SDLK_DOWN);
    a.pass();
    EXPECT_EQ(a.p1.actionName, "walk");
    a.pass();
    EXPECT_EQ(a.p1.actionName, "duck");
    a.pass();
    EXPECT_EQ(a.p1.actionName, "duck");
    a.hold(SDLK_DOWN, false);
    a.pass();
    EXPECT_EQ(a.p1.actionName, "standing");
}

TEST(PlayerControl, DoubleTapsOnTheGroundRunAndBackJump) {
    Arena a;
    pushKey(SDLK_RIGHT), pushKey(SDLK_RIGHT);
    a.pass();
    EXPECT_EQ(a.p1.actionName, "running");
    a.hold(SDLK_RIGHT);
    a.pass();
    EXPECT_EQ(a.p1.xPos, 306);
    a.pass();
    EXPECT_EQ(a.p1.xPos, 312);
    a.hold(SDLK_RIGHT, false);
    a.hold(SDLK_LEFT); // a run never turns round
    a.pass();
    EXPECT_EQ(a.p1.xPos, 312);
    EXPECT_EQ(a.p1.actionName, "standing");
    a.hold(SDLK_LEFT, false);

    pushKey(SDLK_LEFT), pushKey(SDLK_LEFT);
    a.pass();
    EXPECT_EQ(a.p1.actionName, "backJump");
}

TEST(PlayerControl, DoubleTapsInTheAirStartAirMoves) {
    Arena b;
    b.p1.onGround = false;
    b.p1.yPos = 300;
    pushKey(SDLK_LEFT), pushKey(SDLK_LEFT);
    b.pass();
    EXPECT_EQ(b.p1.actionName, "airBack");
    b.p1.changeAnim("inAir");
    pushKey(SDLK_RIGHT), pushKey(SDLK_RIGHT);
    b.pass();
    EXPECT_EQ(b.p1.actionName, "airForward");
}

TEST(PlayerControl, CommandsStartMovesCancelsCutIn) {
    Arena a;
    pushKey(SDLK_DOWN), pushKey(SDLK_RIGHT), pushKey(SDLK_z);
    a.pass();
    EXPECT_EQ(a.p1.actionName, "fireball");

    place(a.p1, 300, true);
    pushKey(SDLK_z);
    a.pass();
    ASSERT_EQ(a.p1.actionName, "punch");
    a.p1.frame = 1;
    pushKey(SDLK_c);
    a.pass();
    EXPECT_EQ(a.p1.actionName, "punchCancel");

    // A link waits for the punch to play out.
    place(a.p1, 300, true);
    pushKey(SDLK_z);
    a.pass();
    a.p1.frame = 1;
    pushKey(SDLK_x);
    a.pass();
    EXPECT_EQ(a.p1.actionName, "punch");
    a.p1.changeAnim("standing"); // the punch is over
    a.pass();
    EXPECT_EQ(a.p1.actionName, "uppercut");
}

TEST(PlayerControl, FacingAndPushApart) {
    Arena a;
    playerControl other;
    other.init(a.screen.surface());
    other.setup(&a.p2, nullptr, nullptr, nullptr, &a.anims, &a.moves, nullptr, nullptr, &a.targ2);
    a.p2.xPos = 310;
    a.pass();
    other.update(), other.inputChecking(a.event);
    EXPECT_EQ(a.p1.xPos, 297);
    EXPECT_EQ(a.p2.xPos, 313);

    // Facing follows the opponent; equal x faces left; a busy fighter keeps it.
    a.p2.xPos = 200;
    a.pass();
    EXPECT_FALSE(a.p1.facingRight);
    a.p2.xPos = a.p1.xPos = 400;
    a.p1.setDir(true);
    a.pass();
    EXPECT_FALSE(a.p1.facingRight);
    a.p2.xPos = 700;
    a.p1.changeAction(&a.moves.returnMove("punch"));
    a.pass();
    EXPECT_FALSE(a.p1.facingRight);
}

TEST(PlayerControl, FrameSoundsPlayOncePerRun) {
    Arena a;
    a.p1.changeAction(&a.moves.returnMove("swing"));
    a.pass();
    const char* miss = "DID NOT FIND SOUND EFFECT"; // the test set has no sounds
    for (int f = 1; f <= 3; f++) {
        a.p1.frame = f;
        a.pass();
        EXPECT_EQ(count(a.trace.text(), miss), f == 1 ? 1 : f == 2 ? 1 : 2) << f;
    }
    a.pass(); // no frame change: nothing
    EXPECT_EQ(count(a.trace.text(), miss), 2);
}

TEST(PlayerControl, FrameParticlesSpawnWhenTheFirstNameChanges) {
    Arena a;
    a.loadParticles();
    a.p1.changeAction(&a.moves.returnMove("throw"));
    const int expected[] = {0, 1, 1, 1, 3}; // frame 2 repeats frame 1's first name
    for (int f = 0; f <= 4; f++) {
        a.p1.frame = f;
        a.ctl.update();
        EXPECT_EQ(a.live.size(), expected[f]) << f;
    }
    EXPECT_EQ(count(a.trace.text(), "TD: "), 3);
}

TEST(PlayerControl, MissingPiecesNeverCrash) {
    testing_support::HeadlessScreen screen;
    testing_support::TraceCapture trace;
    playerControl bare;
    bare.init(screen.surface());
    SDL_Event e{};
    pushKey(SDLK_z), pushKey(SDLK_UP), pushKey(SDLK_ESCAPE);
    bare.update();
    bare.inputChecking(e);
    bare.updatePosition();
    bare.updateDamageCollision();
    bare.checkParticleCollision(nullptr, 'E');
    bare.takeDamage(nullptr);
    bare.takeDamage(50, 1);
    bare.takeDamage();
    bare.takeBlocking();
    EXPECT_EQ(bare.quitRequested, 1);
}

} // namespace
