// A player that plays by itself, for tests of online play (and versus
// --autoplay): changes what it holds every few steps, from a seed, and
// presses what newly goes down.
#pragma once

#include "base/playerInput.h"

#include <cstdint>

// A player who changes what they hold every few steps, from a seed.
class scriptedPlayer {
  public:
    explicit scriptedPlayer(std::uint64_t seed) : state_(seed) {}
    playerInput next() {
        if (stepsLeft_ == 0) {
            const std::uint32_t r = draw();
            held_ = 0;
            if (r & 1) held_ |= (r & 2) ? playerInput::left : playerInput::right;
            if ((r & 12) == 12) held_ |= playerInput::buttonA;
            if ((r & 48) == 48) held_ |= playerInput::down;
            if ((r & 192) == 192) held_ |= playerInput::buttonB;
            if ((r & 768) == 768) held_ |= playerInput::up;
            stepsLeft_ = 1 + (draw() % 12);
        }
        --stepsLeft_;
        playerInput in;
        in.pressed = held_ & ~lastHeld_;
        in.held = held_;
        lastHeld_ = held_;
        return in;
    }

  private:
    std::uint32_t draw() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint64_t state_;
    std::uint16_t held_ = 0, lastHeld_ = 0;
    int stepsLeft_ = 0;
};
