// Two sides of a match in one process, over a link as poor as the issue's
// worst case, driven by one virtual clock: what both sides confirm must be
// what a straight run of the same inputs gives, frame by frame.
#include "net/impairedLink.h"
#include "net/rollbackSession.h"
#include "net/scriptedPlayer.h"
#include "toySimulation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

struct side {
    toySimulation game;
    std::unique_ptr<rollbackSession> session;
    std::map<std::uint32_t, std::uint64_t> confirmedSums;
    std::vector<std::string> log;
    scriptedPlayer player;
    std::uint32_t stepEvery = 16;
    std::uint32_t startAt = 0;
    std::uint32_t nextStep = 0;

    side(int which, transport link, rollbackSession::settings s, std::uint64_t seed)
        : player(seed) {
        s.localPlayer = which;
        s.log = [this](const std::string& line) { log.push_back(line); };
        session = std::make_unique<rollbackSession>(game.callbacks(), s, std::move(link));
        session->onConfirmed = [this](std::uint32_t f, std::uint64_t sum) {
            EXPECT_EQ(confirmedSums.count(f), 0u) << "frame " << f << " confirmed twice";
            confirmedSums[f] = sum;
        };
    }
};

// A match between two sides over one link: `now` is the clock both live by.
struct match {
    std::uint32_t now = 0;
    impairedLink link;
    std::unique_ptr<side> a, b;

    match(impairedLink::conditions c, std::uint64_t seed, rollbackSession::settings s = {})
        : link(c, seed, [this] { return now; }) {
        rollbackSession::settings hostSettings = s;
        hostSettings.host = true;
        a = std::make_unique<side>(0, link.side(0), hostSettings, seed * 3 + 1);
        b = std::make_unique<side>(1, link.side(1), s, seed * 7 + 2);
    }

    // Runs until both sides confirmed `frames` frames, either ended, or
    // `limitMs` of virtual time passed.
    void run(std::uint32_t frames, std::uint32_t limitMs = 120000) {
        for (; now < limitMs; ++now) {
            for (side* s : {a.get(), b.get()}) {
                if (now < s->startAt || now < s->nextStep) continue;
                s->nextStep = now + s->stepEvery;
                s->session->step(now, s->player.next());
            }
            if (ended()) return;
            if (a->session->confirmed() >= frames && b->session->confirmed() >= frames) return;
        }
    }
    bool ended() const {
        return a->session->state() == rollbackSession::phase::ended ||
               b->session->state() == rollbackSession::phase::ended;
    }
};

// The checksums of a straight run of these inputs, frame by frame.
std::vector<std::uint64_t> straightRun(const std::vector<rollbackSession::frameInputs>& inputs) {
    toySimulation game;
    std::vector<std::uint64_t> sums;
    for (std::uint32_t f = 0; f < inputs.size(); ++f) {
        game.advance(f, inputs[f], false);
        sums.push_back(game.checksum());
    }
    return sums;
}

void printStats(const char* name, const rollbackSession& s, std::uint32_t ms) {
    const rollbackSession::statistics& st = s.stats();
    std::printf("%s: %u frames, %llu rollbacks (%.1f a second), longest %u frames, "
                "%llu frames played again, %llu skipped for time sync, %llu steps waited, "
                "ping %u ms\n",
                name, s.frame(), static_cast<unsigned long long>(st.rollbacks),
                st.rollbacks * 1000.0 / (ms ? ms : 1), st.longestRollback,
                static_cast<unsigned long long>(st.framesResimulated),
                static_cast<unsigned long long>(st.skippedForSync),
                static_cast<unsigned long long>(st.waited), st.pingMs);
}

} // namespace

TEST(RollbackSession, PeersOverAPoorLinkAgreeWithAStraightRunAndRollBack) {
    match m(impairedLink::poorNetwork(), 7);
    m.b->startAt = 37; // the second program starts a little later
    m.run(1200);
    ASSERT_FALSE(m.ended()) << m.a->session->endMessage() << m.b->session->endMessage();
    printStats("host", *m.a->session, m.now);
    printStats("guest", *m.b->session, m.now);
    std::printf("link: %llu sent, %llu lost, %llu duplicated, %llu held back\n",
                static_cast<unsigned long long>(m.link.sent()),
                static_cast<unsigned long long>(m.link.lost()),
                static_cast<unsigned long long>(m.link.duplicated()),
                static_cast<unsigned long long>(m.link.reordered()));

    const auto inputsA = m.a->session->confirmedInputs();
    const auto inputsB = m.b->session->confirmedInputs();
    const std::size_t common = std::min(inputsA.size(), inputsB.size());
    ASSERT_GE(common, 1200u);
    for (std::size_t f = 0; f < common; ++f)
        ASSERT_TRUE(inputsA[f] == inputsB[f]) << "frame " << f;
    const std::vector<std::uint64_t> straight = straightRun(inputsA);
    for (std::uint32_t f = 0; f < common; ++f) {
        ASSERT_EQ(m.a->confirmedSums.at(f), straight[f]) << "host, frame " << f;
        ASSERT_EQ(m.b->confirmedSums.at(f), straight[f]) << "guest, frame " << f;
    }

    for (side* s : {m.a.get(), m.b.get()}) {
        const rollbackSession::statistics& st = s->session->stats();
        EXPECT_GT(st.rollbacks, 0u);
        EXPECT_LE(st.longestRollback, 8u);
        // Each frame is played fresh once; each sound reaches the speaker once.
        for (const auto& [frame, plays] : s->game.freshPlays)
            ASSERT_EQ(plays, 1) << "frame " << frame;
        for (const auto& [key, plays] : s->game.played)
            ASSERT_EQ(plays, 1) << "frame " << key.first << " player " << key.second;
    }
    // And every sound of the straight run was heard.
    toySimulation straightGame;
    for (std::uint32_t f = 0; f < common; ++f)
        straightGame.advance(f, inputsA[f], false);
    for (const auto& [key, plays] : straightGame.played)
        EXPECT_EQ(m.a->game.played.count(key), 1u) << "frame " << key.first;
}

TEST(RollbackSession, ALinkFasterThanTheInputDelayNeverRollsBack) {
    impairedLink::conditions c; // no delay at all: inputs arrive before they are due
    match m(c, 3);
    m.run(300);
    ASSERT_FALSE(m.ended());
    EXPECT_EQ(m.a->session->stats().rollbacks, 0u);
    EXPECT_EQ(m.b->session->stats().rollbacks, 0u);
    EXPECT_GE(m.a->session->confirmed(), 300u);
}

TEST(RollbackSession, LocalInputTakesEffectAfterTheInputDelay) {
    for (int delay : {0, 3, 8}) {
        impairedLink::conditions c;
        c.delayMs = 20;
        rollbackSession::settings s;
        s.inputDelay = delay;
        match m(c, 11, s);
        // The host presses A on one step only: record which step.
        std::vector<playerInput> given;
        m.a->player = scriptedPlayer(99);
        m.run(200);
        ASSERT_FALSE(m.ended());
        EXPECT_EQ(m.a->session->inputDelay(), delay);
        const auto inputs = m.a->session->confirmedInputs();
        // The first `delay` frames carry nothing from either side's player.
        for (int f = 0; f < delay; ++f) {
            EXPECT_EQ(inputs[f][0], playerInput{}) << "delay " << delay << " frame " << f;
            EXPECT_EQ(inputs[f][1], playerInput{}) << "delay " << delay << " frame " << f;
        }
        // Then the host's inputs are its script's, in order: the script's
        // first step is in frame `delay` (steps before the match started
        // only gathered input).
        bool someHeld = false;
        for (std::size_t f = delay; f < inputs.size(); ++f)
            someHeld = someHeld || inputs[f][0].held != 0;
        EXPECT_TRUE(someHeld);
    }
}

TEST(RollbackSession, TheSideThatRunsAheadSlowsDown) {
    // The guest's clock runs 1/16 fast: without time sync it would stall
    // at the rollback window again and again.
    impairedLink::conditions c;
    c.delayMs = 40;
    match m(c, 5);
    m.b->stepEvery = 15;
    m.run(1500);
    ASSERT_FALSE(m.ended());
    printStats("host", *m.a->session, m.now);
    printStats("guest (fast clock)", *m.b->session, m.now);
    const auto& fast = m.b->session->stats();
    EXPECT_GT(fast.skippedForSync, 50u);
    EXPECT_LT(fast.waited, fast.skippedForSync / 4);
    EXPECT_EQ(m.a->session->stats().skippedForSync < 10, true);
}

TEST(RollbackSession, ADesyncEndsTheMatchOnBothSidesNamingFrameAndTick) {
    impairedLink::conditions c;
    c.delayMs = 30;
    rollbackSession::settings s;
    s.firstTick = 1000;
    match m(c, 9, s);
    m.b->game.corruptAt = 300;
    m.run(2000, 20000);
    for (side* sd : {m.a.get(), m.b.get()}) {
        // The other side learns of it from the goodbye, or finds it itself.
        for (int i = 0; i < 50 && sd->session->state() != rollbackSession::phase::ended; ++i)
            m.run(2000, m.now + 16);
    }
    ASSERT_EQ(m.a->session->howEnded(), rollbackSession::ending::desync);
    ASSERT_EQ(m.b->session->howEnded(), rollbackSession::ending::desync);
    for (side* sd : {m.a.get(), m.b.get()}) {
        const std::string& message = sd->session->endMessage();
        EXPECT_NE(message.find("desync at frame 300 (tick " + std::to_string(1000 + 301 * 16)),
                  std::string::npos)
            << message;
        // The inputs up to the frame are there for the recording.
        EXPECT_GE(sd->session->confirmedInputs().size(), 300u);
    }
}

TEST(RollbackSession, ACutLinkIsAConnectionLostWithinTheSilenceLimit) {
    impairedLink::conditions c;
    c.delayMs = 50;
    match m(c, 4);
    m.run(200);
    ASSERT_FALSE(m.ended());
    const std::uint32_t cutAt = m.now;
    m.link.cut();
    m.run(100000, cutAt + 3000);
    m.run(100000, m.now + 20); // the other side's next step
    for (side* sd : {m.a.get(), m.b.get()}) {
        EXPECT_EQ(sd->session->howEnded(), rollbackSession::ending::connectionLost);
        EXPECT_EQ(sd->session->endMessage(), "connection lost");
    }
    EXPECT_LT(m.now - cutAt, 3000u);
}

// A player who joins and vanishes before the match starts is gone as surely
// as one who vanishes mid-match: the host must not wait on the carrier.
TEST(RollbackSession, APlayerWhoVanishesDuringTheGreetingIsAConnectionLost) {
    impairedLink::conditions c;
    c.delayMs = 50;
    match m(c, 5);
    m.b->session->step(m.now, {}); // the guest says hello, once
    m.now = 60;
    m.a->session->step(m.now, {}); // the host hears it
    ASSERT_EQ(m.a->session->state(), rollbackSession::phase::connecting);
    m.link.cut();
    const std::uint32_t cutAt = m.now;
    while (m.a->session->state() != rollbackSession::phase::ended && m.now < cutAt + 10000) {
        m.now += 16;
        m.a->session->step(m.now, {});
    }
    EXPECT_EQ(m.a->session->howEnded(), rollbackSession::ending::connectionLost);
    EXPECT_LT(m.now - cutAt, 3000u);
}

TEST(RollbackSession, LeavingTellsTheOtherSide) {
    impairedLink::conditions c;
    c.delayMs = 30;
    match m(c, 8);
    m.run(100);
    m.a->session->quit();
    EXPECT_EQ(m.a->session->howEnded(), rollbackSession::ending::quit);
    for (std::uint32_t t = 0; t < 200; t += 16) {
        m.now += 16;
        m.b->session->step(m.now, {});
    }
    EXPECT_EQ(m.b->session->howEnded(), rollbackSession::ending::otherQuit);
    EXPECT_EQ(m.b->session->endMessage(), "the other player left the match");
}

TEST(RollbackSession, BothSidesWantingTheSamePlayerAreRefused) {
    impairedLink::conditions c;
    toySimulation ga, gb;
    std::uint32_t now = 0;
    impairedLink link(c, 1, [&] { return now; });
    rollbackSession::settings s;
    s.localPlayer = 0;
    rollbackSession a(ga.callbacks(), s, link.side(0)), b(gb.callbacks(), s, link.side(1));
    for (; now < 500; now += 16) {
        a.step(now, {});
        b.step(now, {});
    }
    EXPECT_EQ(a.howEnded(), rollbackSession::ending::refused);
    EXPECT_EQ(b.howEnded(), rollbackSession::ending::refused);
    EXPECT_NE(a.endMessage().find("same player"), std::string::npos) << a.endMessage();
}

TEST(RollbackSession, SidesWithDifferentSeedsAreRefusedAndTheHostWaitsOn) {
    impairedLink::conditions c;
    toySimulation ga, gb;
    std::uint32_t now = 0;
    impairedLink link(c, 1, [&] { return now; });
    rollbackSession::settings s;
    s.host = true;
    s.seed = 5;
    rollbackSession host(ga.callbacks(), s, link.side(0));
    s.host = false;
    s.localPlayer = 1;
    s.seed = 6;
    rollbackSession guest(gb.callbacks(), s, link.side(1));
    for (; now < 500; now += 16) {
        host.step(now, {});
        guest.step(now, {});
    }
    EXPECT_EQ(guest.howEnded(), rollbackSession::ending::refused);
    EXPECT_NE(guest.endMessage().find("seed"), std::string::npos) << guest.endMessage();
    EXPECT_EQ(host.state(), rollbackSession::phase::connecting);
}

TEST(RollbackSession, HostileDatagramsAreRefusedOrDroppedAndTheMatchGoesOn) {
    impairedLink::conditions c;
    c.delayMs = 40;
    c.jitterMs = 10;
    std::uint32_t now = 0;
    impairedLink link(c, 21, [&] { return now; });
    // The guest's carrier also delivers what a stranger slipped in.
    std::vector<std::vector<unsigned char>> slipped;
    transport guestLink = link.side(1);
    transport wrapped = guestLink;
    wrapped.receive = [&](std::vector<unsigned char>& out) {
        if (!slipped.empty()) {
            out = slipped.back();
            slipped.pop_back();
            return true;
        }
        return guestLink.receive(out);
    };
    rollbackSession::settings hs;
    hs.host = true;
    side host(0, link.side(0), hs, 1);
    side guest(1, wrapped, {}, 2);

    auto hostInput = [&](std::uint32_t frame, std::uint32_t firstInput, std::uint8_t player) {
        packet::message m;
        m.type = packet::kind::input;
        m.input.player = player;
        m.input.frame = frame;
        m.input.firstInput = firstInput;
        playerInput p;
        p.held = playerInput::right;
        m.input.inputs = {p};
        return packet::encode(m);
    };
    std::vector<unsigned char> oldVersion = packet::encode(packet::makeHello({}));
    oldVersion[2] = packet::protocolVersion + 7;
    std::vector<unsigned char> noPlayer = hostInput(10, 10, 0);
    noPlayer[4] = 5;

    for (; now < 20000; ++now) {
        if (now % 16 == 0) host.session->step(now, host.player.next());
        if (now % 16 == 5) {
            if (now == 4005) {
                slipped = {
                    {1, 2, 3},
                    std::vector<unsigned char>(1400, 0xff),
                    oldVersion,
                    noPlayer,
                    hostInput(guest.session->frame() + 5000, guest.session->frame() + 4995,
                              0),                             // far in the future
                    hostInput(3, 3, 0),                       // far in the past
                    hostInput(guest.session->frame(), 0, 1)}; // as if from the guest's own player
            }
            guest.session->step(now, guest.player.next());
        }
        if (host.session->confirmed() >= 800 && guest.session->confirmed() >= 800) break;
    }
    ASSERT_EQ(guest.session->state(), rollbackSession::phase::running)
        << guest.session->endMessage();
    ASSERT_EQ(host.session->state(), rollbackSession::phase::running) << host.session->endMessage();
    EXPECT_EQ(guest.session->stats().refused, 4u); // two garbage, one old version, no player 5
    EXPECT_GE(guest.session->stats().dropped, 3u); // future, past, wrong player
    // Each refusal is named on the console.
    ASSERT_EQ(guest.log.size(), 4u);
    int versions = 0;
    for (const std::string& line : guest.log)
        versions += line.find("protocol version " + std::to_string(packet::protocolVersion + 7)) !=
                    std::string::npos;
    EXPECT_EQ(versions, 1);
    for (std::uint32_t f = 0; f < 800; ++f)
        ASSERT_EQ(host.confirmedSums.at(f), guest.confirmedSums.at(f)) << "frame " << f;
}
