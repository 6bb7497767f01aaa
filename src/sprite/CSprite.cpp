#include "sprite/CSprite.h"
#include "sprite/copyBlit.h"
#include "sprite/displayFormat.h"

#include "base/media.h"
#include "base/seams.h"

#include <algorithm>

namespace {

// The media library's rectangles hold 16-bit fields.
SDL_Rect rect(int x, int y, int w = 0, int h = 0) {
    SDL_Rect r;
    r.x = static_cast<Sint16>(x);
    r.y = static_cast<Sint16>(y);
    r.w = static_cast<Uint16>(std::max(w, 0));
    r.h = static_cast<Uint16>(std::max(h, 0));
    return r;
}

} // namespace

CSprite::~CSprite() {
    if (backSave) SDL_FreeSurface(backSave);
}

void CSprite::init(CSpriteBase* set, SDL_Surface* screen, bool saveLater) {
    base = set;
    saveLater_ = saveLater;
    if (set && set->built) {
        if (set->numFrames > 1) animating = 1;
        if (!saveLater) makeSetSave();
    }
    screenSurf = screen;
}

void CSprite::makeSetSave() {
    // The save holds exactly the set's rectangle, which updateBG fills and
    // clearBG puts back whole: a first frame larger than the set would leave
    // its own pixels in the margin, a smaller one would save too little.
    if (base && base->built && base->hasFrame(0) && base->frames[0].image)
        ensureBackSave(base->frames[0].image, base->width, base->height);
}

void CSprite::ensureBackSave(SDL_Surface* like, int w, int h) {
    if (!like) return;
    if (w <= 0 || h <= 0) {
        w = like->w;
        h = like->h;
    }
    if (backSave && backSave->w == w && backSave->h == h) return;
    // Made blank in the display format rather than converted from the frame:
    // updateBG always fills the save before clearBG puts it back.
    SDL_Surface* fresh = displayFormat::blankDisplaySurface(w, h);
    if (!fresh) return;
    // The save is restored with a plain copy: a background pixel that happens
    // to have a frame's transparent colour must come back too.
    media::makeOpaque(fresh);
    if (backSave) SDL_FreeSurface(backSave);
    backSave = fresh;
}

void CSprite::clearBG() {
    if (drawn != 1 || !backSave || !screenSurf) return;
    SDL_Rect at = rect(oldX, oldY);
    blit::copyBlit(backSave, nullptr, screenSurf, &at);
}

void CSprite::updateBG() {
    oldX = xPos;
    oldY = yPos;
    if (saveLater_) {
        saveLater_ = false;
        makeSetSave();
    }
    if (!backSave || !screenSurf || !base) return;
    SDL_Rect from = rect(xPos, yPos, base->width, base->height);
    SDL_Rect to = rect(0, 0);
    blit::copyBlit(screenSurf, &from, backSave, &to);
}

// Intended: at most one frame per call, however late the call comes.
bool CSprite::advanceFrame() {
    if (animating != 1 || !base || base->numFrames <= 0) return false;
    const spriteFrame* shown = current();
    const int pause = shown ? shown->pause : 0;
    // Time shown so far, taken modulo 2^32 so that it stays right when the
    // millisecond counter wraps (negative if the clock reads earlier).
    const Sint32 shownFor = static_cast<Sint32>(seams::ticks() - static_cast<Uint32>(lastTick));
    if (!(static_cast<float>(shownFor) > static_cast<float>(pause) * speed)) return false;
    frame += 1;
    if (frame > base->numFrames - 1 || frame < 0) frame = 0;
    lastTick = static_cast<int>(seams::ticks());
    return true;
}

void CSprite::blitFrame(bool facing, int x, int y) {
    const spriteFrame* shown = current(facing);
    if (!shown || !shown->image || !screenSurf) return;
    // A keyed frame copies its opaque runs; an opaque one (the bars' art) is
    // copied row by row like the background.
    SDL_Rect at = rect(x, y);
    shown->runs.blit(worn(*shown), screenSurf, &at);
}

void CSprite::draw() {
    drawn = 1;
    blitFrame(true, xPos, yPos);
}

void CSprite::drawD(bool facing) {
    drawn = 1;
    blitFrame(facing, xPos, yPos);
}

void CSprite::moveD(bool facing) {
    const spriteFrame* shown = current();
    if (!shown) return;
    xPos += facing ? shown->moveX : -shown->moveX;
}

void CSprite::adjustPos(int x, int y, bool facing) {
    // Without a frame the anchor is the image's corner.
    const spriteFrame* shown = current();
    const spriteFrame* faced = current(facing);
    yPos = y - (shown ? shown->offsetY : 0);
    xPos = x - (faced ? faced->offsetX : 0);
}

int CSprite::getYOffset(int frameIndex) const {
    if (!base || !base->hasFrame(frameIndex)) return 0;
    const spriteFrame& f = base->frames[frameIndex];
    return std::max(f.colY2, f.dmgY2);
}

colBox CSprite::getColBox(bool facing) const {
    colBox box;
    const spriteFrame* shown = current();
    const spriteFrame* faced = current(facing);
    if (!shown || !faced) return box;
    box.left = xPos + faced->colX1;
    box.right = xPos + faced->colX2;
    box.top = yPos + shown->colY1;
    box.bottom = yPos + shown->colY2;
    return box;
}

int CSprite::getDamage() const {
    const spriteFrame* shown = current();
    return shown ? shown->damage : 0;
}

int CSprite::getHitType() const {
    const spriteFrame* shown = current();
    return shown ? shown->hitType : 0;
}

std::string CSprite::returnSound() const {
    const spriteFrame* shown = current();
    return shown ? shown->soundName : std::string("NULL");
}

int CSprite::returnPartNum() const {
    const spriteFrame* shown = current();
    return shown ? shown->partNum : 0;
}

std::string CSprite::returnParticle(int n) const {
    const spriteFrame* shown = current();
    if (!shown || n < 1 || n > static_cast<int>(shown->partNames.size())) return "";
    return shown->partNames[n - 1];
}

void CSprite::drawColBoxes() {
    const spriteFrame* shown = current();
    if (!shown || !screenSurf) return;
    SDL_Rect box = rect(xPos + shown->colX1, yPos + shown->colY1, shown->colX2 - shown->colX1,
                        shown->colY2 - shown->colY1);
    SDL_FillRect(screenSurf, &box, media::colourPixel(screenSurf, 0xFF0000));
}
