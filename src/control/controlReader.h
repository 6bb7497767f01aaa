// The desktop's front end to the game's input: turns the events SDL has
// gathered, the keys held down and the joystick axes into each player's
// passControls, through the players' bindings.  The game itself never asks
// SDL; whatever drives it (this reader, a recorded game, the web page, the
// network) hands it these records.
#pragma once

#include "base/passControls.h"

#include <SDL.h>

class gamePad;

namespace controlReader {

// One player's bindings and, for joystick play, the opened joystick.
struct binding {
    const gamePad* pad = nullptr; // none: the player presses nothing but Escape and J
    SDL_Joystick* joystick = nullptr;
};

// Takes every waiting event off SDL's queue (into `event`, the loop's
// record) and adds its presses to the players' records, in the order they
// came.  Escape (quit) and J (the boxes) belong to the first player.
void readEvents(SDL_Event& event, const binding* players, passControls* out, int count);
// The controls a player holds down now: keys of a keyboard player, the stick
// of a joystick player.
std::uint16_t heldControls(const binding& player);

// Where held keys are read from: the media library's key state unless a test
// installed its own array (indexed by SDLKey).
void setKeyStateSource(const Uint8* (*source)());
bool keyHeld(int key);

} // namespace controlReader
