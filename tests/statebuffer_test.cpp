#include "base/stateBuffer.h"

#include <gtest/gtest.h>

namespace {

struct sample {
    std::int32_t x = 0;
    std::uint32_t seed = 0;
    bool right = false;
    float timer = 0.0f;
    std::string action;
};

std::vector<unsigned char> saved(const sample& s, std::vector<stateWriter::fieldStart>* layout) {
    std::vector<unsigned char> bytes;
    {
        stateWriter w(bytes, layout);
        w.put("x", s.x);
        w.put("seed", s.seed);
        w.put("right", s.right);
        w.put("timer", s.timer);
        w.put("action", s.action);
    } // the bytes are whole once the writer is gone
    return bytes;
}

bool load(const std::vector<unsigned char>& bytes, sample& s, const std::string& kept = {}) {
    stateReader r(bytes, kept);
    r.get("x", s.x);
    r.get("seed", s.seed);
    r.get("right", s.right);
    r.get("timer", s.timer);
    r.get("action", s.action);
    return r.complete();
}

} // namespace

TEST(StateBuffer, ValuesComeBackExactlyAndAKeptFieldStaysAsItIs) {
    sample a{-123456, 0xDEADBEEFu, true, 0.9f, "crouchKick"};
    std::vector<unsigned char> bytes = saved(a, nullptr);
    // Fixed widths, little-endian: the same bytes on every build.
    ASSERT_EQ(bytes.size(), 4u + 4 + 1 + 4 + 4 + 10);
    EXPECT_EQ(bytes[4], 0xEF);
    sample b;
    ASSERT_TRUE(load(bytes, b));
    EXPECT_EQ(b.x, a.x);
    EXPECT_EQ(b.seed, a.seed);
    EXPECT_EQ(b.right, a.right);
    EXPECT_EQ(b.timer, a.timer);
    EXPECT_EQ(b.action, a.action);

    sample c;
    c.timer = 5.0f;
    ASSERT_TRUE(load(bytes, c, "timer"));
    EXPECT_EQ(c.timer, 5.0f);
    EXPECT_EQ(c.action, "crouchKick"); // the fields after it still line up
}

TEST(StateBuffer, BytesThatAreNoStateAreRefused) {
    std::vector<unsigned char> bytes = saved(sample{1, 2, false, 0.0f, "walk"}, nullptr);
    sample s;
    std::vector<unsigned char> cut(bytes.begin(), bytes.end() - 1);
    EXPECT_FALSE(load(cut, s));
    std::vector<unsigned char> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(load(longer, s));
    std::vector<unsigned char> badBool = bytes;
    badBool[8] = 7;
    EXPECT_FALSE(load(badBool, s));
    // A string length past the end is never read past it.
    std::vector<unsigned char> hugeString = bytes;
    hugeString[13] = 0xFF, hugeString[14] = 0xFF, hugeString[15] = 0xFF, hugeString[16] = 0x7F;
    EXPECT_FALSE(load(hugeString, s));
    EXPECT_FALSE(load({}, s));
}

TEST(StateBuffer, ChecksumAndFirstDifferenceNameWhatChanged) {
    std::vector<stateWriter::fieldStart> layoutA, layoutB;
    sample a{1, 2, false, 1.5f, "walk"};
    sample b = a;
    b.action = "wal";
    std::vector<unsigned char> bytesA = saved(a, &layoutA);
    std::vector<unsigned char> bytesB = saved(b, &layoutB);
    EXPECT_NE(stateBuffer::checksum(bytesA), stateBuffer::checksum(bytesB));
    EXPECT_EQ(stateBuffer::firstDifference(bytesA, layoutA, bytesB, layoutB), "action");
    b = a;
    b.right = true;
    bytesB = saved(b, &layoutB);
    EXPECT_EQ(stateBuffer::firstDifference(bytesA, layoutA, bytesB, layoutB), "right");
    EXPECT_EQ(stateBuffer::firstDifference(bytesA, layoutA, bytesA, layoutA), "");
    // FNV-1a's offset basis for no bytes: a value, not an address.
    EXPECT_EQ(stateBuffer::checksum({}), 14695981039346656037ull);
}
