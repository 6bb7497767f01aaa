#include "fighter/fighter.h"
#include "sprite/copyBlit.h"

#include "base/dataLimits.h"
#include "base/media.h"
#include "base/seams.h"
#include "fighter/animationSet.h"
#include "fighter/moveSet.h"

#include <algorithm>

namespace {

// Debug colours, 0xRRGGBB.
constexpr Uint32 colourBody = 0xFFCC00;   // yellow
constexpr Uint32 colourAnchor = 0x0000CC; // blue
constexpr Uint32 colourDamage = 0xFF0000; // red

// Fill a rectangle given in plain ints, clipped to the surface, so that far
// off-screen positions never wrap around in SDL's 16-bit rectangle fields.
void fillClipped(SDL_Surface* surface, long long x, long long y, long long w, long long h,
                 Uint32 colour) {
    if (!surface || w <= 0 || h <= 0) return;
    long long x0 = std::max(x, 0LL), y0 = std::max(y, 0LL);
    long long x1 = std::min(x + w, static_cast<long long>(surface->w));
    long long y1 = std::min(y + h, static_cast<long long>(surface->h));
    if (x1 <= x0 || y1 <= y0) return;
    SDL_Rect r;
    r.x = static_cast<Sint16>(x0);
    r.y = static_cast<Sint16>(y0);
    r.w = static_cast<Uint16>(x1 - x0);
    r.h = static_cast<Uint16>(y1 - y0);
    SDL_FillRect(surface, &r, media::colourPixel(surface, colour));
}

} // namespace

void Fighter::initS(animationSet* set, SDL_Surface* screen) {
    curMove = nullptr;
    anims = set;
    animation* blank = set ? set->returnAnimation("blank") : nullptr;
    base = blank ? &blank->frameSet : nullptr;
    if (base && base->built) {
        if (base->hasFrame(1)) animating = 1;
        makeBackSave();
    }
    changeAnim("walk");
    actionName = "walk";
    screenSurf = screen;
}

// The background save has the size of the first "blank" frame whatever the
// fighter shows; it is made once and reused for every animation and move.
void Fighter::makeBackSave() {
    if (backSave || !anims) return;
    animation* blank = anims->returnAnimation("blank");
    if (!blank || !blank->frameSet.hasFrame(0)) return;
    // A plain copy without colour key: every saved pixel comes back.
    ensureBackSave(blank->frameSet.frames[0].image);
}

void Fighter::setHP(int newHP, int newMaxHP) {
    hp = newHP;
    maxHP = newMaxHP;
}

void Fighter::changeHP(int delta) {
    long long value = std::min(static_cast<long long>(hp) + delta, static_cast<long long>(maxHP));
    if (value < 0) value = 0;
    hp = static_cast<int>(value);
}

void Fighter::setDir(bool right) {
    facingRight = right;
}

// Intended: restarts at frame 0 even when the animation is already shown, and
// keeps lastTick, so the first frame's time runs from the last frame change.
void Fighter::changeAnim(const std::string& name) {
    frame = 0;
    makeBackSave();
    actionName = name;
    animation* shown = anims ? anims->returnAnimation(name) : nullptr;
    base = shown ? &shown->frameSet : nullptr;
    if (base && base->hasFrame(1)) animating = 1;
    seams::trace() << name << '\n';
    curMove = nullptr;
}

void Fighter::changeAction(moveInfo* move) {
    seams::trace() << "Last state was: " << actionName << '\n';
    if (jumpsLeft <= 0 || !move) return;
    if (!onGround) jumpsLeft -= 1; // a move started in the air uses up a jump
    frame = 0;
    curMove = move;
    makeBackSave();
    actionName = move->name;
    seams::trace() << "Change Action: " << actionName << '\n';
    base = &move->frameSet;
    if (base->hasFrame(1)) animating = 1;
}

void Fighter::setRunning() {
    changeAnim("running");
}

void Fighter::duck() {
    if (actionName == "walk") changeAnim("duck");
}

void Fighter::Jump(int strength) {
    if (jumpsLeft <= 0) return;
    changeAnim("inAir");
    jumpsLeft -= 1;
    onGround = false;
    // The last jump of the budget is a little weaker.
    jumpVel = jumpsLeft == 0 ? strength - 2 : strength;
}

void Fighter::Gravity() {
    const spriteFrame* shown = current();
    if (shown) {
        xPos += facingRight ? shown->moveX : -shown->moveX;
        if (shown->moveY > 0) {
            // A lifting frame carries the fighter up; no fall this update.
            // However long it shows, the height stays on the position range.
            yPos = dataLimits::clampPosition(static_cast<long long>(yPos) - shown->moveY);
            onGround = false;
            jumpVel = 4;
            return;
        }
    }
    if (!onGround) {
        yPos -= jumpVel;
        jumpVel -= 1;
    }
    // Intended: one pixel below the ground line is not yet a landing.
    if (yPos > g_GroundLevel + 1) {
        if (!onGround) changeAnim("walk");
        yPos = g_GroundLevel;
        onGround = true;
        jumpsLeft = 2;
    }
}

void Fighter::boundary() {
    if (xPos < boundaryXLeft + 2) xPos = boundaryXLeft + 2;
    if (xPos > boundaryXRight - 2) xPos = boundaryXRight - 2;
}

// Intended: a block move takes no damage even once back is no longer held.
bool Fighter::returnHitable() const {
    return actionName != "hit1" && actionName != "blockHi" && actionName != "blockLo" &&
           actionName != "blockAir";
}

std::string Fighter::returnMoveName() const {
    return curMove ? curMove->name : "NULL";
}

colBox Fighter::getCBox() const {
    const spriteFrame* shown = current();
    const spriteFrame* faced = current(facingRight);
    if (!shown || !faced) return colBox{xPos, yPos, xPos, yPos};
    return colBox{xPos + faced->colX1 - faced->offsetX, yPos + shown->colY1 - shown->offsetY,
                  xPos + faced->colX2 - faced->offsetX, yPos + shown->colY2 - shown->offsetY};
}

colBox Fighter::getDBox() const {
    const spriteFrame* shown = current();
    const spriteFrame* faced = current(facingRight);
    if (!shown || !faced) return colBox{xPos, yPos, xPos, yPos};
    return colBox{xPos + faced->dmgX1 - faced->offsetX, yPos + shown->dmgY1 - shown->offsetY,
                  xPos + faced->dmgX2 - faced->offsetX, yPos + shown->dmgY2 - shown->offsetY};
}

// Put back exactly the rectangle the last updateBG saved, wherever the frame
// shown now has its anchor.
void Fighter::clearBG() {
    if (drawn != 1 || !backSave || !screenSurf) return;
    if (savedRect_.w == 0 || savedRect_.h == 0) return;
    SDL_Rect source{0, 0, savedRect_.w, savedRect_.h};
    SDL_Rect target = savedRect_;
    blit::copyBlit(backSave, &source, screenSurf, &target);
}

// The frame the coming draw shows is settled here, before the save: its anchor
// decides where the image lands, so the saved rectangle is exactly the one the
// image covers and the restore leaves no strip of an earlier frame behind.
void Fighter::updateBG() {
    oldX = xPos;
    oldY = yPos;
    savedFacing = facingRight;
    savedRect_ = SDL_Rect{0, 0, 0, 0};
    if (!backSave || !screenSurf || !base) return;

    const spriteFrame* shown = current();
    const spriteFrame* faced = current(facingRight);
    long long x = xPos - (faced ? faced->offsetX : 0);
    long long y = yPos - (shown ? shown->offsetY : 0);
    // The set's rectangle, cut to the screen and to what the save surface holds.
    long long x0 = std::max(x, 0LL), y0 = std::max(y, 0LL);
    long long x1 = std::min(x + base->width, static_cast<long long>(screenSurf->w));
    long long y1 = std::min(y + base->height, static_cast<long long>(screenSurf->h));
    long long w = std::min(x1 - x0, static_cast<long long>(backSave->w));
    long long h = std::min(y1 - y0, static_cast<long long>(backSave->h));
    if (w <= 0 || h <= 0) return;

    savedRect_.x = static_cast<Sint16>(x0);
    savedRect_.y = static_cast<Sint16>(y0);
    savedRect_.w = static_cast<Uint16>(w);
    savedRect_.h = static_cast<Uint16>(h);
    SDL_Rect source = savedRect_;
    SDL_Rect target{0, 0, 0, 0};
    blit::copyBlit(screenSurf, &source, backSave, &target);
}

void Fighter::stepFrame() {
    if (!base || !base->hasFrame(0)) {
        // Nothing to show: a move without frames is over at once.
        frame = 0;
        if (curMove) {
            seams::trace() << "punch ended\n";
            curMove = nullptr;
        }
        return;
    }
    if (!base->hasFrame(frame)) frame = 0;

    int before = frame;
    int tickBefore = lastTick;
    bool moved = advanceFrame();
    bool stepped = moved || lastTick != tickBefore;
    if (stepped && frame <= before && curMove) {
        // The last frame has run out: the move is over, its frames stay on
        // show until a controller changes the animation.
        seams::trace() << "punch ended\n";
        curMove = nullptr;
    }
}

void Fighter::draw() {
    drawn = 1;

    const spriteFrame* shown = current();
    const spriteFrame* faced = current(facingRight);
    if (!shown || !faced || !faced->image || !screenSurf) return;
    long long x = xPos - faced->offsetX;
    long long y = yPos - shown->offsetY;
    if (x >= screenSurf->w || y >= screenSurf->h || x + faced->image->w <= 0 ||
        y + faced->image->h <= 0)
        return;
    SDL_Rect target{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    faced->runs.blit(worn(*faced), screenSurf, &target);
}

void Fighter::drawColBoxes() {
    if (!screenSurf) return;
    const spriteFrame* shown = current();
    const spriteFrame* faced = current(facingRight);
    if (shown && faced)
        fillClipped(screenSurf, static_cast<long long>(xPos) + faced->colX1 - faced->offsetX,
                    static_cast<long long>(yPos) + shown->colY1 - shown->offsetY,
                    faced->colX2 - faced->colX1, shown->colY2 - shown->colY1, colourBody);
    fillClipped(screenSurf, xPos - 2LL, yPos - 2LL, 4, 2, colourAnchor);
    if (shown && faced && shown->damage > 0)
        fillClipped(screenSurf, static_cast<long long>(xPos) + faced->dmgX1 - faced->offsetX,
                    static_cast<long long>(yPos) + shown->dmgY1 - shown->offsetY,
                    faced->dmgX2 - faced->dmgX1, shown->dmgY2 - shown->dmgY1, colourDamage);
}
