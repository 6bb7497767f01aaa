// The datagrams two players' programs exchange in an online match, and the
// one place that turns bytes from the other side into them.  The other side
// is a stranger: every field is checked here (size, protocol version, kind,
// player index, counts, frame ranges, unused input bits) before anything
// reads it, and a datagram that fails any check is refused whole.  The
// layout is written out in docs/packets.md; every number is little-endian.
#pragma once

#include "base/playerInput.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace packet {

// Raised whenever the layout or the meaning of a field changes; both sides
// must speak the same one.
constexpr std::uint8_t protocolVersion = 1;
// The first two bytes of every datagram: "TV".
constexpr std::uint8_t magic0 = 0x54;
constexpr std::uint8_t magic1 = 0x56;
// The most inputs and checksums one datagram carries.
constexpr std::size_t maxInputs = 64;
constexpr std::size_t maxChecksums = 16;
// Frames are counted from 0 at the start of the match; anything at or past
// this is refused (it is more than a year of play at 62.5 frames a second).
constexpr std::uint32_t frameLimit = 1u << 31;
// The longest input delay a side may run with: a side's inputs reach at most
// this many frames past its current frame.
constexpr std::uint32_t maxInputDelay = 8;
// The controls that travel: directions and buttons.  Escape and the box
// display stay on each side's own machine.
constexpr std::uint16_t sentControls = playerInput::left | playerInput::right | playerInput::up |
                                       playerInput::down | playerInput::buttonA |
                                       playerInput::buttonB | playerInput::buttonC;

enum class kind : std::uint8_t { hello = 1, input = 2, refuse = 3, bye = 4 };

// Why a side turned the other away.
enum class refusal : std::uint8_t {
    matchFull = 1,
    wrongVersion = 2,
    wrongPlayer = 3,
    differentSeed = 4,
};
// Why a side ends the match.
enum class byeReason : std::uint8_t { quit = 1, desync = 2 };

// "I am here, playing this side."  Sent until the other side answers.
struct hello {
    std::uint8_t player = 0; // the sender's player: 0 left, 1 right
    std::uint32_t nonce = 0; // chosen at start, so a restarted program is told apart
    bool heardYou = false;   // the sender has received the other side's hello
    std::uint32_t seed = 0;  // the match's random seed: both sides must play the same
};

// Every frame: the sender's inputs not yet acknowledged, what it has
// received, the stamps for the ping, and checksums of its confirmed frames.
struct input {
    std::uint8_t player = 0;              // the sender's player
    std::uint32_t frame = 0;              // the sender's current frame
    std::int8_t ahead = 0;                // how many frames the sender thinks it runs ahead
    std::uint32_t inputsReceived = 0;     // frames of the receiver's inputs the sender holds
    std::uint32_t checksumsReceived = 0;  // frames of the receiver's checksums the sender holds
    std::uint32_t stamp = 0;              // the sender's clock, in ms
    std::uint32_t echo = 0;               // the last stamp the sender received
    std::uint16_t echoAge = 0;            // ms between receiving that stamp and this datagram
    std::uint32_t firstInput = 0;         // the frame of inputs[0]
    std::vector<playerInput> inputs;      // consecutive frames
    std::uint32_t firstChecksum = 0;      // the frame of checksums[0]
    std::vector<std::uint64_t> checksums; // consecutive confirmed frames
};

struct refuse {
    refusal reason = refusal::matchFull;
    std::uint8_t version = protocolVersion; // the refusing side's protocol
};

struct bye {
    byeReason reason = byeReason::quit;
    std::uint32_t frame = 0; // for a desync: the frame whose checksums differ
    std::uint32_t tick = 0;  // and the game clock at its end
    std::uint64_t mine = 0;  // the sender's checksum of that frame
    std::uint64_t yours = 0; // the checksum the sender received for it
};

struct message {
    kind type = kind::hello;
    struct hello hello;
    struct input input;
    struct refuse refuse;
    struct bye bye;
};

// What is wrong with a datagram that is refused.
enum class fault {
    none,
    tooShort,     // shorter than the header
    badMagic,     // not one of ours
    wrongVersion, // ours, but another protocol version
    unknownKind,
    badSize,   // not the size its kind and counts give
    badPlayer, // a player index other than 0 or 1
    badCount,  // more inputs or checksums than a datagram may carry
    badFrame,  // a frame number out of range or inconsistent with the sender's frame
    badInput,  // an input with bits for controls that do not travel
    badField,  // a flag or reason that is not one of the known values
};

// Reads a datagram into `out`.  Anything but fault::none leaves `out`
// unusable.  On fault::wrongVersion, `version` holds the sender's version.
fault decode(const unsigned char* data, std::size_t size, message& out, std::uint8_t& version);
inline fault decode(const std::vector<unsigned char>& bytes, message& out) {
    std::uint8_t version = 0;
    return decode(bytes.data(), bytes.size(), out, version);
}

// The datagram for a message.  The message must be one decode accepts
// (counts within the limits); the encoder does not check it.
std::vector<unsigned char> encode(const message& m);

// Short builders for the common messages.
message makeHello(const hello& h);
message makeRefuse(refusal reason);
message makeBye(const bye& b);

// A fault in a few words, for the console: "wrong protocol version".
const char* describe(fault f);
// A refusal in a few words: "the match is full".
const char* describe(refusal r);

} // namespace packet
