// A controller's view of its opponent: where it is and its boxes.
#pragma once

#include "base/colBox.h"

class Fighter;

class Target {
  public:
    int lastX = 0;
    int lastY = 0;
    Fighter* target = nullptr; // not owned

    void setTarget(Fighter* fighter) { target = fighter; }
    Fighter* returnTarget() const { return target; }
    int retX() const;
    int retY() const;
    colBox getColBox(bool ignored) const;
    colBox getDmgBox() const;
};
