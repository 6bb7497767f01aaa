// Paces a match's frames to real time: one frame every 16 ms.  A loop that
// comes late (a busy machine, a window being dragged) plays the frames it
// missed, a few at most; beyond that the match waits rather than racing
// through every frame it missed.
#pragma once

#include <cstdint>

class framePacer {
  public:
    // `mostBehind`: the most frames one call makes up for.
    explicit framePacer(std::uint32_t frameMs = 16, std::uint32_t mostBehind = 4)
        : frameMs_(frameMs ? frameMs : 1), mostBehind_(mostBehind ? mostBehind : 1) {}

    // The first frame is due at `nowMs`.
    void start(std::uint32_t nowMs) {
        next_ = nowMs;
        started_ = true;
    }
    // The frames due by `nowMs` (real milliseconds, wrapping like SDL_GetTicks),
    // taken as played.
    std::uint32_t due(std::uint32_t nowMs) {
        if (!started_) start(nowMs);
        const std::int32_t ahead = static_cast<std::int32_t>(nowMs - next_);
        if (ahead < 0) return 0;
        std::uint32_t frames = static_cast<std::uint32_t>(ahead) / frameMs_ + 1;
        if (frames > mostBehind_) {
            // Too late to make up: what is missed is forgiven.
            next_ = nowMs + frameMs_;
            return mostBehind_;
        }
        next_ += frames * frameMs_;
        return frames;
    }
    // Milliseconds until the next frame is due (0: due now).
    std::uint32_t waitMs(std::uint32_t nowMs) const {
        const std::int32_t left = static_cast<std::int32_t>(next_ - nowMs);
        return !started_ || left < 0 ? 0 : static_cast<std::uint32_t>(left);
    }

  private:
    std::uint32_t frameMs_;
    std::uint32_t mostBehind_;
    std::uint32_t next_ = 0;
    bool started_ = false;
};
