// Local versus: both players' input per frame, the recording's form, the
// frame pacing, sounds of frames played again, and which fighter particles
// hit.  The game tests run the real start-up on the shipped data.
#include "game/framePacer.h"
#include "game/matchState.h"
#include "game/soundOnce.h"
#include "game/versusLoop.h"
#include "game/versusRecording.h"
#include "particle/particle.h"
#include "replayRunner.h"
#include "sprite/paletteFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

using testing_support::sourceDir;

namespace {

playerInput input(std::uint16_t held, std::uint16_t pressed) {
    playerInput in;
    in.held = held;
    in.pressed = pressed;
    return in;
}

bool parses(const std::string& text, std::string& error) {
    replayScript script;
    return script.parse(text, error);
}

} // namespace

TEST(VersusRecording, ControlNamesReadBackAndOnlyControlsAreRead) {
    for (std::uint16_t bits = 0; bits <= playerInput::all; ++bits) {
        std::uint16_t back = 0xFFFF;
        const std::string names = versusRecording::controlNames(bits);
        ASSERT_TRUE(versusRecording::controlsFromNames(names, back)) << names;
        EXPECT_EQ(bits, back) << names;
    }
    EXPECT_EQ("down+right+A", versusRecording::controlNames(
                                  playerInput::buttonA | playerInput::right | playerInput::down));
    std::uint16_t bits = 0;
    for (const char* wrong : {"", "+", "A+", "+A", "A++B", "a", "Left", "X", "A+B+"})
        EXPECT_FALSE(versusRecording::controlsFromNames(wrong, bits)) << "'" << wrong << "'";
}

TEST(VersusRecording, OnlyFramesWhereSomethingChangedGetALine) {
    const versusLoop::frameInputs idle{};
    versusLoop::frameInputs walking{input(playerInput::right, 0), input(0, 0)};
    EXPECT_FALSE(versusRecording::needsLine(idle, idle));
    EXPECT_TRUE(versusRecording::needsLine(idle, walking)) << "a control held from now on";
    EXPECT_FALSE(versusRecording::needsLine(walking, walking)) << "still held, nothing pressed";
    versusLoop::frameInputs pressing = walking;
    pressing[1].pressed = playerInput::buttonC;
    EXPECT_TRUE(versusRecording::needsLine(walking, pressing)) << "player 2 pressed C";
    EXPECT_TRUE(versusRecording::needsLine(walking, idle)) << "the control let go";
    EXPECT_EQ("frame 7 right - - C\n", versusRecording::frameLine(7, pressing));
}

// A tap made in code is the file's "tap": the same events, in the same
// order, a new event after those already at its tick.
TEST(ReplayScript, ATapInCodeIsTheFilesTap) {
    replayScript read;
    std::string error;
    ASSERT_TRUE(read.parse("tap 100 z\ndown 140 x\ntap 50 Left\ntap 100 c\n", error)) << error;
    replayScript made;
    made.tap(100, SDLK_z);
    made.events.push_back({140, true, SDLK_x});
    made.tap(50, SDLK_LEFT);
    made.tap(100, SDLK_c);
    ASSERT_EQ(read.events.size(), made.events.size());
    for (std::size_t i = 0; i < read.events.size(); ++i) {
        EXPECT_EQ(read.events[i].tick, made.events[i].tick) << "event " << i;
        EXPECT_EQ(read.events[i].down, made.events[i].down) << "event " << i;
        EXPECT_EQ(read.events[i].key, made.events[i].key) << "event " << i;
    }
}

TEST(ReplayScript, ReadsTheVersusForm) {
    replayScript script;
    std::string error;
    ASSERT_TRUE(script.parse("versus # two players\nseed 9\nframe 3 down - - -\n"
                             "frame 4 down+right A left quit\nend 10\nexpect p1.hp = 1000\n",
                             error))
        << error;
    EXPECT_TRUE(script.versus);
    EXPECT_EQ(9u, script.seed);
    EXPECT_EQ(10u, script.frameCount);
    ASSERT_EQ(2u, script.frames.size());
    EXPECT_EQ(3u, script.frames[0].frame);
    EXPECT_EQ(input(playerInput::down, 0), script.frames[0].inputs[0]);
    EXPECT_EQ(input(playerInput::down | playerInput::right, playerInput::buttonA),
              script.frames[1].inputs[0]);
    EXPECT_EQ(input(playerInput::left, playerInput::quit), script.frames[1].inputs[1]);
    EXPECT_EQ(1u, script.expectations.size());
}

TEST(ReplayScript, RefusesMixedOrBrokenVersusForms) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"seed 1\nversus\nend 5\n", "line 2: 'versus' must be the first instruction"},
        {"versus\nstep 4\nend 5\n", "line 2: 'step' is not part of a versus recording"},
        {"versus\ntap 100 z\nend 5\n", "line 2: 'tap' is not part of a versus recording"},
        {"frame 1 - - - -\n", "line 1: frame lines belong to a versus recording"},
        {"versus\nframe 1 - - -\nend 5\n", "line 2: expected: frame N"},
        {"versus\nframe -1 - - - -\nend 5\n", "line 2: expected: frame N"},
        {"versus\nframe 1 - jump - -\nend 5\n", "line 2: unknown control in 'jump'"},
        {"versus\nframe 2 - - - -\nframe 2 - A - -\nend 5\n",
         "line 3: frame 2 comes after frame 2"},
        {"versus\nframe 1 - - - -\n", "a versus recording needs its length: end FRAMES"},
        {"versus\nframe 5 - A - -\nend 5\n", "line 2: frame 5 is past the end (5 frames)"},
        {"versus\nend 134217728\n", "line 2: expected a number of frames"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parses(c.text, error)) << c.text;
        EXPECT_EQ(0u, error.find(c.says)) << c.text << "\nsaid: " << error;
    }
}

TEST(FramePacer, OneFrameEvery16MsAndABoundedCatchUp) {
    framePacer pacer(16, 4);
    pacer.start(1000);
    EXPECT_EQ(1u, pacer.due(1000)) << "the first frame at once";
    EXPECT_EQ(0u, pacer.due(1015));
    EXPECT_EQ(11u, pacer.waitMs(1005));
    EXPECT_EQ(1u, pacer.due(1016));
    EXPECT_EQ(2u, pacer.due(1050)) << "frames due at 1032 and 1048";
    EXPECT_EQ(0u, pacer.due(1063));
    // A second late: four frames made up, the rest forgiven.
    EXPECT_EQ(4u, pacer.due(2064));
    EXPECT_EQ(0u, pacer.due(2079));
    EXPECT_EQ(1u, pacer.due(2080));
    // Across the wrap of the millisecond counter.
    framePacer wrapping(16, 4);
    wrapping.start(0xFFFFFFF8u);
    EXPECT_EQ(1u, wrapping.due(0xFFFFFFF8u));
    EXPECT_EQ(0u, wrapping.due(0xFFFFFFFFu));
    EXPECT_EQ(1u, wrapping.due(8u));
    EXPECT_EQ(0u, wrapping.due(9u));
}

TEST(SoundOnce, AFramePlayedAgainStartsOnlyWhatItDidNotStartBefore) {
    soundOnce sounds;
    // Played the first time, a frame starts all it names, a sound twice too.
    EXPECT_TRUE(sounds.mayStart(10, 0, "punch", false));
    EXPECT_TRUE(sounds.mayStart(10, 0, "punch", false));
    EXPECT_TRUE(sounds.mayStart(10, 1, "punch", false));
    // Played again after a rollback: nothing twice, but what the frame now
    // names instead does start, once.
    EXPECT_FALSE(sounds.mayStart(10, 0, "punch", true));
    EXPECT_FALSE(sounds.mayStart(10, 1, "punch", true));
    EXPECT_TRUE(sounds.mayStart(10, 0, "kick", true));
    EXPECT_FALSE(sounds.mayStart(10, 0, "kick", true));
    EXPECT_TRUE(sounds.mayStart(11, 0, "punch", true)) << "another frame";
    // Frames far behind are forgotten.
    sounds.forgetFar(10 + soundOnce::memoryFrames);
    EXPECT_EQ(4u, sounds.remembered());
    sounds.forgetFar(11 + soundOnce::memoryFrames);
    EXPECT_EQ(1u, sounds.remembered());
    sounds.forgetFar(12 + soundOnce::memoryFrames);
    EXPECT_EQ(0u, sounds.remembered());
}

namespace {

// A versus match on the shipped data, its frames played by the test.
class VersusGame : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(chdir(sourceDir().c_str()), 0);
        script.versus = true;
        script.frameCount = 100000;
        game = std::make_unique<replayRunner>(script, &trace);
        // The fighters fall onto the ground.
        for (int i = 0; i < 20; ++i)
            play({});
        ASSERT_TRUE(vikings1.onGround && fighter2.onGround);
    }
    void TearDown() override { game.reset(); }

    bool play(const versusLoop::frameInputs& inputs, bool resimulating = false) {
        return versusLoop::playFrame(game->session, frame++, inputs, resimulating, true);
    }
    // Places a particle thrown by `thrower` with its box's centre on the
    // centre of `over`'s body.
    particle* throwOnto(Fighter& thrower, const Fighter& over, const char* kind) {
        pList.addParticle(kind, &thrower, nullptr, &game->session.particleDefs, screen,
                          static_cast<int>(versusLoop::clock()));
        particle* p = pList.head->item;
        placeOver(p, over);
        return p;
    }
    static void placeOver(particle* p, const Fighter& over) {
        const colBox target = over.getCBox();
        const colBox box = p->sprite.getColBox(p->facingRight);
        p->sprite.xPos += (target.left + target.right) / 2 - (box.left + box.right) / 2;
        p->sprite.yPos += (target.top + target.bottom) / 2 - (box.top + box.bottom) / 2;
    }

    replayScript script;
    std::ostringstream trace;
    std::unique_ptr<replayRunner> game;
    std::uint32_t frame = 0;
};

} // namespace

TEST_F(VersusGame, EachPlayersKeysReachOnlyThatPlayer) {
    versusLoop::readInputs(game->session); // nothing waiting
    game->setKey(SDLK_DOWN, true);
    game->setKey(SDLK_z, true);
    game->setKey(SDLK_f, true); // player 2's Down
    game->setKey(SDLK_q, true); // player 2's C
    game->setKey(SDLK_g, true); // player 2's Right
    game->setKey(SDLK_g, false);
    versusLoop::frameInputs in = versusLoop::readInputs(game->session);
    EXPECT_EQ(
        input(playerInput::down | playerInput::buttonA, playerInput::down | playerInput::buttonA),
        in[0]);
    EXPECT_EQ(input(playerInput::down | playerInput::buttonC,
                    playerInput::down | playerInput::buttonC | playerInput::right),
              in[1])
        << "a tap inside the frame is pressed, not held";

    // The next frame: still held, nothing newly pressed.
    in = versusLoop::readInputs(game->session);
    EXPECT_EQ(input(playerInput::down | playerInput::buttonA, 0), in[0]);
    EXPECT_EQ(input(playerInput::down | playerInput::buttonC, 0), in[1]);

    // Escape and J are player 1's.
    game->setKey(SDLK_ESCAPE, true);
    game->setKey(SDLK_j, true);
    in = versusLoop::readInputs(game->session);
    EXPECT_EQ(playerInput::quit | playerInput::boxes, in[0].pressed);
    EXPECT_EQ(0, in[1].pressed);
}

TEST_F(VersusGame, APressActsOnceAFrameAndHeldControlsHoldAllOfIt) {
    // Up pressed and held: one jump, not one per pass.
    play({input(playerInput::up, playerInput::up), {}});
    EXPECT_FALSE(vikings1.onGround);
    EXPECT_EQ(1, vikings1.jumpsLeft);
    for (int i = 0; i < 3; ++i)
        play({input(playerInput::up, 0), {}});
    EXPECT_EQ(1, vikings1.jumpsLeft) << "holding Up jumps no further";

    // Player 2 holds Left (towards player 1) for ten frames and walks all of
    // them; player 1 lands meanwhile.
    const int x = fighter2.xPos;
    for (int i = 0; i < 10; ++i)
        play({playerInput{}, input(playerInput::left, i == 0 ? playerInput::left : 0)});
    EXPECT_LT(fighter2.xPos, x - 30);
    EXPECT_EQ(versusLoop::tickOf(frame - 1, 16), versusLoop::clock())
        << "sixteen passes of 1 ms a frame";
}

TEST_F(VersusGame, DownForwardAInOneFrameIsAFireballForEitherSide) {
    // Pressed together, in the canonical order: Down, then the direction,
    // then A.  Forward is Right for player 1 and Left for player 2.
    play({input(0, playerInput::down | playerInput::right | playerInput::buttonA),
          input(0, playerInput::buttonA | playerInput::left | playerInput::down)});
    EXPECT_EQ("fireball", vikings1.returnMoveName());
    EXPECT_EQ("fireball", fighter2.returnMoveName());
}

TEST_F(VersusGame, QuitEndsTheMatchInTheFramesFirstPass) {
    EXPECT_TRUE(play({}));
    const std::uint32_t quitting = frame;
    EXPECT_FALSE(play({input(0, playerInput::quit), {}}));
    EXPECT_EQ(versusLoop::tickOf(quitting, 1), versusLoop::clock());
}

TEST_F(VersusGame, AFramePlayedAgainWritesNoTrace) {
    trace.str("");
    const versusLoop::frameInputs fireball{
        input(0, playerInput::down | playerInput::right | playerInput::buttonA), {}};
    play(fireball, true);
    EXPECT_EQ("fireball", vikings1.returnMoveName());
    EXPECT_EQ("", trace.str());
    // Played for the first time, frames trace as the game always has.
    for (int i = 0; i < 10; ++i)
        play({});
    EXPECT_NE(std::string::npos, trace.str().find("particle added"));
}

TEST_F(VersusGame, EachPlayersParticlesHitTheOtherAndNeverTheThrower) {
    for (Fighter* thrower : {&vikings1, &fighter2}) {
        Fighter& other = thrower == &vikings1 ? fighter2 : vikings1;
        const int throwerHp = thrower->hp, otherHp = other.hp;
        particle* own = throwOnto(*thrower, *thrower, "fireball");
        checkHits();
        EXPECT_EQ(throwerHp, thrower->hp) << "a fireball hit its own thrower";
        EXPECT_FALSE(own->dead);
        own->dead = true;
        pList.removeDead();

        particle* at = throwOnto(*thrower, other, "fireball");
        const int damage = at->getDamage();
        ASSERT_GT(damage, 0);
        checkHits();
        EXPECT_EQ(otherHp - damage, other.hp);
        EXPECT_EQ(throwerHp, thrower->hp);
        EXPECT_TRUE(at->dead) << "a particle that hits is gone";
        pList.removeDead();
        for (int i = 0; i < 60; ++i) // the hit reaction ends
            play({});
    }
}

TEST_F(VersusGame, FollowUpsBelongToTheThrowerOfWhatSpawnedThem) {
    const particleInfo* pillarKind = game->session.particleDefs.findParticle("pillar");
    ASSERT_NE(nullptr, pillarKind);
    for (Fighter* thrower : {&vikings1, &fighter2}) {
        Fighter& other = thrower == &vikings1 ? fighter2 : vikings1;
        const int throwerHp = thrower->hp, otherHp = other.hp;
        // A shockwave that dies of age leaves a pillar.
        particle* wave = throwOnto(*thrower, *thrower, "shockwave");
        wave->startTime -= 10000;
        pList.update();
        particle* pillar = pList.head ? pList.head->item : nullptr;
        ASSERT_TRUE(pillar && pillar->info == pillarKind) << "the shockwave left no pillar";
        EXPECT_EQ(thrower, pillar->thrower);

        placeOver(pillar, *thrower);
        checkHits();
        EXPECT_EQ(throwerHp, thrower->hp) << "a follow-up hit its thrower";
        EXPECT_FALSE(pillar->dead);
        placeOver(pillar, other);
        checkHits();
        EXPECT_LT(other.hp, otherHp) << "the follow-up missed the other player";
        EXPECT_EQ(throwerHp, thrower->hp);
        pList.removeDead();
        for (int i = 0; i < 60; ++i)
            play({});
    }
}

TEST(VersusAgainstTheComputer, OnlyTheOpponentMeetsParticlesWhoeverThrewThem) {
    // The game against the computer keeps its rule: player 1 is never hit,
    // the opponent even by its own.
    ASSERT_EQ(chdir(sourceDir().c_str()), 0);
    replayScript script;
    replayRunner game(script);
    for (int i = 0; i < 300; ++i)
        game.step();
    const int hp1 = vikings1.hp, hp2 = fighter2.hp;
    for (Fighter* over : {&vikings1, &fighter2}) {
        pList.addParticle("fireball", &fighter2, nullptr, &game.session.particleDefs, screen,
                          static_cast<int>(game.now()));
        particle* p = pList.head->item;
        const colBox target = over->getCBox();
        const colBox box = p->sprite.getColBox(p->facingRight);
        p->sprite.xPos += (target.left + target.right) / 2 - (box.left + box.right) / 2;
        p->sprite.yPos += (target.top + target.bottom) / 2 - (box.top + box.bottom) / 2;
        checkHits();
    }
    EXPECT_EQ(hp1, vikings1.hp);
    EXPECT_LT(fighter2.hp, hp2);
}

namespace {

// The screen's pixel at (x, y) is the stage's.
bool showsStage(int x, int y) {
    SDL_LockSurface(screen);
    SDL_LockSurface(back);
    const Uint32 shown = static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x];
    const Uint32 stage = static_cast<Uint32*>(back->pixels)[y * back->pitch / 4 + x];
    SDL_UnlockSurface(back);
    SDL_UnlockSurface(screen);
    return shown == stage;
}

} // namespace

TEST_F(VersusGame, AFrameKeptShownStaysOnTheScreenUntilTheNextFrame) {
    // Somewhere in player 1's body.
    const colBox body = vikings1.getCBox();
    const int x = (body.left + body.right) / 2, y = (body.top + body.bottom) / 2;
    versusLoop::playFrame(game->session, frame++, {}, false, true);
    EXPECT_TRUE(showsStage(x, y)) << "a frame not kept shown is erased at once";

    versusLoop::playFrame(game->session, frame++, {}, false, true, true);
    EXPECT_FALSE(showsStage(x, y)) << "the frame kept shown was erased";
    versusLoop::finishFrame();
    EXPECT_TRUE(showsStage(x, y));
    versusLoop::finishFrame(); // nothing waits any more

    // The next frame finishes the one on show before it plays.
    versusLoop::playFrame(game->session, frame++, {}, false, true, true);
    versusLoop::playFrame(game->session, frame++, {}, false, false);
    EXPECT_TRUE(showsStage(x, y));
}

TEST_F(VersusGame, AFrameKeptShownHoldsItsHitChecksAndShowStateRedrawsAnErasedOne) {
    // A fireball flying at player 2 from every distance in turn, each in one
    // frame kept shown: whichever pass it lands in, the last included, the
    // hit is in the state when playFrame returns (an online page saves the
    // state and takes its checksum before the frame is erased), and
    // finishing the frame adds nothing.
    matchState state(game->session);
    std::vector<unsigned char> start;
    state.save(start);
    const std::uint32_t at = frame;
    int landed = 0;
    for (int distance = 0; distance < 160; distance += 2) {
        ASSERT_TRUE(state.restore(start));
        const int hp = fighter2.hp;
        particle* fireball = throwOnto(vikings1, fighter2, "fireball");
        fireball->sprite.xPos -= distance;
        versusLoop::playFrame(game->session, at, {}, false, true, true);
        const int shownHp = fighter2.hp;
        versusLoop::finishFrame();
        EXPECT_EQ(shownHp, fighter2.hp) << "a hit waited for the erase, from " << distance;
        if (fighter2.hp < hp) ++landed;
    }
    EXPECT_GT(landed, 0);
    ASSERT_TRUE(state.restore(start));
    frame = at;

    // The game drawn as it is, kept shown, and erased by the next frame.
    const colBox body = vikings1.getCBox();
    const int x = (body.left + body.right) / 2, y = (body.top + body.bottom) / 2;
    ASSERT_TRUE(showsStage(x, y));
    versusLoop::showState();
    EXPECT_FALSE(showsStage(x, y));
    versusLoop::showState(); // on show already: nothing more
    versusLoop::playFrame(game->session, frame++, {}, false, false);
    EXPECT_TRUE(showsStage(x, y));
}

TEST(DocumentedReplays, EveryExampleInTheFormatsDocumentPlaysAsItSays) {
    // docs/replays.md: each ```replay block is a whole recorded game whose
    // expectations must hold.
    ASSERT_EQ(chdir(sourceDir().c_str()), 0);
    std::vector<std::pair<int, std::string>> examples;
    {
        std::ifstream in("docs/replays.md");
        std::string line, text;
        int number = 0, start = 0;
        bool open = false;
        while (std::getline(in, line)) {
            ++number;
            if (line.rfind("```", 0) != 0) {
                if (open) text += line + "\n";
            } else if (!open) {
                ASSERT_EQ("```replay", line) << "line " << number << ": an untagged example";
                open = true;
                start = number;
                text.clear();
            } else {
                open = false;
                examples.emplace_back(start, text);
            }
        }
    }
    ASSERT_EQ(2u, examples.size()) << "one example of each form";
    for (const auto& [line, text] : examples) {
        replayScript script;
        std::string error;
        ASSERT_TRUE(script.parse(text, error)) << "docs/replays.md:" << line << ": " << error;
        EXPECT_FALSE(script.expectations.empty()) << "docs/replays.md:" << line;
        // Each example in a process of its own: the game's globals start fresh.
        EXPECT_EXIT(
            {
                replayRunner game(script);
                game.run();
                const auto failed = game.failedExpectations();
                for (const std::string& f : failed)
                    std::cerr << f << "\n";
                std::exit(failed.empty() ? 0 : 1);
            },
            testing::ExitedWithCode(0), "")
            << "docs/replays.md:" << line;
    }
}

namespace {

// How many pixels of the screen inside the box show one of the colours.
int pixelsOf(const colBox& box, const std::vector<colourSwap>& swaps, bool wornColour) {
    std::set<Uint32> wanted;
    for (const colourSwap& s : swaps) {
        const int* c = wornColour ? s.to : s.from;
        wanted.insert(SDL_MapRGB(screen->format, static_cast<Uint8>(c[0]), static_cast<Uint8>(c[1]),
                                 static_cast<Uint8>(c[2])));
    }
    int count = 0;
    SDL_LockSurface(screen);
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, screen->h); ++y)
        for (int x = std::max(box.left, 0); x < std::min(box.right, screen->w); ++x)
            count += static_cast<int>(
                wanted.count(static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x]));
    SDL_UnlockSurface(screen);
    return count;
}

} // namespace

TEST_F(VersusGame, PlayerTwoWearsTheSecondPaletteAndPlayerOneTheCharactersOwn) {
    paletteFile file;
    ASSERT_TRUE(file.open(std::string("data/Tavro/") + paletteFile::name));
    const std::vector<colourSwap> swaps = file.readSwaps();
    ASSERT_FALSE(swaps.empty());
    ASSERT_EQ(fighter2.colours, &game->session.playerTwoColours);
    EXPECT_EQ(vikings1.colours, nullptr);

    versusLoop::playFrame(game->session, frame++, {}, false, true, true);
    const colBox one = vikings1.getCBox(), two = fighter2.getCBox();
    EXPECT_GT(pixelsOf(one, swaps, false), 100) << "player 1 wears the character's colours";
    EXPECT_GT(pixelsOf(two, swaps, true), 100) << "player 2 wears the second palette";
    EXPECT_EQ(pixelsOf(two, swaps, false), 0) << "no colour of the first palette on player 2";
    versusLoop::finishFrame();
    // Copies are made once per image shown, not once per frame drawn.
    const std::size_t copies = game->session.playerTwoColours.copies();
    versusLoop::playFrame(game->session, frame++, {}, false, true);
    EXPECT_EQ(copies, game->session.playerTwoColours.copies());
}

TEST(VersusAgainstTheComputer, TheOpponentWearsTheCharactersOwnColours) {
    ASSERT_EQ(chdir(sourceDir().c_str()), 0);
    replayScript script;
    replayRunner game(script);
    EXPECT_EQ(fighter2.colours, nullptr);
}
