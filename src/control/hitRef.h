// Which reaction move a hit starts.
#pragma once

class moveSet;
struct moveInfo;
class Fighter;

class hitRef {
  public:
    // "hit1" for hit type 1 whatever the stance; none for any other type.
    moveInfo* hitReference(moveSet* moves, int hitType, Fighter* fighter);
};
