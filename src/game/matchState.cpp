#include "game/matchState.h"

#include "base/seams.h"
#include "base/seededRandom.h"
#include "particle/particle.h"
#include "particle/particleInfo.h"

#include <list>

namespace {

// One list of fields serves both ways: a saver writes each, a loader reads
// each back; values that are pointers go through their place in a set.
struct saver {
    static constexpr bool loading = false;
    static constexpr bool naming = false;
    stateWriter& out;
    template <class T> void field(const char* name, T& value) { out.put(name, value); }
};

struct loader {
    static constexpr bool loading = true;
    static constexpr bool naming = false;
    stateReader& in;
    template <class T> void field(const char* name, T& value) { in.get(name, value); }
};

// Names every field a save can write: lists show one element each.
struct namer {
    static constexpr bool loading = false;
    static constexpr bool naming = true;
    std::vector<std::string>& names;
    template <class T> void field(const char* name, T&) {
        for (const std::string& known : names)
            if (known == name) return;
        names.push_back(name);
    }
};

// A fighter's frame set: none, an animation, a move, or the empty move of a
// set without moves.
struct frameSetRef {
    std::int32_t kind = 0; // 0 none, 1 animation, 2 move, 3 empty move
    std::int32_t index = 0;
};

frameSetRef refOf(const CSpriteBase* base, gameSession& s) {
    if (!base) return {};
    for (size_t i = 0; i < s.anims.animList.size(); ++i)
        if (&s.anims.animList[i].frameSet == base) return {1, static_cast<std::int32_t>(i)};
    for (size_t i = 0; i < s.moves.moves.size(); ++i)
        if (&s.moves.moves[i].frameSet == base) return {2, static_cast<std::int32_t>(i)};
    return {3, 0};
}

CSpriteBase* frameSetOf(const frameSetRef& ref, gameSession& s) {
    const size_t i = static_cast<size_t>(ref.index);
    if (ref.kind == 1 && ref.index >= 0 && i < s.anims.animList.size())
        return &s.anims.animList[i].frameSet;
    if (ref.kind == 2 && ref.index >= 0 && i < s.moves.moves.size())
        return &s.moves.moves[i].frameSet;
    if (ref.kind == 3) return &s.moves.returnMove("").frameSet;
    return nullptr;
}

// A move: -1 none, -2 the empty move, else its place in the set.
std::int32_t moveIndexOf(const moveInfo* move, gameSession& s) {
    if (!move) return -1;
    if (!s.moves.moves.empty() && move >= &s.moves.moves.front() && move <= &s.moves.moves.back())
        return static_cast<std::int32_t>(move - &s.moves.moves.front());
    return -2;
}

moveInfo* moveOf(std::int32_t index, gameSession& s) {
    if (index == -1) return nullptr;
    if (index >= 0 && static_cast<size_t>(index) < s.moves.moves.size())
        return &s.moves.moves[static_cast<size_t>(index)];
    return &s.moves.returnMove("");
}

template <class IO> void moveField(IO& io, const char* name, moveInfo*& move, gameSession& s) {
    std::int32_t index = moveIndexOf(move, s);
    io.field(name, index);
    if (IO::loading) move = moveOf(index, s);
}

template <class IO> void frameClock(IO& io, CSprite& sprite, const char* frame, const char* tick) {
    io.field(frame, sprite.frame);
    io.field(tick, sprite.lastTick);
}

template <class IO> void fighterFields(IO& io, Fighter& f, gameSession& s) {
    io.field("fighter.x", f.xPos);
    io.field("fighter.y", f.yPos);
    frameClock(io, f, "fighter.frame", "fighter.frameTick");
    io.field("fighter.hp", f.hp);
    io.field("fighter.facingRight", f.facingRight);
    io.field("fighter.onGround", f.onGround);
    io.field("fighter.jumpVel", f.jumpVel);
    io.field("fighter.jumpsLeft", f.jumpsLeft);
    io.field("fighter.action", f.actionName);
    frameSetRef ref = refOf(f.base, s);
    io.field("fighter.frameSetKind", ref.kind);
    io.field("fighter.frameSet", ref.index);
    if (IO::loading) f.base = frameSetOf(ref, s);
    moveField(io, "fighter.move", f.curMove, s);
}

template <class IO> void controllerFields(IO& io, playerControl& c) {
    io.field("control.prevTick", c.prevTick);
    io.field("control.moveTimer", c.moveTimer);
    io.field("control.curFrame", c.curFrame);
    io.field("control.curAction", c.curAction);
    io.field("control.curSound", c.curSound);
    io.field("control.curParticle", c.curParticle);
    io.field("control.blocking", c.blocking);
}

template <class IO> void checkerFields(IO& io, inputChecker& c, gameSession& s) {
    std::uint32_t count = static_cast<std::uint32_t>(c.keys.size());
    io.field("commands.count", count);
    if (IO::loading) c.keys.resize(count);
    std::list<inputKeys> example(IO::naming ? 1 : 0);
    for (inputKeys& key : IO::naming ? example : c.keys) {
        io.field("commands.time", key.time);
        std::int32_t letter = key.key;
        io.field("commands.key", letter);
        if (IO::loading) key.key = static_cast<char>(letter);
        io.field("commands.state", key.state);
    }
    io.field("commands.keyCount", c.keyCount);
    moveField(io, "commands.pending", c.pending, s);
}

template <class IO> void opponentFields(IO& io, AI& ai, gameSession& s) {
    std::int32_t state = ai.state;
    io.field("ai.state", state);
    if (IO::loading) ai.state = static_cast<aiState>(state);
    io.field("ai.timer", ai.timer);
    io.field("ai.phase", ai.phase);
    std::int32_t range = ai.rangeLetter;
    io.field("ai.range", range);
    if (IO::loading) ai.rangeLetter = static_cast<char>(range);
    io.field("ai.jumpDir", ai.jumpDir);
    io.field("ai.lastAttack", ai.lastAttack);
    io.field("ai.nextLink", ai.nextLink);
    moveField(io, "ai.nextCancel", ai.nextCancel, s);
}

// A particle's definition: its place in the list, -1 for none.
std::int32_t definitionIndexOf(const particleInfo* info, const partInfoList& defs) {
    std::int32_t i = 0;
    for (const partInfoList::node* n = defs.head; n; n = n->next, ++i)
        if (&n->info == info) return i;
    return -1;
}

particleInfo* definitionOf(std::int32_t index, partInfoList& defs) {
    std::int32_t i = 0;
    for (partInfoList::node* n = defs.head; n; n = n->next, ++i)
        if (i == index) return &n->info;
    return nullptr;
}

// Which fighter threw a particle: -1 none, 0 player 1's, 1 the right-hand one's.
std::int32_t sideOf(const Fighter* f) {
    return f == &vikings1 ? 0 : f == &fighter2 ? 1 : -1;
}

const Fighter* fighterOf(std::int32_t side) {
    return side == 0 ? &vikings1 : side == 1 ? &fighter2 : nullptr;
}

template <class IO> void particleFields(IO& io, particle& p, gameSession& s) {
    std::int32_t definition = definitionIndexOf(p.info, s.particleDefs);
    io.field("particle.definition", definition);
    if (IO::loading) {
        p.info = definitionOf(definition, s.particleDefs);
        CSpriteBase* frames = p.info ? p.info->frameSet.get() : nullptr;
        if (p.sprite.base != frames) p.sprite.init(frames, screen, true);
        p.sprite.speed = particle::frameSpeed;
        p.defs = &s.particleDefs;
        p.screenSurf = screen;
        p.owner = nullptr;
        p.anchor = nullptr;
        // A particle put back has not been drawn: nothing of it to erase.
        p.sprite.drawn = 0;
    }
    io.field("particle.x", p.sprite.xPos);
    io.field("particle.y", p.sprite.yPos);
    frameClock(io, p.sprite, "particle.frame", "particle.frameTick");
    io.field("particle.facingRight", p.facingRight);
    io.field("particle.dead", p.dead);
    io.field("particle.startTime", p.startTime);
    // Not its pending event: a particle that dies of age makes its
    // follow-ups and goes in the pass it dies in.
    if (IO::loading) p.event = "NULL";
    std::int32_t thrower = sideOf(p.thrower);
    io.field("particle.thrower", thrower);
    if (IO::loading) p.thrower = fighterOf(thrower);
}

template <class IO> void particlesFields(IO& io, gameSession& s) {
    std::uint32_t count = static_cast<std::uint32_t>(pList.size());
    io.field("particles.count", count);
    if (IO::naming) {
        particle example;
        particleFields(io, example, s);
        return;
    }
    if (!IO::loading) {
        for (particleList::node* n = pList.head; n; n = n->next)
            particleFields(io, *n->item, s);
        return;
    }
    // The nodes there are reused in chain order; the rest are made or freed.
    if (count > static_cast<std::uint32_t>(particleList::maxParticles) * 4) count = 0;
    particleList::node** link = &pList.head;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!*link) *link = new particleList::node{new particle, nullptr};
        particleFields(io, *(*link)->item, s);
        link = &(*link)->next;
    }
    particleList::node* rest = *link;
    *link = nullptr;
    while (rest) {
        particleList::node* next = rest->next;
        delete rest->item;
        delete rest;
        rest = next;
    }
}

template <class IO> void matchFields(IO& io, gameSession& s) {
    bool seeded = seededRandom::installed();
    std::uint32_t random = seeded ? seededRandom::installedState() : 0;
    io.field("random", random);
    if (IO::loading && seeded) seededRandom::setInstalledState(random);
    io.field("boxes", debugging);

    fighterFields(io, vikings1, s);
    fighterFields(io, fighter2, s);
    controllerFields(io, player1);
    if (s.checker) checkerFields(io, *s.checker, s);
    if (s.versus) {
        controllerFields(io, player2);
        if (s.checker2) checkerFields(io, *s.checker2, s);
    } else {
        controllerFields(io, basicAI);
        opponentFields(io, basicAI, s);
    }
    particlesFields(io, s);
}

} // namespace

void matchState::save(std::vector<unsigned char>& out,
                      std::vector<stateWriter::fieldStart>* layout) const {
    stateWriter writer(out, layout);
    saver io{writer};
    matchFields(io, session_);
}

bool matchState::restore(const std::vector<unsigned char>& in, const std::string& kept) {
    stateReader reader(in, kept);
    loader io{reader};
    matchFields(io, session_);
    return reader.complete();
}

std::uint64_t matchState::checksum() const {
    save(scratch_);
    return stateBuffer::checksum(scratch_);
}

std::uint64_t matchState::checksumOf(const std::vector<unsigned char>& saved) {
    return stateBuffer::checksum(saved);
}

std::vector<std::string> matchState::fieldNames() const {
    std::vector<std::string> names;
    namer io{names};
    matchFields(io, session_);
    return names;
}
