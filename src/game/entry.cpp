// The program's entry: SDL 1.2 on this platform brings no main glue of its
// own, so this file is that glue and nothing else.
#include "game/main.h"

int main(int argc, char* argv[]) {
    return SDL_main(argc, argv);
}
