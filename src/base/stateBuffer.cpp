#include "base/stateBuffer.h"

#include <algorithm>
#include <cstring>

namespace {

// Longer strings than this are not in any state the game makes.
constexpr std::uint32_t longestString = 1u << 20;

} // namespace

void stateWriter::put(const char* name, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    note(name);
    putWord(bits);
}

void stateWriter::put(const char* name, const std::string& value) {
    note(name);
    putWord(static_cast<std::uint32_t>(value.size()));
    if (!value.empty()) std::memcpy(room(value.size()), value.data(), value.size());
}

bool stateReader::word(std::uint32_t& value) {
    if (!ok_ || in_.size() - at_ < 4) {
        ok_ = false;
        return false;
    }
    const unsigned char* p = in_.data() + at_;
    value = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
            static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    at_ += 4;
    return true;
}

bool stateReader::get(const char* name, std::uint32_t& value) {
    std::uint32_t read = 0;
    if (!word(read)) return false;
    if (!keeps(name)) value = read;
    return true;
}

bool stateReader::get(const char* name, std::int32_t& value) {
    std::uint32_t read = 0;
    if (!word(read)) return false;
    if (!keeps(name)) value = static_cast<std::int32_t>(read);
    return true;
}

bool stateReader::get(const char* name, bool& value) {
    if (!ok_ || at_ >= in_.size() || in_[at_] > 1) {
        ok_ = false;
        return false;
    }
    if (!keeps(name)) value = in_[at_] != 0;
    ++at_;
    return true;
}

bool stateReader::get(const char* name, float& value) {
    std::uint32_t bits = 0;
    if (!word(bits)) return false;
    if (!keeps(name)) std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool stateReader::get(const char* name, std::string& value) {
    std::uint32_t size = 0;
    if (!word(size)) return false;
    if (size > longestString || in_.size() - at_ < size) {
        ok_ = false;
        return false;
    }
    if (!keeps(name))
        value.assign(reinterpret_cast<const char*>(in_.data() + at_),
                     static_cast<std::size_t>(size));
    at_ += size;
    return true;
}

namespace stateBuffer {

std::uint64_t checksum(const std::vector<unsigned char>& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string firstDifference(const std::vector<unsigned char>& a,
                            const std::vector<stateWriter::fieldStart>& layoutA,
                            const std::vector<unsigned char>& b,
                            const std::vector<stateWriter::fieldStart>& layoutB) {
    const std::size_t fields = std::min(layoutA.size(), layoutB.size());
    for (std::size_t i = 0; i < fields; ++i) {
        if (std::strcmp(layoutA[i].name, layoutB[i].name) != 0) return layoutA[i].name;
        const std::size_t endA = i + 1 < layoutA.size() ? layoutA[i + 1].offset : a.size();
        const std::size_t endB = i + 1 < layoutB.size() ? layoutB[i + 1].offset : b.size();
        const std::size_t lenA = endA - layoutA[i].offset, lenB = endB - layoutB[i].offset;
        if (lenA != lenB ||
            std::memcmp(a.data() + layoutA[i].offset, b.data() + layoutB[i].offset, lenA) != 0)
            return layoutA[i].name;
    }
    if (layoutA.size() != layoutB.size())
        return fields < layoutA.size() ? layoutA[fields].name : layoutB[fields].name;
    return a == b ? "" : "(unnamed bytes)";
}

} // namespace stateBuffer
