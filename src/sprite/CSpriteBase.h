// A frame set: one animation's worth of frames loaded from a folder, every
// frame held twice, as drawn (facing right) and mirrored (facing left).
#pragma once

#include "base/platform.h"
#include "sprite/opaqueRuns.h"

#include <SDL.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// One frame and everything the game knows about it.  Coordinates are pixels
// inside the frame's image, origin at its top-left corner, y down.
struct spriteFrame {
    SDL_Surface* image = nullptr; // display format; held by the frame set (decodedImage)
    opaqueRuns runs;              // the image's opaque runs, when it is keyed
    int pause = 0;                // milliseconds before scaling by the sprite's speed
    int colX1 = 0, colY1 = 0, colX2 = 0, colY2 = 0; // collision (body) box
    int offsetX = 0, offsetY = 0;                   // anchor
    int dmgX1 = 0, dmgY1 = 0, dmgX2 = 0, dmgY2 = 0; // damage box
    int damage = 0;
    bool flagA = false;
    int hitType = 0;
    int pointAX = 0, pointAY = 0;
    int pointBX = 0, pointBY = 0;
    std::string soundName;              // "NULL" means none
    int partNum = 0;                    // number of spawn lines
    std::vector<std::string> partNames; // spawn lines, stored whole with their line end
    int moveX = 0;                      // forward step per fighter update
    int moveY = 0;                      // upward lift per fighter update
    bool flagB = false;
    std::string tagName;
};

struct frameEntry;
struct frameBudget;
class decodedImage;

class CSpriteBase {
  public:
    std::vector<spriteFrame> frames;     // as drawn, facing right
    std::vector<spriteFrame> flipFrames; // mirrored; only image and x values differ
    int built = 0;
    int numFrames = 0;
    int width = 0;
    int height = 0;

    CSpriteBase() = default;
    ~CSpriteBase();
    CSpriteBase(const CSpriteBase&) = delete;
    CSpriteBase& operator=(const CSpriteBase&) = delete;
    CSpriteBase(CSpriteBase&& other) noexcept;
    CSpriteBase& operator=(CSpriteBase&& other) noexcept;

    // Plain loader (bitmaps opened by path); the first frame sets the size.
    // 0, or -1 when the index or a bitmap cannot be read.
    int init(const char* folder);
    // Loader for animations, moves and particles (bitmaps read through
    // loadFromResource); the last frame sets the size.  0, or -1 when the
    // index cannot be opened.  An unreadable bitmap ends the program.
    int initR(const char* folder);
    // Read a bitmap into memory and decode it; never returns on failure.
    SDL_Surface* loadFromResource(const char* folder, const char* file);
    // Decode bitmap file bytes once their header is sound (bitmapFile::decode).
    static SDL_Surface* decodeBitmap(const std::vector<unsigned char>& bytes);
    // The header check every frame bitmap passes (bitmapFile::headerIsSound).
    static bool bitmapHeaderIsSound(const std::vector<unsigned char>& bytes,
                                    std::string* why = nullptr);
    // Per-surface alpha on every frame, both facings, when alphaOp is on.
    void alphaAll(int alpha);

    // The memory the frames' opaque runs take, and their images' pixels,
    // both facings.
    std::size_t runBytes() const;
    std::size_t pixelBytes() const;

    // True when frame i exists in both tables (guards every look-up).
    bool hasFrame(int i) const { return i >= 0 && i < static_cast<int>(frames.size()); }

    // The switch for alphaAll; nothing in the game turns it on.
    static bool alphaOp;

    // The memory budget for decoded frames: every frame set alive together
    // (the character's animations and moves, the particles, the bar) may
    // hold at most this many bytes of frame pixels.  A frame costs 4 bytes a
    // pixel for each facing (frameCost).  Frames that show the same image
    // share their pixels and cost once: within a set, the same bitmap name
    // with the same key; across the sets loaded under one budget, the same
    // file with the same key and the same loader (decodedImage).  The
    // resource loader stops the game at the first frame that would pass it
    // (the plain loader fails), checked from the bitmap's header before
    // anything is decoded.
    static constexpr long long decodedBudget = 512ll * 1024 * 1024;
    static constexpr long long frameCost(long long w, long long h) { return w * h * 4 * 2; }
    // The bytes held by every frame set alive (loaded under the budget in
    // force, see separateBudget), each shared image once.
    static long long decodedBytesInUse();
    // The game loads its data once, under one budget.  A tool that loads the
    // data again beside what it already holds (the checker running the
    // game's loaders, the workbench's reload) loads as a fresh game would:
    // while a separateBudget lives, sets load under a budget of their own,
    // starting empty and sharing no image with sets loaded before (their
    // files may have changed since); each image gives its bytes back to the
    // budget it was decoded under when the last set holding it goes.
    class separateBudget {
      public:
        separateBudget();
        ~separateBudget();
        separateBudget(const separateBudget&) = delete;
        separateBudget& operator=(const separateBudget&) = delete;

      private:
        std::shared_ptr<frameBudget> before_;
    };
    // Why a frame of that cost is refused with inUse bytes held already.
    static std::string overBudget(long long inUse, long long cost);

  private:
    // What one load works with: the folder, the loader, the directory to
    // come back to, the budget in force, and the images this set holds so
    // far, by image key (frameEntry::imageKey) and each once.
    struct loading {
        const std::string& folder;
        bool resource;
        const platform::heldDirectory& startDirectory;
        std::shared_ptr<frameBudget> budget;
        std::map<std::string, std::shared_ptr<decodedImage>> shown;
        std::set<const decodedImage*> held;
    };
    // The loader's steps: the index is read entry by entry (frameIndex),
    // each entry's image is found among those held or loaded, and the frame
    // and its mirror are added.
    int load(const char* folder, bool resource);
    // One entry's frame and its mirror added to the tables; false when its
    // bitmap cannot be loaded.
    bool addFrame(loading& load, frameEntry& entry, int number);
    // The image an entry shows when this set or another set under the
    // budget holds it already, else none.
    std::shared_ptr<decodedImage> heldImage(loading& load, const frameEntry& entry,
                                            std::string& sharedKey) const;
    // The entry's bitmap decoded, converted, keyed and mirrored, with its
    // runs, counted against the budget; none when it cannot be loaded.
    std::shared_ptr<decodedImage> newImage(loading& load, const frameEntry& entry, int number);
    SDL_Surface* loadImage(loading& load, const frameEntry& entry, int number, decodedImage& into);
    // The resource loader's reading and decoding, every failure fatal.
    // Its cost against the budget goes to cost.
    static SDL_Surface* decodeFromResource(const std::string& folder, const std::string& file,
                                           const std::string& where, long long* cost);
    // A decoded bitmap in the display format, taking it over: converted
    // straight into the pixel store where that gives what SDL_DisplayFormat
    // gives (the slice kept in into), else by SDL_DisplayFormat.  nullptr
    // when it cannot be converted.
    static SDL_Surface* converted(SDL_Surface* decoded, decodedImage& into);
    // The image mirrored: written straight into the pixel store where it can
    // be, else as flip_surface makes it.
    static SDL_Surface* mirrorImage(SDL_Surface* image, decodedImage& into);
    // The mirrored frame showing image.
    static spriteFrame mirrorOf(const spriteFrame& frame, int width, SDL_Surface* image);
    // A display-format surface over a slice of the pixel store, the slice
    // kept in into; nullptr when the store has no memory to give.
    static SDL_Surface* storeSurface(int w, int h, decodedImage& into);
    static void dropStoreSurface(SDL_Surface* surface, decodedImage& into);
    void release();

    // The images this set's frames show, each once; the frames' surfaces
    // and pixels live as long as some set holds them.
    std::vector<std::shared_ptr<const decodedImage>> images_;
};
