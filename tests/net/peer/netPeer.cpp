// One side of a match of the tests' toy game over ENet on loopback, as a
// program of its own, so that two (or three) of them can play each other and
// be killed: the two-process tests (twoProcess_test.sh) drive it.
//
//   netpeer (--host PORT | --join HOST:PORT | --join-bridge UDPPORT) [--frames N] [--step-ms MS]
//           [--delay FRAMES] [--seed S] [--limit-ms MS] [--version V] [--hostile]
//           [--impair SEED] [--corrupt-at FRAME] [--log FILE]
//
// It plays until N frames are confirmed, lingers a second so the other side
// gets there too, leaves, and prints "confirmed N digest D" (a hash of the
// checksums of frames 0..N-1).  Exit 0 then; 1 when the match ended before
// (with the reason on the console); 3 when --limit-ms passed; 2 on misuse.
// --version sends every datagram with another protocol version; --hostile
// slips in, at frame 100, datagrams the other side must refuse or drop (the
// one of another version again every ten frames up to frame 300).
// --impair holds back what this side sends by 80 +- 20 ms, loses 5%,
// repeats 2% and reorders 5% (the seed drives the choices).
// --corrupt-at makes this side's game go wrong at that frame (a desync);
// --log writes the match as this side confirmed it (rollbackSession::writeLog)
// when it ends.
// --join-bridge plays the right-hand side through the browser bridge
// (web/bridge.js) listening on 127.0.0.1:UDPPORT.
#include "../toySimulation.h"
#include "net/enetTransport.h"
#include "net/impairedLink.h"
#include "net/packet.h"
#include "net/rollbackSession.h"
#include "net/scriptedPlayer.h"
#include "net/udpTransport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>

namespace {

void say(const std::string& line) {
    std::printf("netpeer: %s\n", line.c_str());
    std::fflush(stdout);
}

std::vector<unsigned char> inputFrom(int player, std::uint32_t frame, std::uint32_t first) {
    packet::message m;
    m.type = packet::kind::input;
    m.input.player = static_cast<std::uint8_t>(player);
    m.input.frame = frame;
    m.input.firstInput = first;
    playerInput p;
    p.held = playerInput::left;
    m.input.inputs = {p};
    return packet::encode(m);
}

} // namespace

int main(int argc, char** argv) {
    std::string hostPort, joinTo, bridgePort;
    std::uint32_t frames = 300, stepMs = 16, limitMs = 30000, seed = 1;
    int delay = 2, version = packet::protocolVersion;
    bool hostile = false;
    std::uint64_t impairSeed = 0;
    std::uint32_t corruptAt = ~0u;
    std::string logPath;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--host" && more)
            hostPort = argv[++i];
        else if (a == "--join-bridge" && more)
            bridgePort = argv[++i];
        else if (a == "--join" && more)
            joinTo = argv[++i];
        else if (a == "--frames" && more)
            frames = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--step-ms" && more)
            stepMs = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--limit-ms" && more)
            limitMs = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--delay" && more)
            delay = std::atoi(argv[++i]);
        else if (a == "--seed" && more)
            seed = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--version" && more)
            version = std::atoi(argv[++i]);
        else if (a == "--impair" && more)
            impairSeed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--corrupt-at" && more)
            corruptAt = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--log" && more)
            logPath = argv[++i];
        else if (a == "--hostile")
            hostile = true;
        else {
            std::fprintf(stderr, "netpeer: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (hostPort.empty() + joinTo.empty() + bridgePort.empty() != 2) {
        std::fprintf(stderr, "netpeer: give --host PORT, --join HOST:PORT or --join-bridge PORT\n");
        return 2;
    }

    std::string error;
    std::unique_ptr<enetTransport> carrier;
    const bool hosting = !hostPort.empty();
    if (hosting) {
        carrier = enetTransport::host(
            "127.0.0.1", static_cast<std::uint16_t>(std::atoi(hostPort.c_str())), error);
    } else if (!joinTo.empty()) {
        std::string name;
        std::uint16_t port = 0;
        if (enetTransport::splitHostPort(joinTo, name, port, error))
            carrier = enetTransport::join(name, port, error);
    }
    std::unique_ptr<udpTransport> bridge;
    transport link;
    if (!bridgePort.empty()) {
        bridge = udpTransport::toBridge(static_cast<std::uint16_t>(std::atoi(bridgePort.c_str())),
                                        error);
        if (!bridge) {
            say(error);
            return 1;
        }
        link = bridge->link();
    } else {
        if (!carrier) {
            say(error);
            return 1;
        }
        carrier->log = say;
        link = carrier->link();
    }
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const auto sinceStart = [start] {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - start).count());
    };
    std::unique_ptr<impairedLink> impaired;
    if (impairSeed != 0) {
        impaired =
            std::make_unique<impairedLink>(impairedLink::poorNetwork(), impairSeed, sinceStart);
        link = impaired->impairOutgoing(link);
    }
    if (version != packet::protocolVersion) {
        const auto inner = link.send;
        link.send = [inner, version](const std::vector<unsigned char>& bytes) {
            std::vector<unsigned char> other = bytes;
            other[2] = static_cast<unsigned char>(version);
            inner(other);
        };
    }

    toySimulation game;
    game.corruptAt = corruptAt;
    rollbackSession::settings s;
    s.localPlayer = hosting ? 0 : 1;
    s.host = hosting;
    s.inputDelay = delay;
    s.nonce = seed;
    s.log = say;
    std::map<std::uint32_t, std::uint64_t> sums;
    rollbackSession session(game.callbacks(), s, link);
    session.onConfirmed = [&](std::uint32_t f, std::uint64_t sum) { sums[f] = sum; };
    scriptedPlayer player(seed * 7919 + (hosting ? 0 : 1));

    auto nextStep = start;
    bool slipped = false;
    std::vector<unsigned char> wrongVersion = packet::encode(packet::makeHello({}));
    wrongVersion[2] = packet::protocolVersion + 1;
    std::uint32_t nextVersion = 0;
    std::uint32_t lingerUntil = 0;
    while (session.state() != rollbackSession::phase::ended) {
        const std::uint32_t now = sinceStart();
        if (now > limitMs) {
            say("time limit reached at frame " + std::to_string(session.frame()));
            return 3;
        }
        // ENet drops some unreliable datagrams on its own when round trips
        // vary, as they do on a busy machine.  Only the first five refusals
        // are named, so the other version goes first and, alone, again every
        // ten frames up to frame 300: the first of it that arrives is named
        // whatever was lost before.
        if (hostile && slipped && session.frame() >= nextVersion && session.frame() <= 300) {
            nextVersion = session.frame() + 10;
            link.send(wrongVersion);
        }
        if (hostile && !slipped && session.frame() >= 100) {
            slipped = true;
            nextVersion = session.frame() + 10;
            const int other = 1 - s.localPlayer;
            std::vector<unsigned char> noPlayer = inputFrom(s.localPlayer, 50, 50);
            noPlayer[4] = 7;
            for (const auto& bytes :
                 {wrongVersion, std::vector<unsigned char>{0xde, 0xad},
                  std::vector<unsigned char>(900, 0x41), noPlayer,
                  inputFrom(s.localPlayer, session.frame() + 100000, session.frame() + 99999),
                  inputFrom(s.localPlayer, 1, 1),
                  inputFrom(other, session.frame(), session.frame())})
                link.send(bytes);
            say("sent hostile datagrams at frame " + std::to_string(session.frame()));
        }
        session.step(now, player.next());
        if (session.confirmed() >= frames && lingerUntil == 0) lingerUntil = now + 1000;
        if (lingerUntil != 0 && now >= lingerUntil) {
            session.quit();
            break;
        }
        nextStep += std::chrono::milliseconds(stepMs);
        std::this_thread::sleep_until(nextStep);
    }
    // What the impaired link still holds (the goodbye) goes out when due.
    if (impaired) {
        const std::uint32_t until = sinceStart() + 300;
        std::vector<unsigned char> ignored;
        while (sinceStart() < until) {
            link.receive(ignored);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    if (carrier) carrier->service();

    const auto& st = session.stats();
    const double seconds = sinceStart() / 1000.0;
    char perSecond[32];
    std::snprintf(perSecond, sizeof perSecond, "%.1f", st.rollbacks / seconds);
    say("frames " + std::to_string(session.frame()) + ", confirmed " +
        std::to_string(session.confirmed()) + ", rollbacks " + std::to_string(st.rollbacks) + " (" +
        perSecond + " a second), longest " + std::to_string(st.longestRollback) +
        ", steps waited " + std::to_string(st.waited) + ", skipped for sync " +
        std::to_string(st.skippedForSync) + ", refused " + std::to_string(st.refused) +
        ", dropped " + std::to_string(st.dropped) + ", ping " + std::to_string(st.pingMs) + " ms");
    if (!logPath.empty()) {
        std::ofstream log(logPath);
        session.writeLog(log);
    }
    if (session.confirmed() < frames) {
        say("ended: " + session.endMessage());
        return 1;
    }
    std::uint64_t digest = 1469598103934665603ull;
    for (std::uint32_t f = 0; f < frames; ++f) {
        digest ^= sums.at(f);
        digest *= 1099511628211ull;
    }
    std::printf("confirmed %u digest %016llx\n", frames, static_cast<unsigned long long>(digest));
    return 0;
}
