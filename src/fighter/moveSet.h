// Everything a fighter can perform (attacks, specials, back jumps, blocks,
// hit reactions) is a move loaded from the character's "moveset" file.
#pragma once

#include "sprite/CSpriteBase.h"

#include <cstdint>
#include <string>
#include <vector>

struct moveInfo {
    CSpriteBase frameSet; // first, so a move can be shown like any frame set
    std::string name;
    std::string command;           // key letters; the last one is the completing button
    std::string linkMove = "NULL"; // move this one is queued behind, "NULL" if none
    int32_t linkFrame = 0;
    std::string fromMove = "NULL"; // move that must be running, "NULL": none may run
    int32_t fromFrame = 0;
    std::string condition = "null"; // "null": no condition
};

// A chain of references to moves, in move-file order.
using moveList = std::vector<moveInfo*>;

class moveSet {
  public:
    std::vector<moveInfo> moves; // file order; allocated once
    int32_t count = 0;
    std::string folder;

    int loadAll(const char* folderPath); // always 1
    void loadAnim(int index, const std::string& name);
    int find(const std::string& name);
    // The move of that name, or the first move; on a set with no moves, a
    // shared empty move that can be started and shown safely.
    moveInfo& returnMove(const std::string& name);
    CSpriteBase& returnAnimation(const std::string& name);
    moveList returnMoveList(const std::string& key);

  private:
    moveInfo emptyMove_;
};
