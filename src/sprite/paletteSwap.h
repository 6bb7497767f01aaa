// Player 2's colours, put on at drawing: each frame image player 2 shows is
// copied once with the swapped colours (paletteFile) and the copy is kept
// and drawn from then on, with the frame's own opaque runs, since swapping
// colours never makes a pixel see-through or opaque.  The simulation never
// sees the copies: both players still share one character.
#pragma once

#include "sprite/paletteFile.h"

#include <SDL.h>

#include <unordered_map>
#include <vector>

class paletteSwap {
  public:
    paletteSwap() = default;
    ~paletteSwap();
    paletteSwap(const paletteSwap&) = delete;
    paletteSwap& operator=(const paletteSwap&) = delete;

    // The swaps to wear from now on; copies made for earlier ones are dropped.
    void wear(const std::vector<colourSwap>& swaps);
    bool empty() const { return swaps_.empty(); }

    // The image as player 2 wears it: the image itself when nothing is
    // swapped or it is not a 32-bit image in memory, else its copy, made at
    // the first call.  The image must outlive the copy's use (frame sets live
    // as long as the match).
    SDL_Surface* worn(SDL_Surface* image);

    // The number of copies made so far.
    std::size_t copies() const { return copies_.size(); }

  private:
    SDL_Surface* copyOf(SDL_Surface* image) const;
    void dropCopies();

    std::vector<colourSwap> swaps_;
    std::unordered_map<const SDL_Surface*, SDL_Surface*> copies_;
};
