// Which sounds a match's frames have started, so that a frame played again
// after a rollback starts each of its sounds only once: the first time a
// frame is played it starts everything it names (a sound named twice starts
// twice, as the game always has); played again, only what it did not start
// before.  Frames are forgotten once they are far behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class soundOnce {
  public:
    // Frames are remembered this long, far longer than any rollback reaches.
    static constexpr std::uint32_t memoryFrames = 64;

    // Whether player `player`'s sound `name` may start in frame `frame`.
    bool mayStart(std::uint32_t frame, int player, const std::string& name, bool resimulating) {
        for (const started& s : started_)
            if (s.frame == frame && s.player == player && s.name == name) return !resimulating;
        started_.push_back({frame, player, name});
        return true;
    }
    // Forgets the frames more than memoryFrames away from `frame`.
    void forgetFar(std::uint32_t frame) {
        std::vector<started> kept;
        for (started& s : started_)
            if (s.frame + memoryFrames >= frame && s.frame <= frame + memoryFrames)
                kept.push_back(std::move(s));
        started_.swap(kept);
    }
    void clear() { started_.clear(); }
    std::size_t remembered() const { return started_.size(); }

  private:
    struct started {
        std::uint32_t frame;
        int player;
        std::string name;
    };
    std::vector<started> started_;
};
