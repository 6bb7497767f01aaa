#include "net/packet.h"

namespace packet {

namespace {

constexpr std::size_t headerSize = 4;
constexpr std::size_t helloSize = headerSize + 10;
constexpr std::size_t inputFixedSize = headerSize + 34;
constexpr std::size_t refuseSize = headerSize + 2;
constexpr std::size_t byeSize = headerSize + 25;
constexpr int aheadLimit = 64;

// Little-endian writing, byte by byte, so every build writes the same bytes.
class writer {
  public:
    explicit writer(std::vector<unsigned char>& out) : out_(out) {}
    void u8(std::uint8_t v) { out_.push_back(v); }
    void u16(std::uint16_t v) {
        for (int i = 0; i < 2; ++i)
            out_.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out_.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
    void u64(std::uint64_t v) {
        for (int i = 0; i < 8; ++i)
            out_.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }

  private:
    std::vector<unsigned char>& out_;
};

// Reading never runs past the end: the caller checks the size first, and
// the reader checks again.
class reader {
  public:
    reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
    std::uint64_t u64() { return take(8); }

  private:
    std::uint64_t take(std::size_t n) {
        if (!ok_ || size_ - at_ < n) {
            ok_ = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= static_cast<std::uint64_t>(data_[at_ + i]) << (8 * i);
        at_ += n;
        return v;
    }
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

bool validInput(std::uint32_t word) {
    constexpr std::uint32_t allowed =
        sentControls | (static_cast<std::uint32_t>(sentControls) << 16);
    return (word & ~allowed) == 0;
}

fault decodeInput(reader& r, std::size_t size, input& in) {
    if (size < inputFixedSize) return fault::badSize;
    in.player = r.u8();
    in.ahead = static_cast<std::int8_t>(r.u8());
    in.frame = r.u32();
    in.inputsReceived = r.u32();
    in.checksumsReceived = r.u32();
    in.stamp = r.u32();
    in.echo = r.u32();
    in.echoAge = r.u16();
    in.firstInput = r.u32();
    const std::size_t inputCount = r.u8();
    in.firstChecksum = r.u32();
    const std::size_t checksumCount = r.u8();
    if (in.player > 1) return fault::badPlayer;
    if (inputCount > maxInputs || checksumCount > maxChecksums) return fault::badCount;
    if (size != inputFixedSize + 4 * inputCount + 8 * checksumCount) return fault::badSize;
    if (in.ahead < -aheadLimit || in.ahead > aheadLimit) return fault::badField;
    // Frames: all below the limit; inputs reach at most the longest delay
    // past the sender's frame; checksums only for frames it has played.
    if (in.frame >= frameLimit || in.inputsReceived > frameLimit ||
        in.checksumsReceived > frameLimit || in.firstInput >= frameLimit ||
        in.firstChecksum >= frameLimit)
        return fault::badFrame;
    if (in.firstInput + inputCount > in.frame + maxInputDelay + 1) return fault::badFrame;
    if (in.firstChecksum + checksumCount > in.frame) return fault::badFrame;
    in.inputs.clear();
    in.checksums.clear();
    for (std::size_t i = 0; i < inputCount; ++i) {
        const std::uint32_t word = r.u32();
        if (!validInput(word)) return fault::badInput;
        in.inputs.push_back(playerInput::unpacked(word));
    }
    for (std::size_t i = 0; i < checksumCount; ++i)
        in.checksums.push_back(r.u64());
    return r.ok() ? fault::none : fault::badSize;
}

} // namespace

fault decode(const unsigned char* data, std::size_t size, message& out, std::uint8_t& version) {
    if (data == nullptr || size < headerSize) return fault::tooShort;
    reader r(data, size);
    const std::uint8_t m0 = r.u8();
    const std::uint8_t m1 = r.u8();
    if (m0 != magic0 || m1 != magic1) return fault::badMagic;
    version = r.u8();
    if (version != protocolVersion) return fault::wrongVersion;
    const std::uint8_t type = r.u8();
    switch (type) {
    case static_cast<std::uint8_t>(kind::hello): {
        if (size != helloSize) return fault::badSize;
        out.type = kind::hello;
        out.hello.player = r.u8();
        const std::uint8_t heard = r.u8();
        out.hello.nonce = r.u32();
        out.hello.seed = r.u32();
        if (out.hello.player > 1) return fault::badPlayer;
        if (heard > 1) return fault::badField;
        out.hello.heardYou = heard == 1;
        return fault::none;
    }
    case static_cast<std::uint8_t>(kind::input):
        out.type = kind::input;
        return decodeInput(r, size, out.input);
    case static_cast<std::uint8_t>(kind::refuse): {
        if (size != refuseSize) return fault::badSize;
        out.type = kind::refuse;
        const std::uint8_t reason = r.u8();
        out.refuse.version = r.u8();
        if (reason < 1 || reason > 4) return fault::badField;
        out.refuse.reason = static_cast<refusal>(reason);
        return fault::none;
    }
    case static_cast<std::uint8_t>(kind::bye): {
        if (size != byeSize) return fault::badSize;
        out.type = kind::bye;
        const std::uint8_t reason = r.u8();
        out.bye.frame = r.u32();
        out.bye.tick = r.u32();
        out.bye.mine = r.u64();
        out.bye.yours = r.u64();
        if (reason < 1 || reason > 2) return fault::badField;
        if (out.bye.frame >= frameLimit) return fault::badFrame;
        out.bye.reason = static_cast<byeReason>(reason);
        return fault::none;
    }
    default:
        return fault::unknownKind;
    }
}

std::vector<unsigned char> encode(const message& m) {
    std::vector<unsigned char> out;
    writer w(out);
    w.u8(magic0);
    w.u8(magic1);
    w.u8(protocolVersion);
    w.u8(static_cast<std::uint8_t>(m.type));
    switch (m.type) {
    case kind::hello:
        w.u8(m.hello.player);
        w.u8(m.hello.heardYou ? 1 : 0);
        w.u32(m.hello.nonce);
        w.u32(m.hello.seed);
        break;
    case kind::input: {
        const input& in = m.input;
        w.u8(in.player);
        w.u8(static_cast<std::uint8_t>(in.ahead));
        w.u32(in.frame);
        w.u32(in.inputsReceived);
        w.u32(in.checksumsReceived);
        w.u32(in.stamp);
        w.u32(in.echo);
        w.u16(in.echoAge);
        w.u32(in.firstInput);
        w.u8(static_cast<std::uint8_t>(in.inputs.size()));
        w.u32(in.firstChecksum);
        w.u8(static_cast<std::uint8_t>(in.checksums.size()));
        for (const playerInput& p : in.inputs)
            w.u32(p.packed());
        for (std::uint64_t c : in.checksums)
            w.u64(c);
        break;
    }
    case kind::refuse:
        w.u8(static_cast<std::uint8_t>(m.refuse.reason));
        w.u8(m.refuse.version);
        break;
    case kind::bye:
        w.u8(static_cast<std::uint8_t>(m.bye.reason));
        w.u32(m.bye.frame);
        w.u32(m.bye.tick);
        w.u64(m.bye.mine);
        w.u64(m.bye.yours);
        break;
    }
    return out;
}

message makeHello(const hello& h) {
    message m;
    m.type = kind::hello;
    m.hello = h;
    return m;
}

message makeRefuse(refusal reason) {
    message m;
    m.type = kind::refuse;
    m.refuse.reason = reason;
    return m;
}

message makeBye(const bye& b) {
    message m;
    m.type = kind::bye;
    m.bye = b;
    return m;
}

const char* describe(fault f) {
    switch (f) {
    case fault::none:
        return "no fault";
    case fault::tooShort:
        return "too short";
    case fault::badMagic:
        return "not a packet of this game";
    case fault::wrongVersion:
        return "wrong protocol version";
    case fault::unknownKind:
        return "unknown kind of packet";
    case fault::badSize:
        return "wrong size";
    case fault::badPlayer:
        return "no such player";
    case fault::badCount:
        return "too many entries";
    case fault::badFrame:
        return "frame out of range";
    case fault::badInput:
        return "input with unknown controls";
    case fault::badField:
        return "unknown value in a field";
    }
    return "unknown fault";
}

const char* describe(refusal r) {
    switch (r) {
    case refusal::matchFull:
        return "the match is full";
    case refusal::wrongVersion:
        return "the protocol versions differ";
    case refusal::wrongPlayer:
        return "both sides chose the same player";
    case refusal::differentSeed:
        return "the two sides gave different seeds (--seed)";
    }
    return "refused";
}

} // namespace packet
