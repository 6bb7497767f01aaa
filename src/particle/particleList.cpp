#include "particle/particleList.h"

#include "base/seams.h"
#include "fighter/fighter.h"
#include "particle/particle.h"

particleList::~particleList() {
    clear();
}

void particleList::clear() {
    while (head) {
        node* next = head->next;
        delete head->item;
        delete head;
        head = next;
    }
    count_ = 0;
}

bool particleList::announceAdd() const {
    bool first = head == nullptr;
    seams::trace() << (first ? "\n\nAdding particle\n" : "adding another particle\n");
    return first;
}

void particleList::adopt(particle* made, bool first) {
    if (!made->valid()) {
        // The line names no particle: nothing is spawned.
        seams::trace() << "No particle to spawn\n";
        delete made;
        return;
    }
    head = new node{made, head};
    ++count_;
    if (first) seams::trace() << "particle added\n";
}

bool particleList::roomForOneMore() {
    if (count_ - dying_ < maxParticles) return true;
    if (!dropTraced_)
        seams::trace() << "Particle limit of " << maxParticles
                       << " reached: further particles are dropped\n";
    dropTraced_ = true;
    return false;
}

void particleList::countDying() {
    count_ = dying_ = 0;
    for (node* at = head; at; at = at->next) {
        ++steps_;
        ++count_;
        if (at->item->dead) ++dying_;
    }
}

void particleList::addParticle(const std::string& line, Fighter* owner, CSprite* anchor,
                               partInfoList* definitions, SDL_Surface* screen, int tick) {
    // From a move, outside a spawn pass: every particle in the chain counts.
    count_ = size();
    dying_ = 0;
    if (!roomForOneMore()) return;
    bool first = announceAdd();
    particle* made = new particle;
    made->init(line, owner, anchor, definitions, screen, tick);
    adopt(made, first);
}

void particleList::addParticleD(const std::string& line, bool facing, CSprite* anchor,
                                partInfoList* definitions, SDL_Surface* screen, int tick) {
    if (!inPass_) {
        count_ = size();
        dying_ = 0;
    }
    if (!roomForOneMore()) return;
    bool first = announceAdd();
    particle* made = new particle;
    made->initD(line, facing, anchor, definitions, screen, tick);
    adopt(made, first);
}

void particleList::update() {
    if (!head) return;
    // Most updates kill nothing: then there is nothing to spawn or remove,
    // and the walks of removeDead are skipped (a list at the limit is
    // updated twice a pass in versus, and played again in every rollback).
    bool anyDying = false;
    int count = 0;
    for (node* at = head; at; at = at->next) {
        particle& p = *at->item;
        p.update();
        ++count;
        if (p.dead || p.event != "NULL") anyDying = true;
    }
    if (anyDying) {
        removeDead();
        return;
    }
    count_ = count;
    dying_ = 0;
}

void particleList::makeParticles() {
    countDying();
    inPass_ = true;
    spawnPass(nullptr);
    endPass();
}

void particleList::spawnPass(std::vector<node*>* pending) {
    // Children go in at the head, in front of the walk: they are not
    // visited in the pass that made them.
    for (node* at = head; at;) {
        ++steps_;
        node* following = at->next;
        if (at->item->event != "NULL") {
            if (pending) pending->push_back(at);
            spawnFollowUps(*at->item);
        }
        at = following;
    }
}

bool particleList::refusingInPass() {
    // Once the limit is traced, a full list in a spawn pass drops every
    // follow-up unseen; the pass ends with one line that counts them.
    if (!inPass_ || !dropTraced_ || count_ - dying_ < maxParticles) return false;
    ++droppedInPass_;
    return true;
}

void particleList::endPass() {
    inPass_ = false;
    if (droppedInPass_ == 0) return;
    seams::trace() << "Particle limit of " << maxParticles << ": the follow-ups of "
                   << droppedInPass_ << " particles dropped in this pass\n";
    droppedInPass_ = 0;
}

void particleList::spawnFollowUps(particle& p) {
    if (refusingInPass()) return;
    int count = p.getPartNum(p.event);
    seams::trace() << "pNum " << count << "\n";
    for (int i = 0; i < count; ++i) {
        std::string line = p.getNewPart(p.event, i);
        seams::trace() << "str: " << line << "\n";
        particle* before = head ? head->item : nullptr;
        addParticleD(line, p.facingRight, &p.sprite, p.defs, p.screenSurf,
                     static_cast<int>(seams::ticks()));
        if (head && head->item != before) head->item->thrower = p.thrower;
    }
}

void particleList::removeDead() {
    // A spawn pass before every removal of the head, so each dying particle
    // has made its follow-ups before it goes.  Only particles with a pending
    // event do anything in a pass, and no particle gains one here (new ones
    // start without), so the passes after the first visit just those, in
    // chain order: a run of K dead particles at the head costs K steps, not
    // K walks of the whole chain.
    std::vector<node*> pending;
    countDying();
    inPass_ = true;
    spawnPass(&pending);
    size_t firstPending = 0;
    while (head && head->item->dead) {
        ++steps_;
        node* gone = head;
        head = gone->next;
        if (firstPending < pending.size() && pending[firstPending] == gone) ++firstPending;
        delete gone->item;
        delete gone;
        --count_;
        --dying_;
        seams::trace() << "\n\nKilling the head particle\n";
        for (size_t i = firstPending; i < pending.size(); ++i) {
            ++steps_;
            // At the limit the rest would all be dropped: counted, not walked.
            if (refusingInPass()) {
                droppedInPass_ += static_cast<long long>(pending.size() - i) - 1;
                break;
            }
            spawnFollowUps(*pending[i]->item);
        }
    }
    endPass();
    if (!head) return;

    // The rest of the chain in one walk, the predecessor kept at hand.
    node* before = head;
    while (node* at = before->next) {
        ++steps_;
        if (at->item->dead) {
            before->next = at->next;
            delete at->item;
            delete at;
            seams::trace() << "\n\nKilling a body bit\n";
        } else {
            before = at;
        }
    }
}

particle* particleList::collideFighter(Fighter* fighter, char side, const Fighter* immune) {
    if (!fighter) return nullptr;
    // Nothing in the walk moves the fighter: its box is taken once.
    const colBox box = fighter->getCBox();
    for (node* at = head; at; at = at->next) {
        if (immune && at->item->thrower == immune) continue;
        if (at->item->checkCollision(box, side)) {
            // Intended: one hit per check, the newest particle first.
            seams::trace() << "player is HIT\n";
            return at->item;
        }
    }
    return nullptr;
}

void particleList::clearBG() {
    for (node* at = head; at; at = at->next)
        at->item->sprite.clearBG();
}

void particleList::updateBG() {
    for (node* at = head; at; at = at->next)
        at->item->sprite.updateBG();
}

void particleList::draw() {
    // Newest first, so older particles end up on top.
    for (node* at = head; at; at = at->next)
        if (!at->item->dead) at->item->sprite.drawD(at->item->facingRight);
}

void particleList::advanceFrames() {
    for (node* at = head; at; at = at->next)
        if (!at->item->dead) at->item->sprite.advanceFrame();
}

void particleList::debug() {
    for (node* at = head; at; at = at->next)
        at->item->sprite.drawColBoxes();
}

int particleList::size() const {
    int count = 0;
    for (node* at = head; at; at = at->next)
        ++count;
    return count;
}
