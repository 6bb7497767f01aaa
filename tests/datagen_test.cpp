// The shipped data folder read back through the game's own loaders: every
// file opens, the character's frames agree on size and anchor, boxes and hit
// data are consistent, and the text tables name only things that exist.
#include "fighter/animationSet.h"
#include "fighter/fighter.h"
#include "fighter/moveSet.h"
#include "particle/SquareCollider.h"
#include "sprite/CSpriteBase.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace testing_support;

namespace {

std::string dataPath(const std::string& rel) {
    return sourceDir() + "/data/" + rel;
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

struct MoveRecord {
    std::string name, command, linkMove, fromMove, condition;
    int linkFrame = 0, fromFrame = 0;
};

std::vector<MoveRecord> readMoveset() {
    std::vector<std::string> l = readLines(dataPath("Tavro/moveset"));
    std::vector<MoveRecord> moves;
    int count = 0;
    if (l.empty() || std::sscanf(l[0].c_str(), "ANIMS: %d", &count) != 1) return moves;
    for (int i = 0; i < count && 1 + 11 * (i + 1) <= static_cast<int>(l.size()); ++i) {
        const std::string* r = &l[1 + 11 * i];
        MoveRecord m;
        m.name = r[0];
        m.command = r[1];
        m.linkMove = r[3];
        m.linkFrame = std::stoi(r[4]);
        m.fromMove = r[6];
        m.fromFrame = std::stoi(r[7]);
        m.condition = r[10];
        moves.push_back(m);
    }
    return moves;
}

// Checks shared by every frame of the character.
void expectCharacterFrames(const std::string& name, const CSpriteBase& set, int width, int height) {
    SCOPED_TRACE(name);
    ASSERT_GT(set.numFrames, 0);
    ASSERT_EQ(set.numFrames, static_cast<int>(set.frames.size()));
    EXPECT_EQ(width, set.width);
    EXPECT_EQ(height, set.height);
    for (const spriteFrame& f : set.frames) {
        ASSERT_NE(nullptr, f.image);
        EXPECT_EQ(width, f.image->w);
        EXPECT_EQ(height, f.image->h);
        EXPECT_EQ(set.frames[0].offsetX, f.offsetX);
        EXPECT_EQ(set.frames[0].offsetY, f.offsetY);
        EXPECT_GT(f.pause, 0);
        EXPECT_LT(f.colX1, f.colX2);
        EXPECT_LT(f.colY1, f.colY2);
        EXPECT_LE(f.colY2, height);
        if (f.damage > 0) {
            EXPECT_EQ(1, f.hitType);
            EXPECT_LT(f.dmgX1, f.dmgX2);
            EXPECT_LT(f.dmgY1, f.dmgY2);
        } else {
            EXPECT_EQ(0, f.hitType);
        }
    }
}

} // namespace

TEST(DefaultData, CharacterAnimationsShareOneSizeAndAnchor) {
    HeadlessScreen screen;
    TraceCapture trace;
    animationSet anims;
    anims.loadAll(dataPath("Tavro").c_str());
    EXPECT_EQ(std::string::npos, trace.text().find("ERROR"));
    const char* names[] = {"blank", "walk", "running", "duck", "inAir", "standing"};
    ASSERT_EQ(6, anims.animCount);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(names[i], anims.animList[i].animName);

    const CSpriteBase& blank = anims.animList[0].frameSet;
    ASSERT_EQ(1, blank.numFrames);
    int w = blank.width, h = blank.height;
    for (const animation& a : anims.animList)
        expectCharacterFrames(a.animName, a.frameSet, w, h);
    // The anchor stands between the feet on the floor, at the bottom of the frame.
    EXPECT_GT(blank.frames[0].offsetY, h - 16);

    // "blank" is see-through everywhere: drawn, it leaves every pixel under it.
    SDL_Surface* img = blank.frames[0].image;
    for (int y = 0; y < h; y += 7)
        for (int x = 0; x < w; x += 5)
            ASSERT_EQ(0x00FF00u, drawnPixel(screen.surface(), img, 0x00FF00, x, y))
                << x << "," << y;
}

TEST(DefaultData, MovesHaveFramesCommandsInPriorityOrderAndHitData) {
    HeadlessScreen screen;
    TraceCapture trace;
    animationSet anims;
    anims.loadAll(dataPath("Tavro").c_str());
    int w = anims.animList.at(0).frameSet.width, h = anims.animList.at(0).frameSet.height;

    std::vector<MoveRecord> moves = readMoveset();
    std::set<std::string> names;
    for (const MoveRecord& m : moves)
        names.insert(m.name);
    for (const char* fixed :
         {"hit1", "blockHi", "blockLo", "blockAir", "backJump", "airBack", "airForward"}) {
        ASSERT_TRUE(names.count(fixed)) << fixed;
    }
    bool hasLink = false, hasCancel = false, hasAirGround = false, throwsFireball = false;
    for (size_t i = 0; i < moves.size(); ++i) {
        const MoveRecord& m = moves[i];
        SCOPED_TRACE(m.name);
        CSpriteBase frames;
        ASSERT_EQ(0, frames.initR(dataPath("Tavro/" + m.name).c_str()));
        expectCharacterFrames(m.name, frames, w, h);
        char last = m.command.empty() ? '?' : m.command.back();
        bool attack = last == 'A' || last == 'B' || last == 'C';
        int damaging = 0;
        bool throws = false;
        for (const spriteFrame& f : frames.frames) {
            damaging += f.damage > 0;
            throws |= !f.partNames.empty();
            for (const std::string& spawn : f.partNames)
                throwsFireball |= spawn.rfind("fireball ", 0) == 0;
        }
        // an attack hurts with its own frames, or throws something that does
        EXPECT_EQ(attack && !throws, damaging > 0);
        // A command may not be hidden by a shorter one it contains earlier in the file.
        for (size_t j = 0; j < i; ++j) {
            bool contained = m.command.find(moves[j].command) != std::string::npos;
            EXPECT_FALSE(contained && moves[j].command != m.command)
                << moves[j].name << " shadows it";
        }
        if (m.linkMove != "NULL") {
            hasLink = true;
            EXPECT_TRUE(names.count(m.linkMove));
        }
        if (m.fromMove != "NULL") {
            hasCancel = true;
            EXPECT_TRUE(names.count(m.fromMove));
        }
        if (m.condition == "ground is false")
            for (const MoveRecord& other : moves)
                hasAirGround |= other.command == m.command && other.condition == "ground is true";
        if (m.condition != "null") {
            EXPECT_EQ(0u, m.condition.find("ground "));
        }
    }
    EXPECT_TRUE(hasLink && hasCancel && hasAirGround && throwsFireball);
    EXPECT_EQ(std::string::npos, trace.text().find("ERROR"));
}

TEST(DefaultData, ParticlesSoundsAndOpponentTableNameRealThings) {
    HeadlessScreen screen;
    TraceCapture trace;
    // particles: the list, each definition's frames and its property file
    std::vector<std::string> list = readLines(dataPath("particle/default"));
    ASSERT_FALSE(list.empty());
    EXPECT_EQ("PARTS: 4", list[0]);
    std::set<std::string> particles;
    for (size_t i = 1; i < list.size(); ++i) {
        std::string name = list[i].substr(0, list[i].find(' '));
        particles.insert(name);
        CSpriteBase frames;
        EXPECT_EQ(0, frames.initR(dataPath("particle/" + name).c_str())) << name;
        EXPECT_GT(frames.numFrames, 0);
        std::vector<std::string> props = readLines(dataPath("particle/" + name + "/particle"));
        EXPECT_GE(props.size(), 10u) << name;
    }
    EXPECT_EQ((std::set<std::string>{"fireball", "spark", "shockwave", "pillar"}), particles);
    std::vector<std::string> fire = readLines(dataPath("particle/fireball/particle"));
    ASSERT_GE(fire.size(), 12u);
    EXPECT_EQ("0", fire[2]);     // flies straight
    EXPECT_EQ("3", fire[5]);     // three sparks when it burns out
    EXPECT_NE("NULL", fire[11]); // first OnHitEnemy entry: it can hit
    // the shockwave rests on the floor, bursts into a pillar when it dies of
    // age, and both can hit
    std::vector<std::string> wave = readLines(dataPath("particle/shockwave/particle"));
    ASSERT_GE(wave.size(), 12u);
    EXPECT_EQ("1", wave[2]);
    EXPECT_GT(std::stoi(wave[1]), 0);
    EXPECT_EQ("1", wave[5]);
    EXPECT_EQ(0u, wave[6].rfind("pillar ", 0));
    EXPECT_NE("NULL", wave[11]);
    std::vector<std::string> pillar = readLines(dataPath("particle/pillar/particle"));
    ASSERT_GE(pillar.size(), 12u);
    EXPECT_NE("NULL", pillar[11]);

    // sounds: both lists, every WAV 16-bit PCM at 22050 Hz and under half a second
    std::set<std::string> common, own;
    for (auto [folder, names] : {std::pair{"soundSet", &common}, std::pair{"Tavro/sound", &own}}) {
        std::vector<std::string> l = readLines(dataPath(std::string(folder) + "/sound"));
        ASSERT_FALSE(l.empty());
        int n = 0;
        ASSERT_EQ(1, std::sscanf(l[0].c_str(), "SOUNDS: %d", &n));
        ASSERT_EQ(static_cast<size_t>(n) + 1, l.size());
        for (int i = 1; i <= n; ++i) {
            names->insert(l[i]);
            std::ifstream wav(dataPath(std::string(folder) + "/" + l[i] + ".wav"),
                              std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(wav)),
                              std::istreambuf_iterator<char>());
            ASSERT_GT(bytes.size(), 44u) << l[i];
            EXPECT_EQ("RIFF", bytes.substr(0, 4));
            EXPECT_EQ("WAVE", bytes.substr(8, 4));
            auto u16 = [&](size_t at) {
                return static_cast<unsigned char>(bytes[at]) |
                       static_cast<unsigned char>(bytes[at + 1]) << 8;
            };
            EXPECT_EQ(1, u16(20));     // PCM
            EXPECT_EQ(22050, u16(24)); // rate
            EXPECT_EQ(16, u16(34));    // bits
            EXPECT_LT(bytes.size() - 44, 22050u * 2 * u16(22) / 2);
        }
    }
    // no name in both lists: the character's copy would never load
    int shared = 0;
    for (const std::string& s : own)
        shared += static_cast<int>(common.count(s));
    EXPECT_EQ(0, shared);

    // the opponent's table: six sections, real moves, range bands in order
    std::set<std::string> moves;
    for (const MoveRecord& m : readMoveset())
        moves.insert(m.name);
    std::vector<std::string> t = readLines(dataPath("Tavro/ai/attack"));
    size_t at = 0;
    for (int section = 1; section <= 6; ++section) {
        SCOPED_TRACE(section);
        int n = -1;
        ASSERT_LT(at, t.size());
        ASSERT_EQ(1, std::sscanf(t[at++].c_str(), "Attacks: %d", &n));
        std::string order;
        std::string lastKey;
        std::set<std::string> keysSeen;
        for (int i = 0; i < n; ++i, at += 4) {
            ASSERT_LE(at + 4, t.size());
            EXPECT_TRUE(moves.count(t[at])) << t[at];
            if (order.empty() || order.back() != t[at + 1][0]) order += t[at + 1][0];
            std::string key = section == 5 ? t[at + 3] : t[at + 2];
            if (section >= 5) {
                EXPECT_TRUE(moves.count(key)) << key;
                // entries sharing a key stand together
                if (key != lastKey) {
                    EXPECT_TRUE(keysSeen.insert(key).second) << key;
                }
                lastKey = key;
            }
        }
        if (section == 1 || section == 3) {
            EXPECT_EQ("SMLUD", order);
        }
    }
    EXPECT_EQ(t.size(), at);
    EXPECT_EQ(std::string::npos, trace.text().find("ERROR"));
}

TEST(DefaultData, StageAndBarArtFitTheScreen) {
    HeadlessScreen screen;
    TraceCapture trace;
    SDL_Surface* stage = SDL_LoadBMP(dataPath("tBG2.bmp").c_str());
    ASSERT_NE(nullptr, stage);
    EXPECT_EQ(800, stage->w);
    EXPECT_EQ(600, stage->h);
    SDL_FreeSurface(stage);

    CSpriteBase bar;
    ASSERT_EQ(0, bar.init(dataPath("hpBar").c_str()));
    ASSERT_EQ(1, bar.numFrames);
    // the bar rectangle 10,5 360x20 lies inside the frame art, which is opaque
    EXPECT_GE(bar.width, 370);
    EXPECT_GE(bar.height, 25);
    // and drawn whole: no pixel of it lets the stage through.
    SDL_Surface* art = bar.frames[0].image;
    for (int y = 0; y < bar.height; y += 3)
        for (int x = 0; x < bar.width; x += 7)
            ASSERT_EQ(rgbAt(art, x, y), drawnPixel(screen.surface(), art, 0x00FF00, x, y))
                << x << "," << y;
}

TEST(DefaultData, MoveListsPutLongerCommandsFirst) {
    HeadlessScreen screen;
    TraceCapture trace;
    moveSet moves;
    moves.loadAll(dataPath("Tavro").c_str());
    EXPECT_EQ(std::string::npos, trace.text().find("ERROR"));
    auto names = [&](const char* key) {
        std::string out;
        for (moveInfo* m : moves.returnMoveList(key))
            out += m->name + " ";
        return out;
    };
    EXPECT_EQ("fireball uppercut palmStrike crouchPunch airPunch punch ", names("A"));
    EXPECT_EQ("sweep crouchKick airKick kick ", names("B"));
    EXPECT_EQ("shockwave crouchHeavy airHeavy heavy ", names("C"));
    EXPECT_EQ("punch", moves.returnMove("uppercut").linkMove);
    EXPECT_EQ("crouchPunch", moves.returnMove("palmStrike").linkMove);
    EXPECT_EQ("kick", moves.returnMove("sweep").fromMove);
    EXPECT_EQ("ground is false", moves.returnMove("airKick").condition);
    EXPECT_EQ("ground is true", moves.returnMove("kick").condition);
}

// Pressed against each other as the push-apart leaves two fighters, every
// attack lands on its active frames: its damage box meets the defender's body
// box under the game's corner test.  The fireball leaves the hand clear of
// the thrower's own body.
TEST(DefaultData, AttacksReachAnOpponentStandingAtArmsLength) {
    HeadlessScreen screen;
    TraceCapture trace;
    animationSet anims;
    anims.loadAll(dataPath("Tavro").c_str());
    moveSet moves;
    moves.loadAll(dataPath("Tavro").c_str());

    auto place = [&](Fighter& f, int x, int y, bool right) {
        f.initS(&anims, screen.surface());
        f.changeAnim("standing");
        f.setDir(right);
        f.xPos = x;
        f.yPos = y;
        f.onGround = y == g_GroundLevel;
        f.jumpsLeft = 2;
    };
    const std::set<std::string> low = {"kick",       "sweep",       "crouchPunch",
                                       "crouchKick", "crouchHeavy", "airHeavy"};
    for (const char* name :
         {"punch", "kick", "heavy", "uppercut", "sweep", "airKick", "crouchPunch", "crouchKick",
          "crouchHeavy", "airPunch", "airHeavy", "palmStrike"}) {
        SCOPED_TRACE(name);
        bool air = std::string(name).rfind("air", 0) == 0;
        for (const char* stance : {"standing", "duck"}) {
            if (std::string(stance) == "duck" && !low.count(name)) continue;
            Fighter attacker, defender;
            place(attacker, 300, g_GroundLevel, true);
            place(defender, 300, g_GroundLevel, false);
            defender.changeAnim(stance);
            // step the defender away until the bodies no longer touch
            while (SquareCollider(attacker.getCBox(), defender.getCBox()).collisionCheck())
                defender.xPos += 1;
            defender.xPos += 2;
            if (air) attacker.yPos = g_GroundLevel - 60;
            moveInfo& move = moves.returnMove(name);
            attacker.changeAction(&move);
            ASSERT_EQ(name, attacker.actionName);
            bool landed = false;
            for (int i = 0; i < move.frameSet.numFrames; ++i) {
                attacker.frame = i;
                if (attacker.getDamage() <= 0) continue;
                landed |= SquareCollider(defender.getCBox(), attacker.getDBox()).collisionCheck();
            }
            EXPECT_TRUE(landed) << stance;
        }
    }

    Fighter thrower;
    place(thrower, 300, g_GroundLevel, true);
    moveInfo& fireball = moves.returnMove("fireball");
    thrower.changeAction(&fireball);
    CSpriteBase ball;
    ASSERT_EQ(0, ball.initR(dataPath("particle/fireball").c_str()));
    int spawns = 0;
    for (int i = 0; i < fireball.frameSet.numFrames; ++i) {
        const spriteFrame& f = fireball.frameSet.frames[i];
        thrower.frame = i;
        for (const std::string& line : f.partNames) {
            char word[64] = {0};
            int dx = 0, dy = 0;
            ASSERT_EQ(3, std::sscanf(line.c_str(), "%63s %d %d", word, &dx, &dy));
            ++spawns;
            const spriteFrame& b = ball.frames[0];
            int left = thrower.xPos + dx - b.offsetX + b.colX1;
            EXPECT_GT(left, thrower.getCBox().right);
            int centreY = thrower.yPos - dy;
            EXPECT_GT(centreY, thrower.getCBox().top);
            EXPECT_LT(centreY, thrower.getCBox().bottom);
        }
    }
    EXPECT_EQ(1, spawns);
}

// Moves performed in the air end with the landing, not before it: a move
// that ran out in mid-air would leave the fighter in a standing pose while it
// falls.  Played with the game's own frame timing and gravity steps.
TEST(DefaultData, AirMovesLastUntilTheLanding) {
    HeadlessScreen screen;
    TraceCapture trace;
    ManualClock clock(1000);
    animationSet anims;
    anims.loadAll(dataPath("Tavro").c_str());
    moveSet moves;
    moves.loadAll(dataPath("Tavro").c_str());

    struct Case {
        const char* move;
        int jumpSteps; // gravity steps of a plain jump before the move starts; -1: from the floor
    };
    for (Case c :
         {Case{"backJump", -1}, Case{"airKick", 1}, Case{"airPunch", 1}, Case{"airHeavy", 1},
          Case{"airForward", 16}, Case{"airBack", 16}, Case{"blockAir", 1}}) {
        SCOPED_TRACE(c.move);
        Fighter f;
        f.initS(&anims, screen.surface());
        f.speed = 3.0f;
        f.setDir(true);
        f.xPos = 300;
        f.yPos = g_GroundLevel;
        f.onGround = true;
        f.jumpsLeft = 2;
        if (c.jumpSteps >= 0) {
            f.Jump(16);
            for (int i = 0; i < c.jumpSteps; ++i)
                f.Gravity();
        }
        f.stepFrame(); // the game steps every pass, so frame timing starts now
        f.changeAction(&moves.returnMove(c.move));
        ASSERT_EQ(c.move, f.actionName);
        int highest = f.yPos;
        bool landed = false;
        for (int step = 0; step < 300 && !landed; ++step) {
            clock.advance(10);
            f.stepFrame();
            bool busyBefore = f.returnBusy();
            f.Gravity();
            highest = std::min(highest, f.yPos);
            landed = f.onGround && f.actionName == "walk";
            if (!landed) {
                ASSERT_TRUE(busyBefore) << "the move ended in the air at step " << step;
            }
        }
        EXPECT_TRUE(landed);
        if (c.jumpSteps < 0) {
            EXPECT_LT(highest, g_GroundLevel - 30); // a real hop
        }
    }
}
