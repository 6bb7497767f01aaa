#include "sprite/CSpriteBar.h"

#include "sprite/copyBlit.h"

#include "base/media.h"

#include <algorithm>

namespace {

void fillRect(SDL_Surface* screen, int x, int y, int w, int h, Uint32 pixel) {
    if (w <= 0 || h <= 0) return;
    SDL_Rect r;
    r.x = static_cast<Sint16>(x);
    r.y = static_cast<Sint16>(y);
    r.w = static_cast<Uint16>(w);
    r.h = static_cast<Uint16>(h);
    blit::rowFill(screen, &r, media::colourPixel(screen, pixel));
}

int clampedValue(int val, int maxVal) {
    return std::max(std::min(val, maxVal), 0);
}

} // namespace

void CSpriteBar::setBar(int x, int y, int w, int h, int maxVal, int val, bool rightToLeftFill) {
    barX = x;
    barY = y;
    barW = w;
    barH = h;
    maxValue = maxVal;
    rightToLeft = rightToLeftFill;
    value = clampedValue(val, maxValue);
    // The bar never reaches outside its frame art.
    if (base) {
        barW = std::min(barW, std::max(base->width - barX, 0));
        barH = std::min(barH, std::max(base->height - barY, 0));
    }
}

void CSpriteBar::setBarValue(int val) {
    value = clampedValue(val, maxValue);
}

void CSpriteBar::draw() {
    drawn = 1;
    blitFrame(true, xPos, yPos);
    if (!screenSurf || !base) return;

    // The bar never reaches outside its frame art.
    const int barW = std::min(this->barW, std::max(base->width - barX, 0));
    const int barH = std::min(this->barH, std::max(base->height - barY, 0));

    if (clearBack) fillRect(screenSurf, xPos + barX, yPos + barY, barW, barH, 0);

    // A bar without a maximum shows empty.
    int length = 0;
    if (maxValue > 0) length = static_cast<int>(static_cast<double>(value) / maxValue * barW);
    length = std::max(std::min(length, barW), 0);
    const int x = rightToLeft ? xPos + barX + barW - length : xPos + barX;
    fillRect(screenSurf, x, yPos + barY, length, barH, 0xFF3300);
}
