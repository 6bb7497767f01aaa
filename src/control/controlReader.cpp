#include "control/controlReader.h"

#include "base/gamepad.h"
#include "base/media.h"

namespace controlReader {

namespace {

// Stick positions within this distance of the centre count as released.
constexpr int deadZone = 3200;

const Uint8* (*keyStateSource)() = nullptr;

bool keyboardPlay(const binding& player) {
    return !player.pad || player.pad->joyIndex == -1;
}

// A key press: each control the key is bound to, in a fixed order.
void keyPresses(const gamePad& pad, int key, passControls& out) {
    if (key == pad.buttonA) out.press(playerInput::buttonA);
    if (key == pad.buttonB) out.press(playerInput::buttonB);
    if (key == pad.buttonC) out.press(playerInput::buttonC);
    if (key == pad.upKey) out.press(playerInput::up);
    if (key == pad.downKey) out.press(playerInput::down);
    if (key == pad.rightKey) out.press(playerInput::right);
    if (key == pad.leftKey) out.press(playerInput::left);
}

// Whether a joystick event belongs to this player: with one joystick player
// any stick counts, with two each has its own.
bool ownsJoystick(const binding& player, int which, int joystickPlayers) {
    return joystickPlayers <= 1 || which == player.pad->joyIndex;
}

void joystickEvent(const SDL_Event& event, const binding& player, int joystickPlayers,
                   passControls& out) {
    const gamePad& pad = *player.pad;
    if (event.type == SDL_JOYBUTTONDOWN) {
        if (!ownsJoystick(player, event.jbutton.which, joystickPlayers)) return;
        const int button = event.jbutton.button;
        if (button == pad.joyButtonA) out.press(playerInput::buttonA);
        if (button == pad.joyButtonB) out.press(playerInput::buttonB);
        if (button == pad.joyButtonC) out.press(playerInput::buttonC);
    } else if (event.type == SDL_JOYAXISMOTION) {
        if (!ownsJoystick(player, event.jaxis.which, joystickPlayers)) return;
        const int value = event.jaxis.value;
        if (value >= -deadZone && value <= deadZone) return;
        if (event.jaxis.axis == 0)
            out.press(value > deadZone ? playerInput::right : playerInput::left);
        else if (event.jaxis.axis == 1)
            out.press(value < -deadZone ? playerInput::up : playerInput::down);
    }
}

} // namespace

void setKeyStateSource(const Uint8* (*source)()) {
    keyStateSource = source;
}

bool keyHeld(int key) {
    if (key < 0 || key >= SDLK_LAST) return false;
    const Uint8* state = keyStateSource ? keyStateSource() : media::heldKeys();
    return state && state[key] != 0;
}

void readEvents(SDL_Event& event, const binding* players, passControls* out, int count) {
    int joystickPlayers = 0;
    for (int p = 0; p < count; ++p)
        if (!keyboardPlay(players[p])) ++joystickPlayers;
    while (SDL_PollEvent(&event)) {
        // Releases, mouse and the window's close request are all ignored.
        if (event.type == SDL_KEYDOWN) {
            const int key = event.key.keysym.sym;
            if (key == SDLK_ESCAPE && count > 0) out[0].press(playerInput::quit);
            for (int p = 0; p < count; ++p)
                if (keyboardPlay(players[p]) && players[p].pad)
                    keyPresses(*players[p].pad, key, out[p]);
            if (key == SDLK_j && count > 0 && keyboardPlay(players[0]))
                out[0].press(playerInput::boxes);
        } else {
            for (int p = 0; p < count; ++p)
                if (!keyboardPlay(players[p]))
                    joystickEvent(event, players[p], joystickPlayers, out[p]);
        }
    }
}

std::uint16_t heldControls(const binding& player) {
    std::uint16_t held = 0;
    if (!player.pad) return held;
    if (keyboardPlay(player)) {
        const gamePad& pad = *player.pad;
        if (keyHeld(pad.leftKey)) held |= playerInput::left;
        if (keyHeld(pad.rightKey)) held |= playerInput::right;
        if (keyHeld(pad.upKey)) held |= playerInput::up;
        if (keyHeld(pad.downKey)) held |= playerInput::down;
        if (keyHeld(pad.buttonA)) held |= playerInput::buttonA;
        if (keyHeld(pad.buttonB)) held |= playerInput::buttonB;
        if (keyHeld(pad.buttonC)) held |= playerInput::buttonC;
        return held;
    }
    if (!player.joystick) return held;
    const int x = SDL_JoystickGetAxis(player.joystick, 0);
    const int y = SDL_JoystickGetAxis(player.joystick, 1);
    if (x < -deadZone) held |= playerInput::left;
    if (x > deadZone) held |= playerInput::right;
    if (y < -deadZone) held |= playerInput::up;
    if (y > deadZone) held |= playerInput::down;
    return held;
}

} // namespace controlReader
