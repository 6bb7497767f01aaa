// Where a keyed frame is not see-through: for every row, the runs of pixels
// that are not the frame's transparent colour.  Worked out once when the
// frame is loaded, for each facing's image, so that drawing the frame copies
// those runs straight from the frame's pixels and never looks at a
// transparent one.  SDL 1.2 does the same with its run-length copy of the
// frame, but sdl12-compat, the SDL 1.2 most systems ship, rebuilds and walks
// it through SDL2 at several times the cost of the copy itself.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <memory>
#include <vector>

class opaqueRuns {
  public:
    // The runs of a keyed 32-bit image whose pixels live in memory.  None
    // (known() false) for an image without colour key or with surface alpha,
    // one whose pixels cannot be read, one too wide for a run's 16 bits, and
    // one whose runs would take more than a tenth of its own pixel memory (a
    // frame of scattered dots): SDL draws those.
    static opaqueRuns of(SDL_Surface* image);

    // True when the runs were worked out and may stand for the image.
    bool known() const { return known_; }
    // The memory the runs take, beside the image's pixels.  Copies share
    // one table (the runs never change once worked out): every frame that
    // shows one image, in however many frame sets, holds the same runs.
    std::size_t bytes() const;
    int runCount() const { return table_ ? static_cast<int>(table_->runs.size()) : 0; }
    // The smallest rectangle of the image holding every opaque pixel (size 0
    // when there is none): all that drawing the frame can change.
    const SDL_Rect& extent() const { return extent_; }

    // SDL_BlitSurface(image, nullptr, target, at) for the image these runs
    // were worked out from: the same clipping, the same rectangle written
    // back, the same pixels.  The runs are copied as they are when image and
    // target share the 32-bit layout and nothing has changed how SDL would
    // draw the image since (colour key, surface alpha); anything else goes
    // to copyBlit, which hands it to SDL.
    int blit(SDL_Surface* image, SDL_Surface* target, SDL_Rect* at) const;

  private:
    struct run {
        Uint16 x;
        Uint16 length;
    };
    bool known_ = false;
    SDL_Rect extent_{0, 0, 0, 0};
    Uint32 key_ = 0; // the colour key the runs were worked out for
    struct table {
        std::vector<Uint32> rowStarts; // row y's runs are runs[rowStarts[y] .. rowStarts[y + 1])
        std::vector<run> runs;
        std::size_t bytes() const;
        // The smallest rectangle of a w x h image holding every run.
        SDL_Rect extent(int w, int h) const;
    };
    std::shared_ptr<const table> table_; // set when known
};
