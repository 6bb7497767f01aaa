// The online match's packet decoder and the session behind it.  The input is
// a run of datagrams, each one byte of length then that many bytes, as they
// might arrive from a hostile other side.  Every datagram goes through the
// decoder; one that is accepted must encode back to exactly its bytes.  Then
// all of them reach a session in turn, one step each, whose simulation checks
// that every frame it is asked to play, restore or replay is one it may.
#include "net/packet.h"
#include "net/rollbackSession.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using datagram = std::vector<unsigned char>;

// Each datagram is one byte of length, then that many bytes (fewer at the end).
std::vector<datagram> datagramsOf(const uint8_t* data, size_t size) {
    std::vector<datagram> datagrams;
    for (size_t at = 0; at < size;) {
        const size_t length = data[at++];
        const size_t take = length < size - at ? length : size - at;
        datagrams.emplace_back(data + at, data + at + take);
        at += take;
    }
    return datagrams;
}

// A simulation whose state is the frames it played, so a restore of a
// frame never saved or a frame played out of turn is caught.
rollbackSession::simulation countingFrames(std::uint32_t& state) {
    rollbackSession::simulation sim;
    sim.save = [&state](std::vector<unsigned char>& out) {
        out.assign(reinterpret_cast<unsigned char*>(&state),
                   reinterpret_cast<unsigned char*>(&state) + sizeof state);
    };
    sim.restore = [&state](const std::vector<unsigned char>& in) {
        if (in.size() != sizeof state) std::abort();
        std::uint32_t restored;
        std::copy(in.begin(), in.end(), reinterpret_cast<unsigned char*>(&restored));
        state = restored;
    };
    sim.advance = [&state](std::uint32_t frame, const rollbackSession::frameInputs&, bool) {
        if (frame != state) std::abort();
        ++state;
    };
    sim.checksum = [&state] { return static_cast<std::uint64_t>(state) * 0x9e3779b97f4a7c15ull; };
    return sim;
}

// The datagrams reach a session one a step.
void playThroughSession(const std::vector<datagram>& datagrams, int inputDelay) {
    std::uint32_t state = 0;
    size_t next = 0;
    bool given = false;
    transport link;
    link.send = [](const std::vector<unsigned char>&) {};
    link.receive = [&](std::vector<unsigned char>& out) {
        if (given || next >= datagrams.size()) return false;
        out = datagrams[next++];
        given = true;
        return true;
    };
    rollbackSession::settings s;
    s.localPlayer = 1;
    s.inputDelay = inputDelay;
    rollbackSession session(countingFrames(state), s, link);
    std::uint32_t now = 0;
    for (size_t i = 0; i <= datagrams.size() && session.state() != rollbackSession::phase::ended;
         ++i) {
        playerInput in;
        in.held = static_cast<std::uint16_t>(i * 37) & playerInput::all;
        given = false;
        session.step(now, in);
        now += 16;
        if (state != session.frame()) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<datagram> datagrams = datagramsOf(data, size);
    for (const auto& bytes : datagrams) {
        packet::message m;
        if (packet::decode(bytes, m) == packet::fault::none && packet::encode(m) != bytes)
            std::abort(); // two readings of the same bytes
    }
    playThroughSession(datagrams, static_cast<int>(size % 9));
    return 0;
}
