// Checks one frame bitmap the way the game's resource loader will read it:
// the whole file into memory, the BMP header, then SDL's own BMP decoder
// from memory.  Unlike the game, a bad bitmap is reported, never fatal.
#pragma once

#include <string>
#include <vector>

struct bitmapInfo {
    int width = 0;
    int height = 0;
    bool keyed = false;    // a colour key was asked for (red >= 0)
    long opaquePixels = 0; // pixels not of the key colour (all when not keyed)
};

class bitmapChecker {
  public:
    // Reads and decodes the bitmap at path; the colour key is the one a
    // frame entry gives (red < 0: none).  False with a reason in problem.
    // headerChecked: the game checks the header first (frames and, since it
    // is read the same way, the stage).
    bool check(const std::string& path, int red, int green, int blue, bitmapInfo& info,
               std::string& problem, bool headerChecked = true) const;

    // The game's header check (bitmapFile) on bytes already read; "" when
    // the header is sound, else the game's reason.
    static std::string headerProblem(const std::vector<unsigned char>& bytes);
};
