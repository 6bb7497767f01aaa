// Body hits, blocking and the hit reaction.  Player 1 (at 300, facing right)
// defends; the opponent stands at 330 facing it and performs the attacks.
#include "control/hitRef.h"
#include "controlFixture.h"

#include <gtest/gtest.h>

using namespace control_fixture;

namespace {

struct Defence : Arena {
    Defence() {
        p1.setHP(1000, 1000);
        p2.xPos = 330;
    }
    void attack(const char* move) { p2.changeAction(&moves.returnMove(move)); }
};

TEST(Damage, OnlyHitTypeOneHurtsAndOnlyOncePerReaction) {
    Defence d;
    d.attack("tap"); // hit type 0
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.hp, 1000);
    EXPECT_EQ(d.p1.actionName, "standing");

    d.attack("jab");
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.hp, 950);
    EXPECT_EQ(d.p1.actionName, "hit1");
    EXPECT_NE(d.trace.text().find("Damage is forced!!!"), std::string::npos);
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.hp, 950);

    d.p1.changeAnim("standing"); // the reaction is over
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.hp, 900);

    d.p1.changeAnim("standing");
    d.attack("crush");
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.hp, 0);

    // Out of reach nothing happens.
    d.p1.changeAnim("standing");
    d.p1.setHP(1000, 1000);
    d.p2.xPos = 600;
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.hp, 1000);
}

TEST(Damage, HoldingBackBlocksByStance) {
    Defence d;
    d.attack("jab");
    d.ctl.blocking = true;
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.actionName, "blockHi");
    EXPECT_NE(d.trace.text().find("BLOCKING"), std::string::npos);
    d.ctl.blocking = false; // a block pose is not hitable either
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.hp, 1000);

    d.ctl.blocking = true;
    d.p1.changeAnim("duck");
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.actionName, "blockLo");

    d.p1.changeAnim("inAir");
    d.p1.onGround = false;
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.actionName, "blockAir");

    // A fighter busy with a move neither blocks nor loses hit points.
    place(d.p1, 300, true);
    d.p1.changeAction(&d.moves.returnMove("punch"));
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.actionName, "punch");
    EXPECT_EQ(d.p1.hp, 1000);
}

TEST(Damage, EveryStanceReactsWithHit1) {
    Defence d;
    hitRef ref;
    moveInfo* hit1 = &d.moves.returnMove("hit1");
    EXPECT_EQ(ref.hitReference(&d.moves, 1, &d.p1), hit1);
    d.p1.changeAnim("duck");
    EXPECT_EQ(ref.hitReference(&d.moves, 1, &d.p1), hit1);
    d.p1.onGround = false;
    EXPECT_EQ(ref.hitReference(&d.moves, 1, &d.p1), hit1);
    EXPECT_EQ(ref.hitReference(&d.moves, 0, &d.p1), nullptr);
    EXPECT_EQ(ref.hitReference(&d.moves, 2, &d.p1), nullptr);
    EXPECT_EQ(ref.hitReference(nullptr, 1, &d.p1), nullptr);

    // In the air with no jumps left the reaction cannot start, so every
    // pass with the overlap costs hit points again.
    d.p1.changeAnim("inAir");
    d.p1.jumpsLeft = 0;
    d.attack("jab");
    d.ctl.updateDamageCollision();
    d.ctl.updateDamageCollision();
    EXPECT_EQ(d.p1.actionName, "inAir");
    EXPECT_EQ(d.p1.hp, 900);
}

TEST(Damage, ParticlesHurtTheOpponentOnce) {
    Defence d;
    d.loadParticles();
    playerControl foe;
    foe.init(d.screen.surface());
    foe.setup(&d.p2, &d.defs, &d.live, nullptr, &d.anims, &d.moves, nullptr, nullptr, &d.targ2);
    d.p2.setHP(1000, 1000);
    d.p2.xPos = 370; // in the fireball's way
    d.live.addParticle("fire 60 0\n", &d.p1, nullptr, &d.defs, d.screen.surface(), 1000);
    foe.checkParticleCollision(&d.live, 'E');
    EXPECT_EQ(d.p2.hp, 960);
    EXPECT_EQ(d.p2.actionName, "hit1");
    EXPECT_NE(d.trace.text().find("Force those damages! 40 1"), std::string::npos);
    d.p2.changeAnim("standing");
    foe.checkParticleCollision(&d.live, 'E'); // the fireball is spent
    EXPECT_EQ(d.p2.hp, 960);

    foe.blocking = true;
    d.live.addParticle("fire 60 0\n", &d.p1, nullptr, &d.defs, d.screen.surface(), 1000);
    foe.checkParticleCollision(&d.live, 'E');
    EXPECT_EQ(d.p2.actionName, "blockHi");
    EXPECT_EQ(d.p2.hp, 960);
}

} // namespace
