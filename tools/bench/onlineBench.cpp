// Both sides of an online match take turns with the one game a process
// holds: before a side's step its state is put back, after it saved (the
// switch is not counted).  Each side's players play by themselves.  Timed
// in processor time, for the host: every step's rollback (the restore and the frames played
// again, with their saves and checksums) and every step's whole cost.  "At
// the cap", the match's own rule tops the particles up to the cap before
// every frame (the same rule on both sides and on every replay, so the
// match stays deterministic).
#include "onlineBench.h"

#include "game/main.h"
#include "game/matchState.h"
#include "game/versusLoop.h"
#include "net/impairedLink.h"
#include "net/packet.h"
#include "net/rollbackSession.h"
#include "net/scriptedPlayer.h"
#include "particle/particleList.h"
#include "replayRunner.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace onlineBench {

namespace {

// This thread's processor time: on a shared machine the wall clock also
// counts the time other programs had the processor.
struct cpuClock {
    using time_point = double; // ms
    static double now() {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    }
};
using clock_type = cpuClock;
double msSince(double t) {
    return clock_type::now() - t;
}

// The value below which a share `q` of the values lie (1: the largest).
double percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(q * (v.size() - 1) + 0.5))];
}

struct figures {
    double seconds = 0;
    unsigned long long rollbacks = 0, resimulated = 0, waited = 0;
    unsigned longest = 0;
    double rollbackMean = 0, rollback99 = 0, rollbackMax = 0;
    double stepMean = 0, step99 = 0, stepMax = 0, particles = 0;
    bool agreed = true;
};

// Tops the particles up to the cap, before each frame.
void topUp(gameSession& game, bool atCap, std::uint32_t frame) {
    if (!atCap) return;
    for (int i = 0; pList.size() < particleList::maxParticles && i < particleList::maxParticles;
         ++i)
        pList.addParticle(i % 2 ? "spark 40 -120" : "spark -40 -160", i % 2 ? &vikings1 : &fighter2,
                          nullptr, &game.particleDefs, screen,
                          static_cast<int>(versusLoop::tickOf(frame, 0)));
}

// The host's rollback in the step being timed: from its restore to the
// first frame played anew.
struct rollbackTimer {
    bool timing = false;
    bool inRollback = false;
    double start = 0;
    double ms = 0;
};

// One side: its own copy of the game's state, its session, the checksums it
// confirmed and its player.
struct side {
    std::vector<unsigned char> state;
    std::unique_ptr<rollbackSession> session;
    std::vector<std::uint64_t> sums;
    scriptedPlayer player{1};
};

// Side p's session over the one game, starting from `start`.
void startSide(side& s, int p, gameSession& game, matchState& state, bool atCap,
               rollbackTimer& timer, impairedLink& link, const std::vector<unsigned char>& start) {
    s.state = start;
    s.player = scriptedPlayer(p == 0 ? 31 : 47);
    rollbackSession::simulation sim;
    sim.save = [&state](std::vector<unsigned char>& out) { state.save(out); };
    sim.restore = [&state, &timer, p](const std::vector<unsigned char>& in) {
        if (p == 0 && timer.timing) {
            timer.start = clock_type::now();
            timer.inRollback = true;
        }
        state.restore(in);
    };
    sim.advance = [&game, &timer, atCap, p](std::uint32_t f, const rollbackSession::frameInputs& in,
                                            bool again) {
        if (p == 0 && timer.inRollback && !again) {
            timer.ms = msSince(timer.start);
            timer.inRollback = false;
        }
        topUp(game, atCap, f);
        versusLoop::playFrame(game, f, {in[0], in[1]}, again, false);
    };
    sim.checksum = [&state] { return state.checksum(); };
    sim.checksumOf = matchState::checksumOf;
    rollbackSession::settings settings;
    settings.localPlayer = p;
    settings.host = p == 0;
    s.session = std::make_unique<rollbackSession>(sim, settings, link.side(p));
    s.session->onConfirmed = [&s](std::uint32_t, std::uint64_t sum) { s.sums.push_back(sum); };
}

// The session's counts and the costs' mean, 99th percentile and largest.
void fillFigures(figures& out, const rollbackSession::statistics& st,
                 const std::vector<double>& rollbackCosts, const std::vector<double>& stepCosts) {
    out.rollbacks = st.rollbacks;
    out.resimulated = st.framesResimulated;
    out.longest = st.longestRollback;
    auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v)
            sum += x;
        return v.empty() ? 0.0 : sum / v.size();
    };
    out.rollbackMean = mean(rollbackCosts);
    out.rollbackMax = percentile(rollbackCosts, 1.0);
    out.rollback99 = percentile(rollbackCosts, 0.99);
    out.stepMean = mean(stepCosts);
    out.stepMax = percentile(stepCosts, 1.0);
    out.step99 = percentile(stepCosts, 0.99);
}

figures match(gameSession& game, bool atCap, std::uint32_t frames) {
    matchState state(game);
    std::vector<unsigned char> start;
    state.save(start);

    std::uint32_t now = 0;
    impairedLink link(impairedLink::poorNetwork(), 23, [&now] { return now; });
    rollbackTimer timer;
    side sides[2];
    for (int p = 0; p < 2; ++p)
        startSide(sides[p], p, game, state, atCap, timer, link, start);

    figures out;
    std::vector<double> rollbackCosts, stepCosts;
    double particleSum = 0;
    long particleSteps = 0;
    for (; now < frames * 16 * 3; ++now) {
        for (int p = 0; p < 2; ++p) {
            if ((now + 5 * p) % 16 != 0) continue;
            side& s = sides[p];
            state.restore(s.state);
            timer.timing = p == 0;
            timer.ms = 0;
            timer.inRollback = false;
            const auto begin = clock_type::now();
            s.session->step(now, s.player.next());
            if (p == 0) {
                stepCosts.push_back(msSince(begin));
                rollbackCosts.push_back(timer.ms);
                particleSum += pList.size();
                ++particleSteps;
            }
            state.save(s.state);
        }
        if (sides[0].session->confirmed() >= frames && sides[1].session->confirmed() >= frames)
            break;
    }
    out.seconds = now / 1000.0;
    fillFigures(out, sides[0].session->stats(), rollbackCosts, stepCosts);
    out.waited = sides[0].session->stats().waited + sides[1].session->stats().waited;
    out.particles = particleSteps ? particleSum / particleSteps : 0;
    const std::size_t common = std::min(sides[0].sums.size(), sides[1].sums.size());
    out.agreed =
        common >= frames &&
        std::equal(sides[0].sums.begin(), sides[0].sums.begin() + common, sides[1].sums.begin()) &&
        sides[0].session->state() == rollbackSession::phase::running;
    state.restore(start);
    return out;
}

} // namespace

int run() {
    // The packets alone: a typical input datagram (8 inputs, 4 checksums)
    // encoded and decoded.
    packet::message m;
    m.type = packet::kind::input;
    m.input.frame = 1000;
    m.input.firstInput = 995;
    m.input.inputs.assign(8, playerInput{});
    m.input.firstChecksum = 990;
    m.input.checksums.assign(4, 0x1234);
    const int rounds = 200000;
    const auto begin = clock_type::now();
    std::size_t bytes = 0;
    for (int i = 0; i < rounds; ++i) {
        m.input.stamp = static_cast<std::uint32_t>(i);
        const std::vector<unsigned char> d = packet::encode(m);
        packet::message back;
        bytes += packet::decode(d, back) == packet::fault::none ? d.size() : 0;
    }
    std::printf("online: a %zu-byte input datagram encoded and decoded  %.2f us\n", bytes / rounds,
                msSince(begin) * 1000.0 / rounds);

    replayScript script;
    script.versus = true;
    script.frameCount = 1000000;
    replayRunner game(script);
    // The fighters fall onto the ground first.
    for (std::uint32_t f = 0; f < 20; ++f)
        versusLoop::playFrame(game.session, f, {}, false, false);
    for (bool atCap : {false, true}) {
        const figures f = match(game.session, atCap, 1800);
        std::printf(
            "online match, 160 ms round trip, %s (%.0f particles on average), 1800 frames:\n",
            atCap ? "at the particle cap" : "no particles added", f.particles);
        std::printf("  %s; %llu rollbacks, %.1f a second, longest %u frames, %llu frames played "
                    "again; %llu steps waited (full speed: 0)\n",
                    f.agreed ? "both sides agree" : "THE SIDES DISAGREE", f.rollbacks,
                    f.rollbacks / f.seconds, f.longest, f.resimulated, f.waited);
        std::printf("  rollback cost a frame: mean %.3f ms, 99%% under %.3f ms, longest %.3f ms\n",
                    f.rollbackMean, f.rollback99, f.rollbackMax);
        std::printf("  a whole step (rollback, the new frame, packets): mean %.3f ms, 99%% under "
                    "%.3f ms, longest %.3f ms\n",
                    f.stepMean, f.step99, f.stepMax);
    }
    return 0;
}

} // namespace onlineBench
