// The game's state as plain bytes: what a rollback saves before a frame and
// puts back to play it again, and what two sides of an online match hash and
// compare.  Values only, never addresses: a move is saved as its place in
// the move set, a particle's definition as its place in the list.  Numbers
// are little-endian and of fixed width, so the bytes, and their checksum,
// are the same on every build (desktop and browser).
//
// Every value is written under a field name.  Writing can also note where
// each field starts (a layout), so that two states can be compared field by
// field and the first difference named; reading can be told to leave one
// field as it is, which is how the sync test proves each field matters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class stateWriter {
  public:
    // Where each field starts in the bytes.
    struct fieldStart {
        const char* name;
        std::size_t offset;
    };

    // The bytes in `out` are whole once the writer is gone.
    explicit stateWriter(std::vector<unsigned char>& out, std::vector<fieldStart>* layout = nullptr)
        : out_(out), layout_(layout) {
        // Written in place over what the buffer already holds (a rollback
        // saves into the same buffers frame after frame), cut to size at the
        // end.
        out_.resize(out_.capacity());
        if (layout_) layout_->clear();
    }
    ~stateWriter() { out_.resize(at_); }
    stateWriter(const stateWriter&) = delete;
    stateWriter& operator=(const stateWriter&) = delete;

    void put(const char* name, std::int32_t value) {
        note(name);
        putWord(static_cast<std::uint32_t>(value));
    }
    void put(const char* name, std::uint32_t value) {
        note(name);
        putWord(value);
    }
    void put(const char* name, bool value) {
        note(name);
        *room(1) = value ? 1 : 0;
    }
    void put(const char* name, float value);
    void put(const char* name, const std::string& value);

  private:
    void note(const char* name) {
        if (layout_) layout_->push_back({name, at_});
    }
    // The next `n` bytes to write.
    unsigned char* room(std::size_t n) {
        if (out_.size() - at_ < n) out_.resize(2 * (at_ + n) + 256);
        unsigned char* p = out_.data() + at_;
        at_ += n;
        return p;
    }
    void putWord(std::uint32_t value) {
        unsigned char* p = room(4);
        p[0] = static_cast<unsigned char>(value);
        p[1] = static_cast<unsigned char>(value >> 8);
        p[2] = static_cast<unsigned char>(value >> 16);
        p[3] = static_cast<unsigned char>(value >> 24);
    }

    std::vector<unsigned char>& out_;
    std::vector<fieldStart>* layout_;
    std::size_t at_ = 0;
};

class stateReader {
  public:
    explicit stateReader(const std::vector<unsigned char>& in, const std::string& kept = {})
        : in_(in), kept_(kept) {}

    // Each reads the next value into `value`; false (and `value` untouched)
    // once the bytes run out or hold something impossible.  A field named
    // as the kept one is read past but `value` keeps what it had.
    bool get(const char* name, std::int32_t& value);
    bool get(const char* name, std::uint32_t& value);
    bool get(const char* name, bool& value);
    bool get(const char* name, float& value);
    bool get(const char* name, std::string& value);

    // All bytes read, none left over, nothing refused.
    bool complete() const { return ok_ && at_ == in_.size(); }
    bool ok() const { return ok_; }

  private:
    bool word(std::uint32_t& value);
    bool keeps(const char* name) const { return !kept_.empty() && kept_ == name; }

    const std::vector<unsigned char>& in_;
    std::string kept_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

namespace stateBuffer {

// 64-bit FNV-1a of the bytes.
std::uint64_t checksum(const std::vector<unsigned char>& bytes);

// The name of the first field whose bytes differ between two states of the
// same layout kind ("" when they are equal); `a` and `b` with their layouts.
std::string firstDifference(const std::vector<unsigned char>& a,
                            const std::vector<stateWriter::fieldStart>& layoutA,
                            const std::vector<unsigned char>& b,
                            const std::vector<stateWriter::fieldStart>& layoutB);

} // namespace stateBuffer
