// The benchmark's sections, each a function of its own (one file each), so
// that a section is added or dropped with a line in bench.cpp's main.
#pragma once

#include "benchCommon.h"

struct gameSession;

namespace bench {

// Which SDL 1.2 this process runs on ("classic SDL 1.2 1.2.15",
// "sdl12-compat 1.2.60"), and whether it is sdl12-compat.
const char* libraryName();

// Start-up: the benchmark starts itself as the game (`self --first-frame`)
// and times exec to main and main to the first frame.  Fills the row's
// start-up figure.
void startUpSection(const char* self, long passes, libraryRow& row);
// The side of `self --first-frame FD`: start the game, draw the first frame,
// write the clocks to FD.
int firstFrameChild(int fd, long long mainEntered);

// The loop: `passes` passes of the busy game, each timed beside the three
// yardsticks built from the scene it drew, and the library calls of the
// passes timed call by call.  Fills the row's pass, limit and floor.  The
// game stays loaded for the sections after it.
void passSection(long passes, libraryRow& row);
// The game the loop played, for the sections after it; null before.
gameSession* loadedGame();

// What the opaque runs of the keyed frames cost beside the frames' pixels.
void runMemorySection();

// A pass with the particle list at its cap (a spark that multiplies) beside
// an idle pass, with their trace.  Fills the row's cap figures.
void particleCapSection(libraryRow& row);

// What saving, restoring and rolling back the game cost, with no particles
// and with the list full.  Runs last: it leaves the game changed.
void rollbackSection();

// Ways of sending the frames the loop sent to the window, each timed on the
// same rectangles; with a display, again on a real X11 window
// (`self --send-x11 FD`, the frames on its standard input).  Fills the row's
// sending figures.
void screenUpdateSection(const char* self, libraryRow& row);
int sendX11Child(int fd);

// Key to screen on the desktop: `self --key-to-screen FD` plays the real
// loop on the real clock and presses the punch key now and then.  Fills the
// row's key-to-screen figures.
void keyToScreenSection(const char* self, libraryRow& row);
int keyToScreenChild(int fd);

// Runs `self --one-library FD PASSES` on classic SDL 1.2 and on sdl12-compat
// (loaded from its folder), each printing its own sections, and prints both
// rows side by side.
int sideBySide(const char* self, long passes);
// The side of `--one-library`: every section above on the library this
// process loaded, the row written to FD.
int oneLibrary(const char* self, int fd, long passes);

} // namespace bench
