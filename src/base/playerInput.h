// What one player does in one pass (or one network frame): the controls held
// down, and those newly pressed.  Every front end (the desktop's events, the
// web page, a recorded game, the network) turns its own input into these
// records, and the game reads nothing else.  Left and Right are the
// directions on the screen; the game turns them into forward and back with
// the fighter's facing.
#pragma once

#include <cstdint>

struct playerInput {
    // One bit per control.
    enum : std::uint16_t {
        left = 1u << 0,
        right = 1u << 1,
        up = 1u << 2,
        down = 1u << 3,
        buttonA = 1u << 4,
        buttonB = 1u << 5,
        buttonC = 1u << 6,
        quit = 1u << 7,  // Escape: the match ends
        boxes = 1u << 8, // J: show the collision and damage boxes
        all = (1u << 9) - 1,
    };
    std::uint16_t held = 0;    // controls down during the pass
    std::uint16_t pressed = 0; // controls that went down since the last pass

    // The record as one 32-bit word (held low, pressed high), for packets
    // and recordings, and back.
    std::uint32_t packed() const { return held | (static_cast<std::uint32_t>(pressed) << 16); }
    static playerInput unpacked(std::uint32_t word) {
        playerInput in;
        in.held = static_cast<std::uint16_t>(word & all);
        in.pressed = static_cast<std::uint16_t>((word >> 16) & all);
        return in;
    }
    bool operator==(const playerInput& o) const { return held == o.held && pressed == o.pressed; }
    bool operator!=(const playerInput& o) const { return !(*this == o); }
};
