// Particle definitions, particles and the particle list, on generated data.
#include "base/dataLimits.h"
#include "base/platform.h"
#include "base/seams.h"
#include "fighter/fighter.h"
#include "particle/partInfoList.h"
#include "particle/particle.h"
#include "particle/particleInfo.h"
#include "particle/particleList.h"

#include "dataFolder.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace testing_support;

namespace {

// One frame of a particle's frame set: 20 x 20, red, with both boxes over
// the whole image; its damage does not count as a hit.
FrameDescription particleFrame() {
    FrameDescription f;
    f.w = f.h = 20;
    f.colour = 0xFF0000;
    f.offX = f.offY = 10;
    for (int* box : {f.col, f.dmg}) {
        box[0] = box[1] = 0;
        box[2] = box[3] = 19;
    }
    f.damage = 7;
    f.hitType = 2;
    f.pause = 50;
    return f;
}

// The particle file: five numbers and five event lists.
std::string definitionText(int lifetime, int gravity, const std::string& onDeath = "0\n",
                           const std::string& onHitEnemy = "0\n") {
    return "0\n" + std::to_string(lifetime) + "\n" + std::to_string(gravity) + "\n0\n0\n" +
           onDeath + "0\n" + onHitEnemy + "0\n0\n";
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

// A stage in a temporary folder: data/particle/ with generated definitions,
// a headless screen and the test clock.
class ParticleStage : public ::testing::Test {
  protected:
    HeadlessScreen screen;
    TempDir dir;
    ManualClock clock{0};
    TraceCapture capture;
    partInfoList defs;
    std::string previousDir;

    void SetUp() override {
        previousDir = platform::currentDirectory();
        ASSERT_TRUE(platform::changeDirectory(dir.path()));
    }
    void TearDown() override { platform::changeDirectory(previousDir); }

    void frames(const std::string& name, const std::vector<FrameDescription>& framesWanted) {
        writeFrameFolder(dir, "data/particle/" + name, framesWanted);
    }
    void define(const std::string& name, const std::string& properties,
                FrameDescription f = particleFrame()) {
        frames(name, {f});
        dir.write("data/particle/" + name + "/particle", properties);
    }
    void loadList(const std::string& listFile) {
        dir.write("data/particle/default", listFile);
        ASSERT_EQ(defs.addList("default", screen.surface()), 1);
    }
};

using PartInfoListTest = ParticleStage;
using ParticleTest = ParticleStage;
using ParticleListTest = ParticleStage;

} // namespace

TEST_F(PartInfoListTest, LoadsDefinitionsNewestFirstAndFindsExactNames) {
    define("fire", "0\n500\n2\n1\n0\n"
                   "1\nNULL\n"               // OnDeath: one entry, the word NULL
                   "0\n"                     // OnHitPlayer
                   "2\n12\nspark 10 -20\r\n" // OnHitEnemy: names, even when numeric
                   "-5\n"                    // OnHitTarget
                   "0\n");
    define("spark", definitionText(0, 1));
    frames("plain", {particleFrame()}); // no particle file
    loadList("PARTS: 3\nfire 3 ignored\nspark\t1\nplain\n");

    std::string trace = capture.text();
    EXPECT_NE(trace.find("New Particle: fire 3 ignored\n"), std::string::npos);
    EXPECT_NE(trace.find("BIT[0]: data/particle/fire\n"), std::string::npos);
    EXPECT_NE(trace.find("BIT[1]: 3\n"), std::string::npos);
    EXPECT_EQ(countOf(trace, "Adding particle"), 1);
    EXPECT_EQ(countOf(trace, "adding another particle"), 2);
    EXPECT_NE(trace.find("ERROR opening file data/particle/plain/particle\n\n"), std::string::npos);

    ASSERT_NE(defs.head, nullptr);
    EXPECT_EQ(defs.head->name, "plain");
    EXPECT_EQ(defs.head->next->name, "spark");
    EXPECT_EQ(defs.head->next->next->name, "fire");
    EXPECT_EQ(defs.head->next->next->next, nullptr);

    particleInfo* fire = defs.findParticle("fire");
    ASSERT_EQ(fire, &defs.head->next->next->info);
    EXPECT_EQ(fire->listNumber, 3);
    EXPECT_EQ(fire->lifetime, 500);
    EXPECT_FALSE(fire->hasGravity); // only 1 is true
    EXPECT_TRUE(fire->extraFlagA);
    EXPECT_TRUE(fire->loaded);
    EXPECT_EQ(fire->screenSurf, screen.surface());
    ASSERT_TRUE(fire->frameSet);
    EXPECT_EQ(fire->frameSet->numFrames, 1);
    EXPECT_EQ(fire->eventCount[OnDeath], 1);
    EXPECT_EQ(fire->firstEntry(OnDeath), "NULL");
    EXPECT_EQ(fire->eventCount[OnHitPlayer], 0);
    EXPECT_EQ(fire->firstEntry(OnHitPlayer), "NULL");
    ASSERT_EQ(fire->eventParts[OnHitEnemy].size(), 2u);
    EXPECT_EQ(fire->eventParts[OnHitEnemy][0], "12");
    EXPECT_EQ(fire->eventParts[OnHitEnemy][1], "spark 10 -20");
    EXPECT_EQ(fire->eventCount[OnHitTarget], 0);
    EXPECT_TRUE(fire->eventParts[OnHitTarget].empty());

    particleInfo* spark = defs.findParticle("spark");
    ASSERT_NE(spark, nullptr);
    EXPECT_TRUE(spark->hasGravity);
    EXPECT_EQ(spark->listNumber, 1);

    // A definition without its particle file keeps zero values.
    particleInfo* plain = defs.findParticle("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->listNumber, 0);
    EXPECT_EQ(plain->lifetime, 0);
    EXPECT_FALSE(plain->hasGravity);
    EXPECT_EQ(plain->firstEntry(OnDeath), "NULL");

    capture.clear();
    EXPECT_EQ(defs.findParticle("fir"), nullptr);
    EXPECT_EQ(defs.findParticle("fire "), nullptr);
    EXPECT_EQ(defs.findParticle("Fire"), nullptr);
    EXPECT_EQ(defs.findParticle(""), nullptr);
    EXPECT_EQ(countOf(capture.text(), "not success\n"), 4);
}

TEST_F(PartInfoListTest, MissingListsDuplicatesAndHostileCounts) {
    EXPECT_EQ(defs.addList("nothing", screen.surface()), -1);
    EXPECT_NE(capture.text().find("ERROR opening file data/particle/nothing\n\n"),
              std::string::npos);
    EXPECT_EQ(defs.head, nullptr);

    dir.write("data/particle/odd", "PART 2\nfire\nfire\n");
    EXPECT_EQ(defs.addList("odd", screen.surface()), 1);
    EXPECT_EQ(defs.head, nullptr);

    // Counts far beyond what the files hold: only the lines present count.
    define("fire", "0\n100\n1\n0\n0\n"
                   "2000000000\nspark\nNULL\n");
    define("spark", definitionText(0, 0));
    loadList("PARTS: 1000000000\nfire 1\nfire 2\n");
    particleInfo* fire = defs.findParticle("fire");
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->listNumber, 2); // the one loaded last wins
    ASSERT_EQ(fire->eventParts[OnDeath].size(), 2u);
    EXPECT_EQ(fire->eventCount[OnDeath], 2);
    EXPECT_EQ(fire->eventParts[OnDeath][1], "NULL");
    EXPECT_TRUE(fire->eventParts[OnHitEnemy].empty());

    // A later list adds to the same chain.
    dir.write("data/particle/more", "PARTS: 1\nspark 9\n");
    EXPECT_EQ(defs.addList("more", screen.surface()), 1);
    EXPECT_EQ(defs.head->name, "spark");
    EXPECT_EQ(defs.findParticle("spark")->listNumber, 9);
    EXPECT_EQ(defs.findParticle("fire"), fire);
}

TEST_F(ParticleTest, SpawnPointsFromOwnerAnchorAndScreen) {
    FrameDescription f = particleFrame();
    f.offX = 4;
    f.offY = 6;
    define("ball", definitionText(0, 0), f);
    loadList("PARTS: 1\nball\n");

    // Neither owner nor anchor: parked off the stage.
    particle lost;
    lost.init("ball", nullptr, nullptr, &defs, screen.surface(), 77);
    ASSERT_TRUE(lost.valid());
    EXPECT_EQ(lost.spawnX, -999);
    EXPECT_EQ(lost.spawnY, -999);
    EXPECT_EQ(lost.sprite.xPos, -999 - 4);
    EXPECT_EQ(lost.sprite.yPos, -999 - 6);
    EXPECT_TRUE(lost.facingRight);
    EXPECT_EQ(lost.startTime, 77);
    EXPECT_FLOAT_EQ(lost.sprite.speed, 3.0f);

    // From a fighter the y offset raises the point.
    Fighter owner;
    owner.xPos = 300;
    owner.yPos = 400;
    owner.facingRight = false;
    particle left;
    left.init("ball 40 60\n", &owner, nullptr, &defs, screen.surface(), 0);
    EXPECT_EQ(left.spawnX, 260);
    EXPECT_EQ(left.spawnY, 340);
    EXPECT_FALSE(left.facingRight);
    EXPECT_EQ(left.owner, &owner);
    EXPECT_EQ(left.sprite.xPos, 260 - (20 - 4)); // mirrored anchor
    EXPECT_EQ(left.sprite.yPos, 340 - 6);
    owner.facingRight = true;
    particle right;
    right.init("ball\t40 60\r\n", &owner, nullptr, &defs, screen.surface(), 0);
    EXPECT_EQ(right.spawnX, 340);
    EXPECT_EQ(right.spawnY, 340);
    EXPECT_EQ(right.sprite.xPos, 340 - 4);

    // From a sprite the y offset lowers it, and the sprite wins over the owner.
    CSprite anchor;
    anchor.xPos = 100;
    anchor.yPos = 200;
    particle anchored;
    anchored.init("ball 40 60", &owner, &anchor, &defs, screen.surface(), 0);
    EXPECT_EQ(anchored.spawnX, 140);
    EXPECT_EQ(anchored.spawnY, 260);
    EXPECT_EQ(anchored.anchor, nullptr);

    // Follow-ups: offsets alone are a point on the screen.
    particle onScreen;
    onScreen.initD("ball 100 200", true, nullptr, &defs, screen.surface(), 0);
    EXPECT_EQ(onScreen.spawnX, 100);
    EXPECT_EQ(onScreen.spawnY, 200);
    EXPECT_EQ(onScreen.owner, nullptr);
    particle child;
    child.initD("ball 40 60", false, &anchor, &defs, screen.surface(), 0);
    EXPECT_EQ(child.spawnX, 60);
    EXPECT_EQ(child.spawnY, 260);
    EXPECT_FALSE(child.facingRight);
    particle bare;
    bare.initD("ball", true, &anchor, &defs, screen.surface(), 0);
    EXPECT_EQ(bare.spawnX, 100);
    EXPECT_EQ(bare.spawnY, 200);

    // Lines that name no definition build nothing.
    for (const char* line : {"NULL", "", "  \n", "nosuch 1 2", "bal"}) {
        particle none;
        none.initD(line, true, &anchor, &defs, screen.surface(), 0);
        EXPECT_FALSE(none.valid()) << line;
        none.update();
        EXPECT_FALSE(none.checkCollision(colBox{-2000, -2000, 2000, 2000}, 'E'));
        EXPECT_EQ(none.getPartNum("OnDeath"), 0);
    }
}

TEST_F(ParticleTest, DiesBeyondTheMarginsAndOfOldAge) {
    FrameDescription mover = particleFrame();
    mover.moveX = 5;
    define("slow", definitionText(100, 0, "1\nNULL\n"), mover);
    define("shell", definitionText(100, 0, "2\nslow\nslow\n"));
    define("forever", definitionText(0, 0));
    define("empty", definitionText(100, 0, "0\n"));
    loadList("PARTS: 4\nslow\nshell\nforever\nempty\n");

    // The margins: -80 and 880 alive, one pixel more is gone.
    for (int x : {-81, -80, 880, 881}) {
        particle p;
        p.initD("forever", true, nullptr, &defs, screen.surface(), 0);
        p.sprite.xPos = x;
        p.update();
        EXPECT_EQ(p.dead, x == -81 || x == 881) << x;
    }

    // Moving by the frame's step, mirrored when facing left.
    particle walker;
    walker.initD("slow 200 100", false, nullptr, &defs, screen.surface(), 1000);
    int x = walker.sprite.xPos;
    clock.set(1050);
    walker.update();
    EXPECT_EQ(walker.sprite.xPos, x - 5);

    // Age: alive while start + lifetime equals now, dead one tick later;
    // a first OnDeath entry of NULL asks for nothing.
    clock.set(1100);
    walker.update();
    EXPECT_FALSE(walker.dead);
    clock.set(1101);
    walker.update();
    EXPECT_TRUE(walker.dead);
    EXPECT_EQ(walker.event, "NULL");

    particle shell;
    shell.initD("shell 100 100", true, nullptr, &defs, screen.surface(), 1000);
    clock.set(1100);
    shell.update();
    EXPECT_FALSE(shell.dead);
    clock.set(1101);
    shell.update();
    EXPECT_TRUE(shell.dead);
    EXPECT_EQ(shell.event, "OnDeath");
    EXPECT_EQ(shell.getPartNum("OnDeath"), 2);
    EXPECT_EQ(shell.getNewPart("OnDeath", 1), "slow");
    EXPECT_EQ(shell.getPartNum("OnDying"), 0);
    EXPECT_EQ(shell.getNewPart("ondeath", 0), "");

    particle emptyList;
    emptyList.initD("empty 100 100", true, nullptr, &defs, screen.surface(), 1000);
    emptyList.update();
    EXPECT_TRUE(emptyList.dead);
    EXPECT_EQ(emptyList.event, "NULL");

    // Lifetime 0 never runs out.
    particle forever;
    forever.initD("forever 100 100", true, nullptr, &defs, screen.surface(), 0);
    clock.set(4000000000u);
    forever.update();
    EXPECT_FALSE(forever.dead);
}

TEST_F(ParticleTest, AgeHoldsAcrossTheClockWrapping) {
    define("spark", definitionText(100, 0));
    loadList("PARTS: 1\nspark\n");
    // Spawned just before the top of the signed range (24.8 days) and just
    // before 2^32 (49.7 days): the age runs on through the wrap.
    for (Uint32 start : {0x7FFFFFC0u, 0xFFFFFFC0u}) {
        particle p;
        clock.set(start);
        p.initD("spark 100 100", true, nullptr, &defs, screen.surface(), static_cast<int>(start));
        clock.set(start + 100);
        p.update();
        EXPECT_FALSE(p.dead) << start;
        clock.set(start + 101);
        p.update();
        EXPECT_TRUE(p.dead) << start;
    }
}

TEST_F(ParticleTest, GravityRestsOnTheGroundLineWithOneOvershoot) {
    FrameDescription first = particleFrame();
    first.col[3] = 25;
    first.dmg[3] = 30; // the lower of the two boxes counts
    FrameDescription second = first;
    second.col[3] = 60; // ignored: frame 0 decides
    frames("rock", {first, second});
    dir.write("data/particle/rock/particle", definitionText(0, 1));
    define("feather", definitionText(0, 0));
    loadList("PARTS: 2\nrock\nfeather\n");

    particle rock;
    rock.initD("rock 300 0", true, nullptr, &defs, screen.surface(), 0);
    rock.sprite.frame = 1;
    auto stepFrom = [&](int y) {
        rock.sprite.yPos = y;
        rock.update();
        return rock.sprite.yPos;
    };
    EXPECT_EQ(stepFrom(100), 102);
    EXPECT_EQ(stepFrom(498), 500);
    EXPECT_EQ(rock.sprite.yPos, 500);
    rock.update();
    EXPECT_EQ(rock.sprite.yPos, 500); // at rest
    EXPECT_EQ(stepFrom(499), 501);    // one pixel too far...
    rock.update();
    EXPECT_EQ(rock.sprite.yPos, 500); // ...and back
    EXPECT_EQ(stepFrom(520), 500);

    particle feather;
    feather.initD("feather 300 100", true, nullptr, &defs, screen.surface(), 0);
    int y = feather.sprite.yPos;
    feather.update();
    EXPECT_EQ(feather.sprite.yPos, y);
    feather.gravity(); // the step itself works whatever the definition says
    EXPECT_EQ(feather.sprite.yPos, y + 2);
}

TEST_F(ParticleTest, HitsOnEnemiesNeedAHitEnemyList) {
    FrameDescription f = particleFrame();
    f.damage = 40;
    f.hitType = 3;
    define("ghost", definitionText(0, 0, "0\n", "1\nNULL\n"), f);
    define("bolt", definitionText(0, 0, "1\nghost\n", "1\nghost\n"), f);
    loadList("PARTS: 2\nghost\nbolt\n");
    colBox target{100, 100, 150, 200};

    particle ghost;
    ghost.initD("ghost 120 150", true, nullptr, &defs, screen.surface(), 0);
    EXPECT_FALSE(ghost.checkCollision(target, 'E'));
    EXPECT_FALSE(ghost.dead);
    EXPECT_TRUE(ghost.checkCollision(target, 'P'));
    EXPECT_TRUE(ghost.checkCollision(target, 'P'));
    EXPECT_FALSE(ghost.dead);

    particle bolt;
    bolt.initD("bolt 400 150", true, nullptr, &defs, screen.surface(), 0);
    EXPECT_FALSE(bolt.checkCollision(target, 'E')); // far away
    bolt.sprite.xPos = 140;
    bolt.sprite.yPos = 150;
    EXPECT_TRUE(bolt.checkCollision(target, 'E'));
    EXPECT_TRUE(bolt.dead);
    EXPECT_EQ(bolt.event, "NULL");
    EXPECT_EQ(bolt.getDamage(), 40);
    EXPECT_EQ(bolt.getHitType(), 3);
    EXPECT_FALSE(bolt.checkCollision(target, 'P')); // the dead never collide
    EXPECT_EQ(bolt.getPartNum("OnHitEnemy"), 1);
    EXPECT_EQ(bolt.getNewPart("OnHitEnemy", 0), "ghost");

    // Killed by a hit, it does not die again of age with follow-ups.
    clock.set(10);
    bolt.update();
    EXPECT_EQ(bolt.event, "NULL");
}

TEST_F(ParticleListTest, AddsAtTheHeadAndDrawsOlderOverNewer) {
    FrameDescription red = particleFrame(), blue = particleFrame();
    blue.colour = 0x0000FF;
    define("red", definitionText(0, 0), red);
    define("blue", definitionText(0, 0), blue);
    loadList("PARTS: 2\nred\nblue\n");
    SDL_FillRect(screen.surface(), nullptr, SDL_MapRGB(screen.surface()->format, 0, 255, 0));

    particleList list;
    // An empty list does nothing anywhere.
    list.update();
    list.clearBG();
    list.updateBG();
    list.draw();
    list.debug();
    EXPECT_EQ(rgbAt(screen.surface(), 0, 0), 0x00FF00u);
    EXPECT_EQ(list.size(), 0);

    list.addParticleD("red 110 110", true, nullptr, &defs, screen.surface(), 0);
    EXPECT_NE(capture.text().find("\n\nAdding particle\n"), std::string::npos);
    EXPECT_NE(capture.text().find("particle added\n"), std::string::npos);
    list.addParticleD("blue 110 110", true, nullptr, &defs, screen.surface(), 0);
    EXPECT_NE(capture.text().find("adding another particle\n"), std::string::npos);
    list.addParticleD("NULL", true, nullptr, &defs, screen.surface(), 0);
    list.addParticle("missing 1 2", nullptr, nullptr, &defs, screen.surface(), 0);
    ASSERT_EQ(list.size(), 2);
    particle* blueOne = list.head->item;
    particle* redOne = list.head->next->item;
    EXPECT_EQ(blueOne->info, defs.findParticle("blue"));
    EXPECT_EQ(redOne->info, defs.findParticle("red"));

    list.updateBG();
    list.draw();
    EXPECT_EQ(rgbAt(screen.surface(), 105, 105), 0xFF0000u); // the older one on top

    // A dead particle is not drawn, yet still puts its background back.
    list.clearBG();
    list.updateBG();
    redOne->dead = true;
    list.draw();
    EXPECT_EQ(rgbAt(screen.surface(), 105, 105), 0x0000FFu);
    list.clearBG();
    EXPECT_EQ(rgbAt(screen.surface(), 105, 105), 0x00FF00u);
    list.debug(); // boxes of dead and live alike, without trouble

    // A definition whose frames could not be read and that has no time
    // limit would stay forever, unseen: its particle goes in its first
    // update.
    dir.write("data/particle/bare/particle", definitionText(0, 1));
    dir.write("data/particle/more", "PARTS: 1\nbare\n");
    ASSERT_EQ(defs.addList("more", screen.surface()), 1);
    list.addParticleD("bare 5 5", true, nullptr, &defs, screen.surface(), 0);
    ASSERT_EQ(list.size(), 3);
    list.clearBG();
    list.updateBG();
    list.draw();
    list.debug();
    list.update();
    EXPECT_EQ(list.size(), 1); // the red one was dead, the bare one is gone
    EXPECT_EQ(list.head->item, blueOne);
}

TEST_F(ParticleListTest, DeathByAgeSpawnsFollowUpsInTheSameUpdate) {
    FrameDescription spark = particleFrame();
    spark.moveX = 5;
    define("spark", definitionText(50, 0, "1\nNULL\n"), spark);
    // Entries that name nothing are skipped; the two sparks are made.
    define("shell", definitionText(100, 0, "4\nspark 10 0\nnosuch\nNULL\nspark 20 5\n"));
    loadList("PARTS: 2\nspark\nshell\n");

    particleList list;
    list.addParticleD("shell 300 300", true, nullptr, &defs, screen.surface(), 0);
    particle* shell = list.head->item;
    int x = shell->sprite.xPos, y = shell->sprite.yPos;
    clock.set(100);
    list.update();
    EXPECT_EQ(list.size(), 1);

    capture.clear();
    clock.set(101);
    list.update();
    EXPECT_NE(capture.text().find("pNum 4\n"), std::string::npos);
    EXPECT_NE(capture.text().find("str: spark 10 0\n"), std::string::npos);
    ASSERT_EQ(list.size(), 2); // the shell is gone, two sparks in its place
    particle* second = list.head->item;
    particle* first = list.head->next->item;
    EXPECT_EQ(second->spawnX, x + 20);
    EXPECT_EQ(second->spawnY, y + 5);
    EXPECT_EQ(first->spawnX, x + 10);
    EXPECT_EQ(first->startTime, 101);
    // Not moved by the update that made them.
    EXPECT_EQ(first->sprite.xPos, first->spawnX - 10);
    clock.set(120);
    list.update();
    EXPECT_EQ(first->sprite.xPos, first->spawnX - 10 + 5);

    // The sparks die in turn and leave nothing behind.
    clock.set(152);
    list.update();
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.head, nullptr);
}

TEST_F(ParticleListTest, RemovesEveryDeadParticleHeadAndBody) {
    define("dot", definitionText(0, 0));
    define("pop", definitionText(0, 0, "1\ndot 1 1\n"));
    loadList("PARTS: 2\ndot\npop\n");

    particleList list;
    for (int i = 0; i < 6; ++i)
        list.addParticleD("dot " + std::to_string(10 * i) + " 0", true, nullptr, &defs,
                          screen.surface(), 0);
    // Chain: 50 40 30 20 10 0; kill 50, 40 (head), 20, 10 (body).
    particle* kept[2] = {list.head->next->next->item,
                         list.head->next->next->next->next->next->item};
    list.head->item->dead = true;
    list.head->next->item->dead = true;
    list.head->next->next->next->item->dead = true;
    list.head->next->next->next->next->item->dead = true;
    capture.clear();
    list.removeDead();
    EXPECT_EQ(countOf(capture.text(), "\n\nKilling the head particle\n"), 2);
    EXPECT_EQ(countOf(capture.text(), "\n\nKilling a body bit\n"), 2);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.head->item, kept[0]);
    EXPECT_EQ(list.head->next->item, kept[1]);

    // A dead head with a pending event makes its follow-up first, exactly
    // once, then goes.
    list.addParticleD("pop 500 500", true, nullptr, &defs, screen.surface(), 0);
    list.head->item->dead = true;
    list.head->item->event = "OnDeath";
    kept[0]->dead = true;
    kept[1]->dead = true;
    list.removeDead();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.head->item->spawnX, 491); // one pixel off the pop's corner
    EXPECT_EQ(list.head->item->spawnY, 491);
}

TEST_F(ParticleListTest, ASelfMultiplyingChainStopsAtTheCap) {
    // Each cell dies after 10 ms into two cells: without a cap the list
    // doubles every 10 ms until memory runs out.
    define("cell", definitionText(10, 0, "2\ncell 1 0\ncell 2 0\n"));
    define("dot", definitionText(0, 0));
    loadList("PARTS: 2\ncell\ndot\n");

    particleList list;
    list.addParticleD("cell 400 300", true, nullptr, &defs, screen.surface(), 0);
    int most = 0;
    for (Uint32 t = 11; t < 400; t += 11) {
        clock.set(t);
        list.update();
        most = std::max(most, list.size());
    }
    EXPECT_EQ(most, particleList::maxParticles);
    EXPECT_EQ(countOf(capture.text(), "Particle limit of 400 reached"), 1);

    // A spawn from a fighter's move is dropped the same way; room comes
    // back as particles die.
    list.addParticle("dot 1 1", nullptr, nullptr, &defs, screen.surface(), 400);
    EXPECT_LE(list.size(), particleList::maxParticles);
    list.head->item->dead = true;
    list.removeDead();
    const int before = list.size();
    ASSERT_LT(before, particleList::maxParticles);
    list.addParticleD("dot 1 1", true, nullptr, &defs, screen.surface(), 400);
    EXPECT_EQ(list.size(), before + 1);
}

namespace {

// Removal as the list's rules state it, step by step: a spawn pass before
// every removal of a dead head, and for a dead particle in the body a walk
// from the head to find its predecessor.
void removeDeadByTheRules(particleList& list) {
    for (;;) {
        list.makeParticles();
        if (!list.head || !list.head->item->dead) break;
        particleList::node* gone = list.head;
        list.head = gone->next;
        delete gone->item;
        delete gone;
        seams::trace() << "\n\nKilling the head particle\n";
    }
    if (!list.head) return;
    particleList::node* at = list.head->next;
    while (at) {
        if (!at->item->dead) {
            at = at->next;
            continue;
        }
        particleList::node* before = list.head;
        while (before->next != at)
            before = before->next;
        before->next = at->next;
        delete at->item;
        delete at;
        seams::trace() << "\n\nKilling a body bit\n";
        at = before->next;
    }
}

std::string chainOf(const particleList& list) {
    std::string out;
    for (particleList::node* at = list.head; at; at = at->next)
        out += std::to_string(at->item->spawnX) + "," + std::to_string(at->item->spawnY) + " ";
    return out;
}

} // namespace

// Many ways a chain can die: runs of dead heads, dead particles in the body,
// pending events whose follow-ups are made, and events whose entries name
// nothing (those particles ask again in every spawn pass).  The list must
// remove the same particles, in the same order, with the same trace.
TEST_F(ParticleListTest, RemovalMatchesTheRulesParticleForParticle) {
    define("dot", definitionText(0, 0));
    define("pop", definitionText(0, 0, "2\ndot 1 1\ndot 2 2\n"));
    define("dud", definitionText(0, 0, "2\nnosuch 1 1\nNULL\n"));
    loadList("PARTS: 3\ndot\npop\ndud\n");

    const char* const kinds[] = {"dot", "pop", "dud"};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        particleList byRules, fast;
        unsigned state = seed * 2654435761u;
        auto next = [&state](unsigned n) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            return state % n;
        };
        const int length = 1 + static_cast<int>(next(30));
        for (int i = 0; i < length; ++i) {
            const char* kind = kinds[next(3)];
            bool dead = next(3) != 0, pending = dead && next(4) == 0;
            for (particleList* list : {&byRules, &fast}) {
                list->addParticleD(std::string(kind) + " " + std::to_string(10 * i) + " 0", true,
                                   nullptr, &defs, screen.surface(), 0);
                list->head->item->dead = dead;
                if (pending) list->head->item->event = "OnDeath";
            }
        }
        capture.clear();
        removeDeadByTheRules(byRules);
        const std::string expectedTrace = capture.text();
        capture.clear();
        fast.removeDead();
        EXPECT_EQ(capture.text(), expectedTrace) << "seed " << seed;
        EXPECT_EQ(chainOf(fast), chainOf(byRules)) << "seed " << seed;
    }
}

// Removal takes steps in proportion to the length of the chain, whatever
// dies: walking the chain again for each dead particle, as the rules are
// written, would take K * K / 2 steps for K particles dying together (8
// million for 4000).  Counted in list steps, for chains of a few thousand
// particles dead at the head, dead behind a live head, and every other one
// dead: the survivors keep their order and every removal is traced.
TEST_F(ParticleListTest, RemovalStepsGrowLinearlyWithTheLengthOfTheChain) {
    for (int length : {250, 1000, 4000}) {
        for (const char* shape : {"all dead", "dead behind a live head", "every other dead"}) {
            auto dies = [shape](int at) {
                if (shape[0] == 'a') return true;
                if (shape[0] == 'd') return at > 0;
                return at % 2 == 0;
            };
            particleList list;
            std::string survivors;
            int dead = 0;
            for (int at = length - 1; at >= 0; --at) { // built from the tail
                particle* p = new particle;
                p->spawnX = at;
                p->dead = dies(at);
                list.head = new particleList::node{p, list.head};
            }
            for (int at = 0; at < length; ++at) {
                if (dies(at))
                    ++dead;
                else
                    survivors += std::to_string(at) + ",0 ";
            }
            capture.clear();
            const long long before = list.steps();
            list.removeDead();
            const long long steps = list.steps() - before;
            EXPECT_LE(steps, 3LL * length) << shape << ", " << length << " particles";
            EXPECT_EQ(survivors, chainOf(list)) << shape << ", " << length << " particles";
            const std::string trace = capture.text();
            size_t killed = 0;
            for (size_t at = trace.find("Killing"); at != std::string::npos;
                 at = trace.find("Killing", at + 1))
                ++killed;
            EXPECT_EQ(static_cast<size_t>(dead), killed) << shape << ", " << length;
        }
    }
}

TEST_F(ParticleListTest, CollideFighterReturnsOnlyTheNewestHit) {
    define("bolt", definitionText(100, 0, "1\nbolt\n", "1\nbolt\n"));
    define("ghost", definitionText(0, 0, "0\n", "1\nNULL\n"));
    loadList("PARTS: 2\nbolt\nghost\n");

    // A fighter whose box spans (380, 450) to (419, 529).
    FrameDescription body = particleFrame();
    body.w = 40;
    body.h = 80;
    body.offX = 20;
    body.offY = 80;
    body.col[2] = 39;
    body.col[3] = 79;
    frames("hero", {body});
    CSpriteBase heroFrames;
    ASSERT_EQ(heroFrames.initR("data/particle/hero"), 0);
    Fighter enemy;
    enemy.init(&heroFrames, screen.surface());
    enemy.xPos = 400;
    enemy.yPos = 530;
    enemy.facingRight = true;

    particleList list;
    EXPECT_EQ(list.collideFighter(&enemy, 'E'), nullptr);
    EXPECT_EQ(list.collideFighter(nullptr, 'E'), nullptr);

    // Spawned from the fighter itself: 10 ahead of its feet and 40 up.
    list.addParticle("bolt 10 40", &enemy, nullptr, &defs, screen.surface(), 0);
    list.addParticle("bolt 15 40", &enemy, nullptr, &defs, screen.surface(), 0);
    list.addParticle("ghost 0 40", &enemy, nullptr, &defs, screen.surface(), 0);
    list.addParticleD("bolt 700 100", true, nullptr, &defs, screen.surface(), 0);
    ASSERT_EQ(list.size(), 4);
    particle* newer = list.head->next->next->item;
    particle* older = list.head->next->next->next->item;
    EXPECT_EQ(older->spawnX, 410);
    EXPECT_EQ(older->spawnY, 490);

    capture.clear();
    EXPECT_EQ(list.collideFighter(&enemy, 'E'), newer);
    EXPECT_EQ(countOf(capture.text(), "player is HIT\n"), 1);
    EXPECT_TRUE(newer->dead);
    EXPECT_FALSE(older->dead);
    EXPECT_EQ(newer->getDamage(), 7); // still readable until the next update
    EXPECT_EQ(list.collideFighter(&enemy, 'E'), older);
    EXPECT_EQ(list.collideFighter(&enemy, 'E'), nullptr); // the ghost passes through
    EXPECT_EQ(list.collideFighter(&enemy, 'P'), list.head->next->item);

    // Both bolts would also be old enough now: a hit still means no
    // follow-ups.  Only the far bolt dies of age and makes one.
    clock.set(101);
    list.update();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.head->next->item->info, defs.findParticle("ghost"));
    EXPECT_EQ(list.head->item->info, defs.findParticle("bolt"));
    EXPECT_EQ(list.head->item->startTime, 101);
}

// The game's own data: the fireball flies until it burns out, its sparks
// drop onto the ground line and go out, and nothing is left behind.
TEST(DefaultParticles, FireballBurnsOutIntoSparksThatFallAndDie) {
    if (!platform::directoryExists(sourceDir() + "/data/particle")) GTEST_SKIP() << "no game data";
    HeadlessScreen screen;
    ManualClock clock(1000);
    TraceCapture capture;
    std::string previousDir = platform::currentDirectory();
    ASSERT_TRUE(platform::changeDirectory(sourceDir()));
    {
        partInfoList defs;
        ASSERT_EQ(defs.addList("default", screen.surface()), 1);
        particleInfo* fireball = defs.findParticle("fireball");
        particleInfo* spark = defs.findParticle("spark");
        ASSERT_NE(fireball, nullptr);
        ASSERT_NE(spark, nullptr);
        ASSERT_GT(fireball->lifetime, 0);
        int sparkCount = static_cast<int>(fireball->eventParts[OnDeath].size());
        ASSERT_GT(sparkCount, 0);

        Fighter hero;
        hero.xPos = 200;
        hero.yPos = g_GroundLevel;
        hero.facingRight = true;
        particleList list;
        // The spawn line as the fireball move's frame holds it.
        list.addParticle("fireball 108 132\n", &hero, nullptr, &defs, screen.surface(),
                         static_cast<int>(clock.now()));
        ASSERT_EQ(list.size(), 1);

        // One pass of the game: move, then restore, save, draw, restore.
        auto pass = [&](Uint32 ms) {
            clock.advance(ms);
            list.update();
            list.clearBG();
            list.updateBG();
            list.draw();
            list.clearBG();
        };
        int lastX = 0;
        for (int i = 0; i < 1000 && list.size() == 1 && list.head->item->info == fireball; ++i) {
            lastX = list.head->item->sprite.xPos;
            pass(10);
        }
        ASSERT_GE(lastX, boundaryXLeft - 80);
        ASSERT_LE(lastX, boundaryXRight + 80);
        ASSERT_EQ(list.size(), sparkCount) << "the fireball left the stage instead";

        int restY = g_GroundLevel - list.head->item->sprite.getYOffset(0);
        std::vector<bool> landed(sparkCount, false);
        for (int i = 0; i < 1000 && list.head; ++i) {
            int k = 0;
            for (particleList::node* at = list.head; at; at = at->next, ++k) {
                ASSERT_EQ(at->item->info, spark);
                ASSERT_LE(at->item->sprite.yPos, restY + 1);
                if (at->item->sprite.yPos == restY) landed[k] = true;
            }
            ASSERT_EQ(k, sparkCount); // sparks spawn nothing and go together
            pass(4);
        }
        EXPECT_EQ(list.head, nullptr);
        for (int k = 0; k < sparkCount; ++k)
            EXPECT_TRUE(landed[k]) << "spark " << k;
    }
    platform::changeDirectory(previousDir);
}

// A spawn line's offsets are kept within the data limits wherever it is read
// (the game and the workbench read it with the same reader); missing words
// leave the name empty or the offsets at 0.
TEST(Particle, SpawnLinesAreReadWithinTheDataLimits) {
    const particle::spawnLine far = particle::readSpawnLine("fireball 200000 -2147483648\r\n");
    EXPECT_EQ(far.name, "fireball");
    EXPECT_EQ(far.dx, dataLimits::coordinate);
    EXPECT_EQ(far.dy, -dataLimits::coordinate);
    const particle::spawnLine near = particle::readSpawnLine("spark -12 40");
    EXPECT_EQ(near.dx, -12);
    EXPECT_EQ(near.dy, 40);
    const particle::spawnLine bare = particle::readSpawnLine("spark");
    EXPECT_EQ(bare.name, "spark");
    EXPECT_EQ(bare.dx, 0);
    EXPECT_EQ(bare.dy, 0);
    EXPECT_EQ(particle::readSpawnLine("").name, "");
}
