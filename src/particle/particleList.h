// Every live particle of both players, newest first.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

class particle;
class Fighter;
class CSprite;
class partInfoList;

class particleList {
  public:
    struct node {
        particle* item = nullptr; // owned
        node* next = nullptr;
    };
    node* head = nullptr;

    particleList() = default;
    ~particleList();
    particleList(const particleList&) = delete;
    particleList& operator=(const particleList&) = delete;

    void addParticle(const std::string& line, Fighter* owner, CSprite* anchor,
                     partInfoList* definitions, SDL_Surface* screen, int tick);
    void addParticleD(const std::string& line, bool facing, CSprite* anchor,
                      partInfoList* definitions, SDL_Surface* screen, int tick);
    void update();
    void removeDead();
    void makeParticles();
    particle* collideFighter(Fighter* fighter, char side);
    void clearBG();
    void updateBG();
    void draw();
    void debug();
    // Number of particles in the list (live or awaiting removal).
    int size() const;

  private:
    // The trace line of an addition; true when the list was empty.
    bool announceAdd() const;
    // Link a freshly made particle in at the head, or drop it when its line
    // named no definition.
    void adopt(particle* made, bool first);
    // One spawn pass over the whole chain; the nodes whose particle has a
    // pending event are appended to pending (when given), newest first.
    void spawnPass(std::vector<node*>* pending);
    // The follow-up particles of p's pending event, in list order.
    void spawnFollowUps(particle& p);
};
