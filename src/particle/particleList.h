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
    // Most particles alive at once.  A definition whose death spawns itself
    // more than once would otherwise double without end; spawns beyond this
    // are dropped (the first drop is traced once).  No sensible effect needs
    // more than a few dozen.  Particles that died and wait for their
    // removal in the same spawn pass do not count: their follow-ups take
    // their places.
    static constexpr int maxParticles = 400;

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
    // The newest particle that hits the fighter; particles thrown by
    // `immune` (a versus match's own side) pass through.
    particle* collideFighter(Fighter* fighter, char side, const Fighter* immune = nullptr);
    void clearBG();
    void updateBG();
    void draw();
    // The frame clocks of the live particles step, once a pass.
    void advanceFrames();
    void debug();
    // Number of particles in the list (live or awaiting removal).
    int size() const;
    // Nodes visited so far by the list's own walks over the chain (counting,
    // spawn passes, removals): the tests read it to check that removing the
    // dead takes steps in proportion to the chain's length.
    long long steps() const { return steps_; }
    // Whether the first dropped spawn has been traced (part of the saved
    // state: it is traced once a run).
    bool dropTraced() const { return dropTraced_; }
    void setDropTraced(bool traced) { dropTraced_ = traced; }
    // Removes every particle (a restored state brings its own).
    void clear();

  private:
    // The chain is public, so the counts are taken afresh at each spawn pass
    // and each addition from outside one.
    int count_ = 0;               // particles in the chain
    int dying_ = 0;               // dead ones in the chain, during a spawn pass
    bool inPass_ = false;         // a spawn pass is running
    bool dropTraced_ = false;     // the first dropped spawn has been traced
    long long droppedInPass_ = 0; // particles whose follow-ups a full list dropped
    long long steps_ = 0;         // see steps()

    // False, and the spawn dropped, when the list is full.
    bool roomForOneMore();
    // Counts the particles in the chain into count_, the dead into dying_.
    void countDying();
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
    // True, and counted, when a spawn pass meets a full list after the
    // limit was traced: the follow-ups are dropped without a trace line.
    bool refusingInPass();
    // Ends a spawn pass, with one line for the follow-ups dropped in it.
    void endPass();
};
