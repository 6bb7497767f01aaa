// One live projectile or effect: a sprite of a particle definition placed
// relative to the fighter or particle that spawned it.
#pragma once

#include "base/colBox.h"
#include "sprite/CSprite.h"

#include <SDL.h>

#include <string>

class Fighter;
class particleInfo;
class partInfoList;

inline constexpr int g_gravitySpeed = 2; // pixels a falling particle drops per update

class particle {
  public:
    // Particles show every frame three times as long as the frame says.
    static constexpr float frameSpeed = 3.0f;

    // A spawn line, "name [dx [dy]]": the definition it names and the
    // offsets from the spawner, each kept within dataLimits::coordinate.
    // The one reader of spawn lines: the workbench shows them through it.
    struct spawnLine {
        std::string name;
        int dx = 0;
        int dy = 0;
    };
    static spawnLine readSpawnLine(const std::string& line);

    int spawnX = 0;
    int spawnY = 0;
    bool facingRight = true;
    bool dead = false;
    int startTime = 0;
    CSprite sprite;
    particleInfo* info = nullptr;      // not owned
    SDL_Surface* screenSurf = nullptr; // not owned
    partInfoList* defs = nullptr;      // not owned
    Fighter* owner = nullptr;          // not owned
    // Who threw it (follow-ups inherit it): in a versus match a particle
    // never hits its thrower.
    const Fighter* thrower = nullptr;
    CSprite* anchor = nullptr; // only while spawning
    std::string event = "NULL";

    void init(const std::string& line, Fighter* ownerFighter, CSprite* anchorSprite,
              partInfoList* definitions, SDL_Surface* screen, int tick);
    void initD(const std::string& line, bool facing, CSprite* anchorSprite,
               partInfoList* definitions, SDL_Surface* screen, int tick);
    // False when the spawn line named no definition: such a particle is
    // never added to the list.
    bool valid() const { return info != nullptr; }
    void update();
    void gravity();
    bool checkCollision(colBox box, char side);
    int getDamage() const;
    int getHitType() const;
    int getPartNum(const std::string& eventName) const;
    std::string getNewPart(const std::string& eventName, int index) const;

  private:
    // What init and initD share once owner and facing are set: find the
    // definition and place the sprite's anchor on the spawn point.
    void spawn(const std::string& line, CSprite* anchorSprite, partInfoList* definitions,
               SDL_Surface* screen, int tick, bool offsetsOnScreen);
};
