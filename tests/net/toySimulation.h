// A small deterministic game for the session's tests: two fighters walk,
// punch when in reach, and every punch plays a sound.  It has what matters
// to rollback (state that depends on both players' inputs, pressed controls
// taking effect on a frame's first pass, a random generator, sounds that
// must not repeat when a frame is played again) and nothing else.
#pragma once

#include "net/rollbackSession.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

class toySimulation {
  public:
    struct state {
        std::int32_t x[2] = {100, 300};
        std::int32_t hp[2] = {1000, 1000};
        std::int32_t cooldown[2] = {0, 0};
        std::uint32_t random = 12345;
        std::uint32_t tick = 0;
    };

    state s;
    // Sounds as they reach the speaker: (frame, player) -> times played.
    std::map<std::pair<std::uint32_t, int>, int> played;
    // Frames played for the first time, and again, by frame.
    std::map<std::uint32_t, int> freshPlays;
    // When set, the state goes wrong at this frame (a desync).
    std::uint32_t corruptAt = ~0u;

    void save(std::vector<unsigned char>& out) const {
        out.resize(sizeof s);
        std::memcpy(out.data(), &s, sizeof s);
    }
    void restore(const std::vector<unsigned char>& in) { std::memcpy(&s, in.data(), sizeof s); }

    void advance(std::uint32_t frame, const rollbackSession::frameInputs& in, bool resimulating) {
        if (!resimulating) ++freshPlays[frame];
        for (int pass = 0; pass < 16; ++pass) {
            ++s.tick;
            s.random = s.random * 1664525u + 1013904223u;
            for (int p = 0; p < 2; ++p) {
                if (in[p].held & playerInput::left) s.x[p] -= 1;
                if (in[p].held & playerInput::right) s.x[p] += 1;
                if (s.cooldown[p] > 0) --s.cooldown[p];
                if (pass == 0 && (in[p].pressed & playerInput::buttonA) && s.cooldown[p] == 0) {
                    s.cooldown[p] = 40;
                    const std::int32_t gap = s.x[p] - s.x[1 - p];
                    if (gap > -120 && gap < 120)
                        s.hp[1 - p] -= 1 + static_cast<std::int32_t>(s.random >> 29);
                    playSound(frame, p, resimulating);
                }
            }
        }
        if (frame == corruptAt) s.hp[0] += 1;
    }

    std::uint64_t checksum() const {
        std::uint64_t h = 1469598103934665603ull;
        const std::int32_t fields[] = {s.x[0],
                                       s.x[1],
                                       s.hp[0],
                                       s.hp[1],
                                       s.cooldown[0],
                                       s.cooldown[1],
                                       static_cast<std::int32_t>(s.random),
                                       static_cast<std::int32_t>(s.tick)};
        for (std::int32_t v : fields)
            for (int i = 0; i < 4; ++i) {
                h ^= static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
                h *= 1099511628211ull;
            }
        return h;
    }

    rollbackSession::simulation callbacks() {
        rollbackSession::simulation sim;
        sim.save = [this](std::vector<unsigned char>& out) { save(out); };
        sim.restore = [this](const std::vector<unsigned char>& in) { restore(in); };
        sim.advance = [this](std::uint32_t f, const rollbackSession::frameInputs& in, bool r) {
            advance(f, in, r);
        };
        sim.checksum = [this] { return checksum(); };
        return sim;
    }

  private:
    // What the game does with sounds: a frame played again plays only the
    // sounds it has not played yet.
    void playSound(std::uint32_t frame, int player, bool resimulating) {
        const auto key = std::make_pair(frame, player);
        if (resimulating && played.count(key)) return;
        ++played[key];
    }
};
