// The particle definitions, loaded from a list file under data/particle/ and
// found by name.  New definitions go to the head, so the last loaded wins.
#pragma once

#include "particle/particleInfo.h"

#include <SDL.h>

#include <string>

class partInfoList {
  public:
    struct node {
        std::string name;
        particleInfo info;
        node* next = nullptr;
    };
    node* head = nullptr;

    partInfoList() = default;
    ~partInfoList();
    partInfoList(const partInfoList&) = delete;
    partInfoList& operator=(const partInfoList&) = delete;

    int addList(const char* listName, SDL_Surface* screen);
    particleInfo* findParticle(const std::string& name);
};
