// One player's input for one pass of the loop, as the game reads it: the
// controls held down, and the presses in the order they came.  The order
// matters to command recognition (Down, Right, Z is a fireball; Z, Down,
// Right is not), so a front end that knows it (the desktop's event queue, a
// recorded game) keeps it; one that only knows which controls went down (a
// network frame) presses them in the canonical order: directions, then
// buttons.
#pragma once

#include "base/playerInput.h"

#include <array>
#include <cstdint>

struct passControls {
    // More presses than this in one pass are dropped; a pass lasts about a
    // millisecond.
    static constexpr int maxPresses = 32;

    std::uint16_t held = 0; // playerInput bits
    std::array<std::uint16_t, maxPresses> presses{};
    int pressCount = 0;

    void press(std::uint16_t control) {
        if (pressCount < maxPresses) presses[pressCount++] = control;
    }
    // Every press as one mask, order forgotten.
    std::uint16_t pressedMask() const {
        std::uint16_t mask = 0;
        for (int i = 0; i < pressCount; ++i)
            mask |= presses[i];
        return mask;
    }
    playerInput toInput() const {
        playerInput in;
        in.held = held;
        in.pressed = pressedMask();
        return in;
    }
    // A network frame's or a recording's record, pressed in the canonical
    // order: quit, up, down, left, right, A, B, C, boxes.
    static passControls fromInput(const playerInput& in) {
        static constexpr std::uint16_t order[] = {
            playerInput::quit,    playerInput::up,      playerInput::down,
            playerInput::left,    playerInput::right,   playerInput::buttonA,
            playerInput::buttonB, playerInput::buttonC, playerInput::boxes};
        passControls c;
        c.held = in.held;
        for (std::uint16_t bit : order)
            if (in.pressed & bit) c.press(bit);
        return c;
    }
};
