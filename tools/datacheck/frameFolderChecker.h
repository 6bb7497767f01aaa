// Checks a frame folder: its "info" index read line by line as the game's
// frame-set loader reads it, every bitmap it names, and the per-frame rules
// that only concern one folder.  The findings about each frame are kept for
// the checks that span folders (anchors, sizes, sounds, spawn lines).
#pragma once

#include "bitmapChecker.h"
#include "diagnostics.h"
#include "sprite/frameIndex.h"

#include <map>
#include <string>
#include <vector>

struct spawnLine {
    std::string text; // as read, line end removed
    int line = 0;
};

struct frameRecord {
    int line = 0; // the entry's first line (bitmap line)
    std::string bitmap;
    std::string imageKey;   // entries of a folder with the same key share their pixels
    std::string file;       // the bitmap's identity (platform::fileIdentity), "" when none
    std::string conversion; // its colour key as the game sets it
    bool decoded = false;
    bitmapInfo image;
    int offsetX = 0, offsetY = 0;
    int anchorLine = 0;
    bool anchorRead = false; // both anchor numbers were read
    int damage = 0;
    int moveX = 0; // forward step per update
    int hitType = 0;
    int hitTypeLine = 0;
    std::string sound;
    int soundLine = 0;
    std::vector<spawnLine> spawns;
};

struct frameFolder {
    std::string path;     // the folder
    std::string infoPath; // its index
    bool opened = false;
    int count = 0; // frames announced by the first line
    std::vector<frameRecord> frames;
    bool bitmapFailed = false;
    int width = 0, height = 0; // the set's size as the game leaves it
};

class frameFolderChecker {
  public:
    explicit frameFolderChecker(diagnostics& report) : report_(report) {}

    // Checks the folder once (later calls return the same findings).  A
    // missing index is reported at fromFile:fromLine.  resource: the folder
    // is loaded by the resource loader, for which a bad bitmap is fatal.
    const frameFolder& check(const std::string& folder, const std::string& fromFile, int fromLine,
                             bool resource = true);

    // The folder's findings when it was checked, else nullptr.
    const frameFolder* find(const std::string& folder) const {
        auto known = done_.find(folder);
        return known == done_.end() ? nullptr : &known->second;
    }

  private:
    // The entry's bitmap: its name, then its decoding (once for each bitmap
    // and colour key); errors go to bitmapErrors.
    void checkBitmap(frameFolder& set, frameRecord& frame, const frameEntry& entry, bool resource,
                     std::vector<diagnostic>& bitmapErrors);
    // Damage that never hurts, frames larger than the set.
    void warnAboutFrames(const frameFolder& set, bool resource);

    diagnostics& report_;
    std::map<std::string, frameFolder> done_;
    bitmapChecker bitmaps_;
    // Each bitmap with each colour key is decoded once, however many
    // entries and folders name it.
    struct decodedBitmap {
        bool decoded = false;
        bitmapInfo image;
        std::string problem;
        std::string file;
    };
    std::map<std::string, decodedBitmap> bitmapsSeen_;
};
