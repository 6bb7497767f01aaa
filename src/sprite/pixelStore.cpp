#include "sprite/pixelStore.h"

#include "base/platform.h"

#include <algorithm>
#include <cstdint>

namespace {

using platform::largePage;
// Room for the largest frame a bitmap may hold (2048 x 2048 pixels of 4
// bytes), or about 35 frames of 240 x 240 with their mirrors.
constexpr std::size_t blockBytes = std::size_t{16} << 20;
// Slices start on a cache line.
constexpr std::size_t sliceAlign = 64;

std::size_t roundUp(std::size_t value, std::size_t step) {
    return (value + step - 1) / step * step;
}

} // namespace

pixelStore& pixelStore::shared() {
    // Never destroyed: frame sets held by globals give their slices back
    // after function-local statics are gone.  Once every slice is back the
    // store holds no memory.
    static pixelStore* store = new pixelStore;
    return *store;
}

pixelStore::~pixelStore() {
    for (const block& b : blocks_)
        unmapBlock(b);
}

std::size_t pixelStore::slicesOut() const {
    std::size_t out = 0;
    for (const block& b : blocks_)
        out += b.slices;
    return out;
}

void* pixelStore::take(std::size_t bytes) {
    if (bytes == 0 || bytes > SIZE_MAX - largePage * 2) return nullptr;
    const std::size_t wanted = roundUp(bytes, sliceAlign);
    // Slices are cut from the newest block only: frames are loaded once and
    // kept, so there is nothing to gain from looking for holes.
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < wanted) {
        block fresh;
        if (!mapBlock(fresh, wanted)) return nullptr;
        blocks_.push_back(fresh);
    }
    block& b = blocks_.back();
    void* slice = b.start + b.used;
    b.used += wanted;
    ++b.slices;
    return slice;
}

void pixelStore::give(void* slice) {
    if (!slice) return;
    const auto* at = static_cast<const unsigned char*>(slice);
    for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
        if (at < it->start || at >= it->start + it->size) continue;
        if (it->slices > 0 && --it->slices == 0) {
            unmapBlock(*it);
            blocks_.erase(it);
        }
        return;
    }
}

bool pixelStore::mapBlock(block& b, std::size_t bytes) {
    // A block is a whole number of large pages and starts on one.
    std::size_t size = 0;
    void* start = platform::mapLargePages(std::max(bytes, blockBytes), size);
    if (!start) return false;
    b.start = static_cast<unsigned char*>(start);
    b.size = size;
    b.used = 0;
    b.slices = 0;
    return true;
}

void pixelStore::unmapBlock(const block& b) {
    platform::unmapLargePages(b.start, b.size);
}
