// The tests' toy game with the rollback session, in the browser: the page
// (tests/net/web/nettest.html) carries the datagrams over WebRTC with
// web/online.js and steps the session every 16 ms.  Like the desktop's
// netpeer, it plays until N frames are confirmed, lingers a second, leaves,
// and reports "confirmed N digest D" (a hash of frames 0..N-1's checksums).
#include "net/rollbackSession.h"
#include "net/scriptedPlayer.h"
#include "toySimulation.h"

#include <emscripten.h>

#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>

EM_JS(void, netTestSend, (const unsigned char* data, int size),
      { Module.netSend(HEAPU8.slice(data, data + size)); });

namespace {

struct netTest {
    toySimulation game;
    std::unique_ptr<rollbackSession> session;
    std::unique_ptr<scriptedPlayer> player;
    std::deque<std::vector<unsigned char>> arrived;
    std::map<std::uint32_t, std::uint64_t> sums;
    std::uint32_t frames = 0;
    std::uint32_t lingerUntil = 0;
    bool done = false;
    std::string report;
};

netTest* test = nullptr;

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void netTestStart(int player, int frames, int seed, int delay) {
    test = new netTest;
    test->frames = static_cast<std::uint32_t>(frames);
    test->player = std::make_unique<scriptedPlayer>(seed * 7919ull + player);
    transport link;
    link.send = [](const std::vector<unsigned char>& bytes) {
        netTestSend(bytes.data(), static_cast<int>(bytes.size()));
    };
    link.receive = [](std::vector<unsigned char>& out) {
        if (test->arrived.empty()) return false;
        out = std::move(test->arrived.front());
        test->arrived.pop_front();
        return true;
    };
    rollbackSession::settings s;
    s.localPlayer = player;
    s.host = player == 0;
    s.inputDelay = delay;
    s.nonce = static_cast<std::uint32_t>(seed);
    s.log = [](const std::string& line) { std::printf("netTest: %s\n", line.c_str()); };
    test->session = std::make_unique<rollbackSession>(test->game.callbacks(), s, link);
    test->session->onConfirmed = [](std::uint32_t f, std::uint64_t sum) { test->sums[f] = sum; };
}

EMSCRIPTEN_KEEPALIVE void netTestDeliver(const unsigned char* data, int size) {
    if (test != nullptr && size >= 0 && test->arrived.size() < 1024)
        test->arrived.emplace_back(data, data + size);
}

// 0 connecting, 1 playing, 2 finished (the report is ready).
EMSCRIPTEN_KEEPALIVE int netTestStep(unsigned now) {
    if (test == nullptr) return 0;
    if (test->done) return 2;
    rollbackSession& s = *test->session;
    s.step(now, test->player->next());
    if (s.confirmed() >= test->frames && test->lingerUntil == 0) test->lingerUntil = now + 1000;
    if (test->lingerUntil != 0 && now >= test->lingerUntil) s.quit();
    if (s.state() != rollbackSession::phase::ended)
        return s.state() == rollbackSession::phase::running ? 1 : 0;

    test->done = true;
    const auto& st = s.stats();
    char line[256];
    std::snprintf(line, sizeof line,
                  "frames %u, confirmed %u, rollbacks %llu, longest %u, ping %u ms", s.frame(),
                  s.confirmed(), static_cast<unsigned long long>(st.rollbacks), st.longestRollback,
                  st.pingMs);
    test->report = line;
    if (s.confirmed() >= test->frames) {
        std::uint64_t digest = 1469598103934665603ull;
        for (std::uint32_t f = 0; f < test->frames; ++f) {
            digest ^= test->sums[f];
            digest *= 1099511628211ull;
        }
        std::snprintf(line, sizeof line, "\nconfirmed %u digest %016llx", test->frames,
                      static_cast<unsigned long long>(digest));
        test->report += line;
    } else {
        test->report += "\nended: " + s.endMessage();
    }
    return 2;
}

EMSCRIPTEN_KEEPALIVE const char* netTestReport() {
    return test ? test->report.c_str() : "";
}
}

int main() {
    return 0;
}
