// The three places where the game touches the outside world's time, chance and
// console.  Everything in the game reads the clock, draws random numbers and
// writes its trace through these functions, so tests can replace each one and
// run deterministically.
#pragma once

#include <SDL.h>

#include <ostream>

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
std::ostream& trace();
// Redirect the trace; nullptr restores standard output.
void setTraceStream(std::ostream* stream);

// The error channel (standard error): the sound loader's per-file lines.
std::ostream& errors();
void setErrorStream(std::ostream* stream);

} // namespace seams
