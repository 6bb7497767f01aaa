// A placed, animated use of a frame set that keeps a copy of the screen under
// itself, so that it can erase itself by putting that copy back.
#pragma once

#include "base/colBox.h"
#include "sprite/CSpriteBase.h"
#include "sprite/paletteSwap.h"

#include <SDL.h>

#include <string>

class CSprite {
  public:
    int frame = 0;
    int xPos = 0, yPos = 0; // top-left corner (a fighter: its anchor)
    int oldX = 0, oldY = 0; // where the background was last saved
    int animating = 1;
    int drawn = 0;
    float speed = 0.0f; // multiplier of every frame's pause
    int lastTick = 0;
    CSpriteBase* base = nullptr;       // not owned
    SDL_Surface* backSave = nullptr;   // owned
    SDL_Surface* screenSurf = nullptr; // not owned
    paletteSwap* colours = nullptr;    // not owned: other colours to wear (versus's player 2)

    CSprite() = default;
    ~CSprite();
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // With `saveLater`, the background save is made when the sprite is
    // first drawn rather than now: a particle played only in frames that are
    // never drawn (a rollback) needs none.
    void init(CSpriteBase* set, SDL_Surface* screen, bool saveLater = false);
    void clearBG();
    void updateBG();
    // Drawing shows the current frame and changes nothing the game reads.
    void draw();
    void drawD(bool facing);
    void moveD(bool facing);
    void adjustPos(int x, int y, bool facing);
    int getYOffset(int frameIndex) const;
    colBox getColBox(bool facing) const;
    int getDamage() const;
    int getHitType() const;
    std::string returnSound() const;
    int returnPartNum() const;
    std::string returnParticle(int n) const;
    void drawColBoxes();

    // The current frame as drawn (facing right) / for the given facing;
    // nullptr when the set has no such frame.
    // (Inline: the game asks for every particle's frame several times a pass.)
    const spriteFrame* current() const {
        if (!base || !base->hasFrame(frame)) return nullptr;
        return &base->frames[frame];
    }
    const spriteFrame* current(bool facing) const {
        if (!base || !base->hasFrame(frame)) return nullptr;
        return facing ? &base->frames[frame] : &base->flipFrames[frame];
    }

    // One step of frame time, once a pass after the controllers: true when
    // the frame index moved.  Drawing never steps it.
    bool advanceFrame();

  protected:
    // Give backSave a display-format surface of the size of `like` (or w x h
    // when both are given), without colour key or alpha (kept when it
    // already has that size).
    void ensureBackSave(SDL_Surface* like, int w = 0, int h = 0);
    // Blit the current frame image (facing) at (x, y).
    void blitFrame(bool facing, int x, int y);
    // The frame's image in the colours this sprite wears.
    SDL_Surface* worn(const spriteFrame& frame) const {
        return colours ? colours->worn(frame.image) : frame.image;
    }

  private:
    // The save of the set's rectangle, made by updateBG (see init).
    void makeSetSave();
    bool saveLater_ = false;
};
