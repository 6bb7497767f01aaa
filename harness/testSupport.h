// Helpers shared by the tests: a settable clock, a captured trace, temporary
// data folders with generated bitmaps, and a headless SDL screen.
#pragma once

#include "base/dataLines.h"
#include "base/fatal.h"

#include <SDL.h>

#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

// The game clock reads this value while a ManualClock is alive.
class ManualClock {
  public:
    explicit ManualClock(Uint32 start = 0);
    ~ManualClock();
    void set(Uint32 now);
    void advance(Uint32 ms);
    Uint32 now() const;
};

// Everything the game traces (and writes to its error channel) while alive.
class TraceCapture {
  public:
    TraceCapture();
    ~TraceCapture();
    std::string text() const { return out_.str(); }
    std::string errors() const { return err_.str(); }
    void clear();

  private:
    std::ostringstream out_;
    std::ostringstream err_;
};

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }
    // Write a text file (parent folders are created).
    void write(const std::string& rel, const std::string& content) const;
    // Write a 24-bit BMP of w x h filled with one colour (0xRRGGBB).
    void writeBmp(const std::string& rel, int w, int h, Uint32 rgb) const;
    void mkdir(const std::string& rel) const;

  private:
    std::string path_;
};

// SDL started with the dummy video and audio drivers and an 800x600x32
// screen; SDL_Quit at the end.
class HeadlessScreen {
  public:
    HeadlessScreen();
    ~HeadlessScreen();
    SDL_Surface* surface() const { return screen_; }

  private:
    SDL_Surface* screen_ = nullptr;
};

// Pixel of a 32-bit surface as 0xRRGGBB.
Uint32 rgbAt(SDL_Surface* surface, int x, int y);
// What drawing shows: fills the image's rectangle at (0, 0) of `target`
// with `background` (0xRRGGBB), draws `image` there as the game draws a
// frame, and returns the pixel of `target` at (x, y) as 0xRRGGBB.
Uint32 drawnPixel(SDL_Surface* target, SDL_Surface* image, Uint32 background, int x, int y);

// The game's random source replays these values, over and over.
void scriptRandom(std::vector<int> values);
// Puts the C library's rand() back as the random source when it goes.
struct RandomReset {
    ~RandomReset();
};
// scriptRandom for the life of the object.
struct ScriptedRandom : RandomReset {
    explicit ScriptedRandom(std::vector<int> values) { scriptRandom(std::move(values)); }
};

// What a fatal stop said, thrown instead of ending the test program.
struct FatalStop {
    std::string message;
    fatal::Channel channel;
};
// While alive, fatal::stop throws FatalStop instead of ending the program.
class CatchFatalStops {
  public:
    CatchFatalStops();
    ~CatchFatalStops();
};

// The repository's root folder (where data/ lives).
std::string sourceDir();

// A reader's findings as "line: message" lines, for comparing in one go.
std::string shownFindings(const std::vector<finding>& findings);

} // namespace testing_support
