#include "fighter/target.h"

#include "fighter/fighter.h"

int Target::retX() const {
    return target ? target->xPos : lastX;
}

int Target::retY() const {
    return target ? target->yPos : lastY;
}

colBox Target::getColBox(bool /*ignored*/) const {
    return target ? target->getCBox() : colBox{};
}

colBox Target::getDmgBox() const {
    return target ? target->getDBox() : colBox{};
}
