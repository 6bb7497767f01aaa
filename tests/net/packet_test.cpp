// The packet decoder is the only door the other side's bytes come through:
// what the encoder writes reads back as written, and everything the checks
// promise to refuse is refused.
#include "net/packet.h"

#include <gtest/gtest.h>

namespace {

packet::message sampleInput() {
    packet::message m;
    m.type = packet::kind::input;
    packet::input& in = m.input;
    in.player = 1;
    in.frame = 100;
    in.ahead = -3;
    in.inputsReceived = 97;
    in.checksumsReceived = 90;
    in.stamp = 123456;
    in.echo = 123000;
    in.echoAge = 12;
    in.firstInput = 99;
    playerInput a;
    a.held = playerInput::left | playerInput::buttonA;
    a.pressed = playerInput::buttonA;
    playerInput b;
    b.held = playerInput::down;
    in.inputs = {a, b, a};
    in.firstChecksum = 95;
    in.checksums = {0x0123456789abcdefull, 42, ~0ull};
    return m;
}

packet::fault decodeBytes(const std::vector<unsigned char>& bytes) {
    packet::message out;
    return packet::decode(bytes, out);
}

} // namespace

TEST(Packet, EveryKindReadsBackAsWritten) {
    const packet::message in = sampleInput();
    packet::message out;
    ASSERT_EQ(packet::decode(packet::encode(in), out), packet::fault::none);
    EXPECT_EQ(out.type, packet::kind::input);
    EXPECT_EQ(out.input.player, 1);
    EXPECT_EQ(out.input.frame, 100u);
    EXPECT_EQ(out.input.ahead, -3);
    EXPECT_EQ(out.input.inputsReceived, 97u);
    EXPECT_EQ(out.input.checksumsReceived, 90u);
    EXPECT_EQ(out.input.stamp, 123456u);
    EXPECT_EQ(out.input.echo, 123000u);
    EXPECT_EQ(out.input.echoAge, 12);
    EXPECT_EQ(out.input.firstInput, 99u);
    EXPECT_EQ(out.input.inputs, in.input.inputs);
    EXPECT_EQ(out.input.firstChecksum, 95u);
    EXPECT_EQ(out.input.checksums, in.input.checksums);

    packet::hello h;
    h.player = 1;
    h.nonce = 0xdeadbeef;
    h.heardYou = true;
    h.seed = 77;
    ASSERT_EQ(packet::decode(packet::encode(packet::makeHello(h)), out), packet::fault::none);
    EXPECT_EQ(out.type, packet::kind::hello);
    EXPECT_EQ(out.hello.player, 1);
    EXPECT_EQ(out.hello.nonce, 0xdeadbeefu);
    EXPECT_TRUE(out.hello.heardYou);
    EXPECT_EQ(out.hello.seed, 77u);

    ASSERT_EQ(packet::decode(packet::encode(packet::makeRefuse(packet::refusal::matchFull)), out),
              packet::fault::none);
    EXPECT_EQ(out.type, packet::kind::refuse);
    EXPECT_EQ(out.refuse.reason, packet::refusal::matchFull);

    packet::bye b;
    b.reason = packet::byeReason::desync;
    b.frame = 77;
    b.tick = 1248;
    b.mine = 1;
    b.yours = 2;
    ASSERT_EQ(packet::decode(packet::encode(packet::makeBye(b)), out), packet::fault::none);
    EXPECT_EQ(out.type, packet::kind::bye);
    EXPECT_EQ(out.bye.reason, packet::byeReason::desync);
    EXPECT_EQ(out.bye.frame, 77u);
    EXPECT_EQ(out.bye.tick, 1248u);
    EXPECT_EQ(out.bye.mine, 1u);
    EXPECT_EQ(out.bye.yours, 2u);
}

TEST(Packet, LayoutIsLittleEndianWithTheDocumentedHeader) {
    packet::hello h;
    h.player = 1;
    h.nonce = 0x04030201;
    h.seed = 0x08070605;
    const std::vector<unsigned char> bytes = packet::encode(packet::makeHello(h));
    const std::vector<unsigned char> expected = {
        'T', 'V', packet::protocolVersion, 1, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(packet::encode(sampleInput()).size(), 38u + 3 * 4 + 3 * 8);
}

TEST(Packet, HeadersThatAreNotOursAreRefused) {
    EXPECT_EQ(decodeBytes({}), packet::fault::tooShort);
    EXPECT_EQ(decodeBytes({'T', 'V', packet::protocolVersion}), packet::fault::tooShort);
    EXPECT_EQ(decodeBytes({'X', 'V', packet::protocolVersion, 1, 0, 0, 0, 0, 0, 0}),
              packet::fault::badMagic);
    EXPECT_EQ(decodeBytes({'T', 'V', packet::protocolVersion, 9}), packet::fault::unknownKind);
    EXPECT_EQ(decodeBytes({'T', 'V', packet::protocolVersion, 0}), packet::fault::unknownKind);

    std::vector<unsigned char> other = packet::encode(sampleInput());
    other[2] = packet::protocolVersion + 1;
    packet::message out;
    std::uint8_t version = 0;
    EXPECT_EQ(packet::decode(other.data(), other.size(), out, version),
              packet::fault::wrongVersion);
    EXPECT_EQ(version, packet::protocolVersion + 1);
}

TEST(Packet, EverySizeButTheRightOneIsRefused) {
    const std::vector<std::vector<unsigned char>> good = {
        packet::encode(sampleInput()), packet::encode(packet::makeHello({})),
        packet::encode(packet::makeRefuse(packet::refusal::wrongPlayer)),
        packet::encode(packet::makeBye({}))};
    for (const auto& bytes : good) {
        ASSERT_EQ(decodeBytes(bytes), packet::fault::none);
        for (std::size_t cut = 4; cut < bytes.size(); ++cut) {
            const std::vector<unsigned char> shorter(bytes.begin(), bytes.begin() + cut);
            EXPECT_NE(decodeBytes(shorter), packet::fault::none) << "cut at " << cut;
        }
        std::vector<unsigned char> longer = bytes;
        longer.push_back(0);
        EXPECT_EQ(decodeBytes(longer), packet::fault::badSize);
    }
}

TEST(Packet, PlayersOtherThanTheTwoAreRefused) {
    packet::message m = sampleInput();
    m.input.player = 2;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badPlayer);
    packet::hello h;
    h.player = 255;
    EXPECT_EQ(decodeBytes(packet::encode(packet::makeHello(h))), packet::fault::badPlayer);
}

TEST(Packet, CountsBeyondTheLimitsAreRefusedBeforeAnythingIsRead) {
    std::vector<unsigned char> bytes = packet::encode(sampleInput());
    // The input count is byte 32, the checksum count byte 37 (docs/packets.md).
    bytes[32] = packet::maxInputs + 1;
    EXPECT_EQ(decodeBytes(bytes), packet::fault::badCount);
    bytes = packet::encode(sampleInput());
    bytes[37] = packet::maxChecksums + 1;
    EXPECT_EQ(decodeBytes(bytes), packet::fault::badCount);
    // A count that disagrees with the size.
    bytes = packet::encode(sampleInput());
    bytes[32] = 2;
    EXPECT_EQ(decodeBytes(bytes), packet::fault::badSize);
}

TEST(Packet, FramesOutOfRangeOrInconsistentAreRefused) {
    packet::message m = sampleInput();
    m.input.frame = packet::frameLimit;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badFrame);

    // Inputs may reach the longest delay past the sender's frame, not one more.
    m = sampleInput();
    m.input.firstInput = m.input.frame + packet::maxInputDelay - 2;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::none);
    m.input.firstInput += 1;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badFrame);

    // Checksums only of frames the sender has played.
    m = sampleInput();
    m.input.firstChecksum = m.input.frame - 3;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::none);
    m.input.firstChecksum += 1;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badFrame);

    m = sampleInput();
    m.input.firstInput = 0xfffffff0u;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badFrame);
    m = sampleInput();
    m.input.inputsReceived = 0x80000001u;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badFrame);

    packet::bye b;
    b.frame = 0xffffffffu;
    EXPECT_EQ(decodeBytes(packet::encode(packet::makeBye(b))), packet::fault::badFrame);
}

TEST(Packet, InputsWithControlsThatDoNotTravelAreRefused) {
    for (std::uint16_t bit : {std::uint16_t(playerInput::quit), std::uint16_t(playerInput::boxes),
                              std::uint16_t(1u << 15)}) {
        packet::message m = sampleInput();
        m.input.inputs[1].held |= bit;
        EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badInput) << bit;
        m = sampleInput();
        m.input.inputs[2].pressed |= bit;
        EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badInput) << bit;
    }
}

TEST(Packet, UnknownFlagsAndReasonsAreRefused) {
    std::vector<unsigned char> hello = packet::encode(packet::makeHello({}));
    hello[5] = 2;
    EXPECT_EQ(decodeBytes(hello), packet::fault::badField);
    std::vector<unsigned char> refuse =
        packet::encode(packet::makeRefuse(packet::refusal::matchFull));
    refuse[4] = 0;
    EXPECT_EQ(decodeBytes(refuse), packet::fault::badField);
    refuse[4] = 5;
    EXPECT_EQ(decodeBytes(refuse), packet::fault::badField);
    std::vector<unsigned char> bye = packet::encode(packet::makeBye({}));
    bye[4] = 3;
    EXPECT_EQ(decodeBytes(bye), packet::fault::badField);
    packet::message m = sampleInput();
    m.input.ahead = 65;
    EXPECT_EQ(decodeBytes(packet::encode(m)), packet::fault::badField);
}
