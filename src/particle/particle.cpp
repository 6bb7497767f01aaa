#include "particle/particle.h"

#include "base/dataLimits.h"
#include "base/seams.h"
#include "base/textFile.h"
#include "fighter/fighter.h"
#include "particle/SquareCollider.h"
#include "particle/partInfoList.h"
#include "particle/particleInfo.h"

#include <vector>

namespace {

// How far beyond a stage edge a particle may fly before it is gone.
constexpr int stageMargin = 80;

// Index of an event keyword, -1 for anything else.
int eventIndex(const std::string& name) {
    static const char* const keywords[eventKinds] = {"OnDeath", "OnHitPlayer", "OnHitEnemy",
                                                     "OnHitTarget", "OnHitAlly"};
    for (int i = 0; i < eventKinds; ++i)
        if (name == keywords[i]) return i;
    return -1;
}

// A spawn line read as the game spawns from it: its words are traced.
particle::spawnLine tracedSpawnLine(const std::string& line) {
    std::vector<std::string> words = text::splitWords(line, 3);
    for (size_t i = 0; i < words.size(); ++i)
        seams::trace() << "BIT[" << i << "]: " << words[i] << "\n";
    return particle::readSpawnLine(line);
}

// The definition a spawn line names; none for "NULL", an empty line or a
// name the list does not hold (such a particle is never spawned).
particleInfo* findDefinition(partInfoList* definitions, const std::string& name) {
    if (!definitions || name.empty() || name == "NULL") return nullptr;
    particleInfo* found = definitions->findParticle(name);
    if (found && !found->frameSet) return nullptr;
    return found;
}

} // namespace

particle::spawnLine particle::readSpawnLine(const std::string& line) {
    std::vector<std::string> words = text::splitWords(line, 3);
    spawnLine spawn;
    if (!words.empty()) spawn.name = words[0];
    if (words.size() > 1) spawn.dx = dataLimits::clampCoordinate(text::leadingInt(words[1]));
    if (words.size() > 2) spawn.dy = dataLimits::clampCoordinate(text::leadingInt(words[2]));
    return spawn;
}

void particle::init(const std::string& line, Fighter* ownerFighter, CSprite* anchorSprite,
                    partInfoList* definitions, SDL_Surface* screen, int tick) {
    owner = ownerFighter;
    thrower = ownerFighter;
    facingRight = owner ? owner->facingRight : true;
    spawn(line, anchorSprite, definitions, screen, tick, false);
}

void particle::initD(const std::string& line, bool facing, CSprite* anchorSprite,
                     partInfoList* definitions, SDL_Surface* screen, int tick) {
    owner = nullptr;
    facingRight = facing;
    spawn(line, anchorSprite, definitions, screen, tick, true);
}

void particle::spawn(const std::string& line, CSprite* anchorSprite, partInfoList* definitions,
                     SDL_Surface* screen, int tick, bool offsetsOnScreen) {
    defs = definitions;
    screenSurf = screen;
    anchor = anchorSprite;
    startTime = tick;

    spawnLine words = tracedSpawnLine(line);
    info = findDefinition(defs, words.name);
    if (!info) {
        anchor = nullptr;
        return;
    }
    sprite.init(info->frameSet.get(), screenSurf, true);

    // From a fighter the y offset counts upward from its feet; from an
    // anchor sprite it counts downward from the sprite's top.  A follow-up
    // particle without an anchor takes its offsets as a point on the screen.
    // Worked out wide and kept on the position range: a chain of follow-ups
    // each spawned an offset further never leaves the int range.
    const long long dx = facingRight ? words.dx : -static_cast<long long>(words.dx);
    spawnX = offsetsOnScreen ? words.dx : -999;
    spawnY = offsetsOnScreen ? words.dy : -999;
    if (owner) {
        spawnX = dataLimits::clampPosition(owner->xPos + dx);
        spawnY = dataLimits::clampPosition(static_cast<long long>(owner->yPos) - words.dy);
    }
    if (anchor) {
        spawnX = dataLimits::clampPosition(anchor->xPos + dx);
        spawnY = dataLimits::clampPosition(static_cast<long long>(anchor->yPos) + words.dy);
    }
    anchor = nullptr;
    sprite.speed = frameSpeed;
    sprite.adjustPos(spawnX, spawnY, facingRight);
    seams::trace() << "Particle damage " << getDamage() << " hit type " << getHitType() << "\n";
}

void particle::update() {
    if (!info) return;
    // A particle already dead (hit an enemy) does not die a second time of
    // old age: a hit never leads to follow-up particles.
    bool wasDead = dead;

    sprite.moveD(facingRight);
    if (info->hasGravity) gravity();

    if (sprite.xPos > boundaryXRight + stageMargin || sprite.xPos < boundaryXLeft - stageMargin)
        dead = true;

    // A particle with nothing to show and no time limit would stay forever,
    // invisible and unable to hit: it goes at once, without follow-ups.
    if (!wasDead && info->lifetime <= 0 && (!info->frameSet || info->frameSet->frames.empty())) {
        dead = true;
        return;
    }

    // Age in milliseconds, taken modulo 2^32 so that it stays right when the
    // millisecond counter wraps around (after 49.7 days) or passes the top
    // of the signed range its readings are kept in (after 24.8 days).
    const Sint32 age = static_cast<Sint32>(seams::ticks() - static_cast<Uint32>(startTime));
    if (!wasDead && info->lifetime > 0 && age > info->lifetime) {
        dead = true;
        if (info->firstEntry(OnDeath) != "NULL") event = "OnDeath";
    }
}

void particle::gravity() {
    // The lowest box edge of the first frame rests on the ground line; a
    // particle one pixel short of it falls one pixel too far and is put
    // back on the next step.
    // Intended: frame 0's boxes decide where it rests, whatever frame shows.
    int yOffset = sprite.getYOffset(0);
    if (sprite.yPos + yOffset > g_GroundLevel - 1)
        sprite.yPos = g_GroundLevel - yOffset;
    else
        sprite.yPos += g_gravitySpeed;
}

bool particle::checkCollision(colBox box, char side) {
    if (dead || !info) return false;
    SquareCollider test(box, sprite.getColBox(facingRight));
    if (!test.collisionCheck()) return false;

    // Intended: a contact is traced twice, on two identical lines.
    seams::trace() << "Particle hit: damage " << getDamage() << " hit type " << getHitType()
                   << "\n";
    seams::trace() << "Particle hit: damage " << getDamage() << " hit type " << getHitType()
                   << "\n";
    if (side != 'E') return true;

    // Only a particle with something on its hit-enemy list can hit an enemy.
    if (info->firstEntry(OnHitEnemy) == "NULL") return false;
    dead = true;
    return true;
}

int particle::getDamage() const {
    return sprite.getDamage();
}

int particle::getHitType() const {
    return sprite.getHitType();
}

int particle::getPartNum(const std::string& eventName) const {
    int index = eventIndex(eventName);
    if (index < 0 || !info) return 0;
    return static_cast<int>(info->eventParts[index].size());
}

std::string particle::getNewPart(const std::string& eventName, int index) const {
    int event = eventIndex(eventName);
    if (event < 0 || !info) return "";
    if (event == OnDeath) seams::trace() << "OnDeath: " << info->firstEntry(OnDeath) << "\n";
    const std::vector<std::string>& entries = info->eventParts[event];
    if (index < 0 || index >= static_cast<int>(entries.size())) return "";
    return entries[index];
}
