// The index of a frame folder, its "info" file: a line "FILES: <count>",
// then one entry per frame.  An entry's first line names the bitmap and
// gives the display time and the colour key; then come fixed lines for the
// anchor, the collision box, the damage box, the damage, a flag, the hit
// type, points A and B, the sound, the number of spawn lines and the spawn
// lines themselves, the movement, a flag and the tag.  Comments and blank
// lines may stand between entries, never inside one.
//
// The frame-set loader and the data checker both read indexes here: the
// loader takes the values, the checker also the line numbers and findings.
// The data generator and the test fixtures write them here, so what is
// written is what is read.
#pragma once

#include "base/countHeader.h"
#include "base/dataLines.h"
#include "sprite/CSpriteBase.h"

#include <initializer_list>
#include <string>
#include <vector>

// One entry as read.  The image is not loaded here.
struct frameEntry {
    spriteFrame frame;
    std::string bitmap;                         // the bitmap's name as written in the index
    int keyRed = -1, keyGreen = 0, keyBlue = 0; // transparent colour; red < 0: none

    // Where the entry's values stand in the file (editor lines).
    int line = 0; // the bitmap line
    int anchorLine = 0, hitTypeLine = 0, soundLine = 0;
    std::vector<int> spawnLines;
    bool anchorRead = false; // both anchor numbers were there
    bool soundRead = false;  // the sound line was there

    // Entries of one index with the same image key show the same pixels:
    // the same bitmap name and the same colour key as the game sets it.
    std::string imageKey() const;
    // The colour key as the game sets it ("no key", or "red green blue"
    // reduced to 0..255): with the bitmap's file, what frame sets of one
    // budget share an image by (decodedImage::sharedKey).
    std::string conversion() const;
};

class frameIndex {
  public:
    // Opens folder/info and reads its count line.  False when the index
    // cannot be opened.
    bool open(const std::string& folder);
    const std::string& path() const { return lines_.path(); }
    // The frames the first line announces (0 when it is not "FILES: <n>").
    int announced() const { return header_.announced(); }

    // Reads the next entry.  A line that lacks a value leaves the field as
    // it was: the frame's fields at their defaults, the bitmap name and
    // colour key at the previous entry's.  False when the file ends before
    // another entry starts, and once the announced entries have been read.
    bool next(frameEntry& entry);
    // After the announced entries: reports text that follows them.
    void finish();

    // What the reading found, for the checker.
    const std::vector<finding>& findings() const { return lines_.findings(); }

    // The file a bitmap named in the index is read from.  The resource
    // loader opens the name from inside the frame folder, so there an
    // absolute name stands for itself; the plain loader always puts the
    // folder in front.  This is the one place where a name from an index
    // becomes a path.
    static std::string bitmapPath(const std::string& folder, const std::string& name,
                                  bool resource);

    // The whole index for these entries, in this order, each after a blank
    // line.  The image and the line numbers are not written; a spawn line is
    // written as it is kept, with a line end added when it has none, and the
    // number of spawn lines is that of partNames.  An entry that would not
    // be read back as written is refused: std::invalid_argument, with its
    // number and what unreadable() says.
    static std::string text(const std::vector<frameEntry>& entries);
    // The lines of one entry, from the bitmap line to the tag, refused the
    // same way.
    static std::string entryText(const frameEntry& entry);
    // Why the entry would not be read back as written ("" when it would): a
    // bitmap, sound or tag that is not one word, a bitmap starting with '#'
    // (a comment to the reader), a value outside the range the reader keeps
    // it in, a spawn line holding a line end before its last character, a
    // NUL byte, a line too long for one read.
    static std::string unreadable(const frameEntry& entry);

  private:
    // The steps of next(): the entry's first line (false at the end), then
    // its fields in the order they are written.
    bool startEntry(std::string& line);
    void readBitmapLine(const std::string& line, frameEntry& entry);
    void readPlaceAndHit(frameEntry& entry);
    void readSpawnLines(frameEntry& entry);
    bool entryLine(std::string& line, const char* what);
    bool numbers(std::initializer_list<int*> fields, const char* what);
    bool word(std::string& value, const char* what);
    // Values of the line just read kept within [low, high], with a warning
    // for each one that was not.
    void keepInRange(std::initializer_list<int*> fields, const char* what, int low, int high);
    void mismatch(const std::string& line, const std::string& expected);
    std::string where() const;

    dataLines lines_;
    countHeader header_;
    int entries_ = 0;         // entries begun so far
    bool headerRead_ = false; // the count line was sound
    bool cut_ = false;        // the file ended inside an entry
    bool ended_ = false;      // the file ended before an entry began
    // What the first line of an entry supplies but the frame does not keep;
    // carried from entry to entry.
    std::string bitmap_;
    int key_[3] = {-1, 0, 0};
};
