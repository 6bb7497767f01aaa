// The versus program's entry: the game library's versus program does the rest.
#include "versus/versusProgram.h"

int main(int argc, char* argv[]) {
    return versusProgram::run(argc, argv);
}
