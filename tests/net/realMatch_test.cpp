// Two sides of an online match of the real game in one process, over the
// impaired link (80 +- 20 ms each way, 5% loss, repeats, reordering), with
// self-playing players on both sides.  The game's globals make one game per
// process, so the two sides take turns with it: before a side's step its own
// state is put back, after it the state is saved again.  Every confirmed
// frame's checksum must agree between the sides and with a straight run of
// the same inputs, and rollbacks must happen.
#include "game/matchState.h"
#include "game/versusLoop.h"
#include "net/impairedLink.h"
#include "net/rollbackSession.h"
#include "net/scriptedPlayer.h"
#include "replayRunner.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <unistd.h>

using namespace testing_support;

namespace {

struct side {
    std::vector<unsigned char> state; // the game as this side left it
    std::unique_ptr<rollbackSession> session;
    std::map<std::uint32_t, std::uint64_t> sums;
    scriptedPlayer player;
    double resimulatingMs = 0; // time spent playing frames again
    explicit side(std::uint64_t seed) : player(seed) {}
};

} // namespace

TEST(RealMatch, PeersOverAPoorLinkAgreeWithAStraightRunAndRollBack) {
    ASSERT_EQ(chdir(sourceDir().c_str()), 0);
    replayScript script;
    script.versus = true;
    script.frameCount = 100000;
    std::ostringstream trace;
    replayRunner game(script, &trace);
    matchState match(game.session);
    std::vector<unsigned char> start;
    match.save(start);

    std::uint32_t now = 0;
    impairedLink link(impairedLink::poorNetwork(), 17, [&] { return now; });

    side sides[2] = {side(101), side(202)};
    for (int p = 0; p < 2; ++p) {
        side& s = sides[p];
        s.state = start;
        rollbackSession::simulation sim;
        sim.save = [&match](std::vector<unsigned char>& out) { match.save(out); };
        sim.restore = [&match](const std::vector<unsigned char>& in) {
            ASSERT_TRUE(match.restore(in));
        };
        sim.advance = [&game, &s](std::uint32_t f, const rollbackSession::frameInputs& in,
                                  bool resimulating) {
            const auto begin = std::chrono::steady_clock::now();
            versusLoop::playFrame(game.session, f, {in[0], in[1]}, resimulating, false);
            if (resimulating)
                s.resimulatingMs += std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - begin)
                                        .count();
        };
        sim.checksum = [&match] { return match.checksum(); };
        // The guest saves once a frame (the state after a frame serves its
        // checksum and the next frame's save); the host saves twice.  Both
        // must give the straight run's checksums.
        if (p == 1) sim.checksumOf = matchState::checksumOf;
        rollbackSession::settings settings;
        settings.localPlayer = p;
        settings.host = p == 0;
        s.session = std::make_unique<rollbackSession>(sim, settings, link.side(p));
        s.session->onConfirmed = [&s](std::uint32_t f, std::uint64_t sum) { s.sums[f] = sum; };
    }

    const std::uint32_t frames = 600;
    for (; now < 60000; ++now) {
        for (int p = 0; p < 2; ++p) {
            if ((now + 5 * p) % 16 != 0) continue;
            side& s = sides[p];
            ASSERT_TRUE(match.restore(s.state));
            s.session->step(now, s.player.next());
            match.save(s.state);
        }
        if (sides[0].session->confirmed() >= frames && sides[1].session->confirmed() >= frames)
            break;
    }
    for (side& s : sides) {
        ASSERT_EQ(s.session->state(), rollbackSession::phase::running) << s.session->endMessage();
        ASSERT_GE(s.session->confirmed(), frames);
    }

    // The straight run of the same inputs.
    const auto inputs = sides[0].session->confirmedInputs();
    ASSERT_TRUE(match.restore(start));
    for (std::uint32_t f = 0; f < frames; ++f) {
        ASSERT_TRUE(inputs[f] == sides[1].session->confirmedInputs()[f]) << "frame " << f;
        versusLoop::playFrame(game.session, f, {inputs[f][0], inputs[f][1]}, false, false);
        const std::uint64_t straight = match.checksum();
        ASSERT_EQ(sides[0].sums.at(f), straight) << "host, frame " << f;
        ASSERT_EQ(sides[1].sums.at(f), straight) << "guest, frame " << f;
    }

    for (int p = 0; p < 2; ++p) {
        const auto& st = sides[p].session->stats();
        std::printf("%s: %u frames, %llu rollbacks (%.1f a second), longest %u, %llu frames "
                    "played again in %.1f ms (%.3f ms a frame played), %llu steps waited\n",
                    p == 0 ? "host" : "guest", sides[p].session->frame(),
                    static_cast<unsigned long long>(st.rollbacks), st.rollbacks * 1000.0 / now,
                    st.longestRollback, static_cast<unsigned long long>(st.framesResimulated),
                    sides[p].resimulatingMs, sides[p].resimulatingMs / sides[p].session->frame(),
                    static_cast<unsigned long long>(st.waited));
        EXPECT_GT(st.rollbacks, 0u);
        EXPECT_LE(st.longestRollback, 8u);
    }
}
