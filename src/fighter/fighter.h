// One character on the stage: a sprite whose position is its anchor point
// (between the feet), facing left or right, showing an animation or a move,
// with hit points, gravity, a two-jump budget and the stage edges.
#pragma once

#include "base/colBox.h"
#include "sprite/CSprite.h"

#include <string>

class animationSet;
struct moveInfo;

// Stage constants.
inline constexpr int g_GroundLevel = 530; // anchor y of a standing fighter
inline constexpr int boundaryXLeft = 0;
inline constexpr int boundaryXRight = 800;

class Fighter : public CSprite {
  public:
    int hp = 0;
    int maxHP = 0;
    bool facingRight = false;
    bool savedFacing = false; // facing at the last background save
    bool onGround = false;
    int jumpVel = 0;   // pixels per update, positive upward
    int jumpsLeft = 0; // jumps and air moves left before the next landing
    std::string actionName;
    animationSet* anims = nullptr; // not owned
    moveInfo* curMove = nullptr;   // not owned

    void initS(animationSet* set, SDL_Surface* screen);
    void setHP(int newHP, int newMaxHP);
    void changeHP(int delta);
    void setDir(bool right);
    void changeAnim(const std::string& name);
    void changeAction(moveInfo* move);
    void setRunning();
    void duck();
    void Jump(int strength);
    void Gravity();
    void boundary();
    bool returnBusy() const { return curMove != nullptr; }
    bool returnHitable() const;
    std::string returnMoveName() const;
    colBox getCBox() const;
    colBox getDBox() const;
    // Intended: these hide CSprite's (nothing is virtual); call them on a Fighter.
    void clearBG();
    void updateBG();
    void draw();
    void drawColBoxes();
    // One step of frame time: advance if due; a move is over when its last
    // frame ran out.  Once a pass, after the controllers (drawing never
    // steps it).
    void stepFrame();

  private:
    // The screen rectangle the last updateBG saved, restored as it was.
    SDL_Rect savedRect_{0, 0, 0, 0};
    void makeBackSave();
};
