// Memory for the pixels of loaded frames.  A character's frames, each held
// as drawn and mirrored, come to tens of megabytes that are written once at
// start-up and kept for the whole run.  Taken from the system a page of 4 KB
// at a time, the first write to each page costs a fault, and those faults
// were most of the time from start to the first frame.  The store takes the
// memory in large blocks that the system may back with 2 MB pages, hands it
// out in slices, and returns a block to the system once every slice cut from
// it has been given back.
#pragma once

#include <cstddef>
#include <vector>

class pixelStore {
  public:
    // The one store the frame sets share, so that small sets fill the same
    // large pages.
    static pixelStore& shared();

    pixelStore() = default;
    ~pixelStore();
    pixelStore(const pixelStore&) = delete;
    pixelStore& operator=(const pixelStore&) = delete;

    // A slice of at least `bytes` bytes, aligned for any pixel row; nullptr
    // when the system has no memory to give (the caller then lets SDL
    // allocate as usual).
    void* take(std::size_t bytes);
    // Hands a slice back; nullptr is ignored.  The slice must come from
    // this store and not have been given back already.
    void give(void* slice);

    // Blocks held from the system and slices out (for the tests).
    std::size_t blocks() const { return blocks_.size(); }
    std::size_t slicesOut() const;

  private:
    struct block {
        unsigned char* start = nullptr;
        std::size_t size = 0;
        std::size_t used = 0;   // bytes cut so far; slices are cut in order
        std::size_t slices = 0; // slices not given back yet
    };
    static bool mapBlock(block& b, std::size_t bytes);
    static void unmapBlock(const block& b);

    std::vector<block> blocks_;
};
