// The index of a frame folder, its "info" file: a line "FILES: <count>",
// then one entry per frame.  An entry's first line names the bitmap and
// gives the display time and the colour key; then come fixed lines for the
// anchor, the collision box, the damage box, the damage, a flag, the hit
// type, points A and B, the sound, the number of spawn lines and the spawn
// lines themselves, the movement, a flag and the tag.  Comments and blank
// lines may stand between entries, never inside one.
#pragma once

#include "base/textFile.h"
#include "sprite/CSpriteBase.h"

#include <string>

// One entry as read.  The image is not loaded here.
struct frameEntry {
    spriteFrame frame;
    std::string bitmap;                         // the bitmap's name as written in the index
    int keyRed = -1, keyGreen = 0, keyBlue = 0; // transparent colour; red < 0: none
};

class frameIndex {
  public:
    // Opens folder/info and reads its count line.  False when the index
    // cannot be opened.
    bool open(const std::string& folder);
    const std::string& path() const { return path_; }
    // The frames the first line announces (0 when it is not "FILES: <n>").
    int announced() const { return announced_; }

    // Reads the next entry.  A line that lacks a value leaves the field as
    // it was: the frame's fields at their defaults, the bitmap name and
    // colour key at the previous entry's.  False when the file ends before
    // another entry starts.
    bool next(frameEntry& entry);

  private:
    textFile file_;
    std::string path_;
    int announced_ = 0;
    // What the first line of an entry supplies but the frame does not keep;
    // carried from entry to entry.
    std::string bitmap_;
    int key_[3] = {-1, 0, 0};
};
