// The places where the game touches the outside world's time, chance, console
// and speakers.  Everything in the game reads the clock, draws random numbers,
// writes its trace and starts its frames' sounds through these functions, so
// tests can replace each one and run deterministically, and a rollback's
// re-simulation can keep sounds and trace lines from coming twice.
#pragma once

#include <SDL.h>

#include <ostream>
#include <string>

namespace seams {

// Millisecond tick counter; SDL_GetTicks unless a test installed its own.
Uint32 ticks();
// Install a tick source; nullptr restores SDL_GetTicks.
void setTickSource(Uint32 (*source)());

// Raw random value in 0 ... RAND_MAX; the C library's rand() by default.
int rawRandom();
// Install a random source; nullptr restores rand().
void setRandomSource(int (*source)());

// The running trace (standard output, buffered).  Write '\n', never std::endl.
// Every control byte written to it other than '\n' comes out as \xHH (names
// from data files may hold escape sequences); valid data's trace has none.
std::ostream& trace();
// Redirect the trace; nullptr restores standard output.  The stream trace()
// returned before may be handed back to restore what it wrote to.
void setTraceStream(std::ostream* stream);

// A stream that drops whatever is written to it: where the trace and the
// error channel go while nobody may see them (a frame played again, a tool
// that shows its own findings instead).
std::ostream& nowhere();

// The error channel (standard error): the sound loader's per-file lines.
// Control bytes are escaped as in the trace; the same rule for handing back.
std::ostream& errors();
void setErrorStream(std::ostream* stream);

// Whether the sound a player's frame names may start now: always, unless a
// front end installed a gate (a rollback's re-simulation lets each sound of
// a frame start once).  Player 0 is the left-hand fighter, 1 the right.
bool soundMayStart(int player, const std::string& name);
// Install a sound gate; nullptr lets every sound start.
void setSoundGate(bool (*gate)(int player, const std::string& name));

} // namespace seams
