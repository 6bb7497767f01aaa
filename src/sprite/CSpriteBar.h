// A sprite that draws its frame art and, over it, a bar whose length shows a
// value against a maximum: the hit-point bars.
#pragma once

#include "sprite/CSprite.h"

class CSpriteBar : public CSprite {
  public:
    int barX = 0, barY = 0; // bar rectangle, relative to the sprite
    int barW = 0, barH = 0;
    int maxValue = 0;
    int value = 0;
    bool clearBack = false;   // paint the bar black before the fill
    bool rightToLeft = false; // anchored at the right end

    void setBar(int x, int y, int w, int h, int maxVal, int val, bool rightToLeftFill);
    void setBarValue(int val);
    // Intended: hides CSprite::draw (nothing is virtual); call it on the bar.
    void draw();
};
