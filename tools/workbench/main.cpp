// workbench: an author's view of the character, frame by frame, with its
// boxes, reloaded when a file under the data folder changes.
//
//   workbench [DATA_FOLDER] [NAME]   the window (folder "data", the first animation)
//   workbench --moves [DATA_FOLDER]  the move list as a Markdown table
//   workbench --frame-data [DATA_FOLDER]  every move's timing, in ms
//   workbench --moves-html [DATA_FOLDER]  the move list as the web page's key rows
//   workbench --sheet DATA_FOLDER OUT.bmp  every frame with its boxes, on one sheet
//   workbench --scene DATA_FOLDER OUT.bmp  the stage with both fighters, as in the game
#include "contactSheet.h"
#include "frameData.h"
#include "moveTable.h"
#include "workbench.h"

#include "base/seams.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

namespace {

const char* const usage = "usage: workbench [DATA_FOLDER] [NAME]\n"
                          "       workbench --moves [DATA_FOLDER]\n"
                          "       workbench --frame-data [DATA_FOLDER]\n"
                          "       workbench --moves-html [DATA_FOLDER]\n"
                          "       workbench --sheet|--scene DATA_FOLDER OUT.bmp\n";

enum class listing { markdown, frameData, html };

// Prints the move list (`--moves`, `--moves-html`) or the frame data
// (`--frame-data`).
int printMoves(const std::string& folder, listing kind) {
    // Frames are converted to the display format as they load, so a video
    // mode is needed; nothing is shown.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(8, 8, 32, 0)) {
        std::cerr << "workbench: cannot start SDL: " << SDL_GetError() << "\n";
        return 1;
    }
    moveSet moves;
    const std::string character = folder + "/" + characterSnapshot::character;
    moves.loadAll(character.c_str());
    SDL_Quit();
    if (moves.moves.empty()) {
        std::cerr << "workbench: no moves in " << character << "/moveset\n";
        return 1;
    }
    std::cout << (kind == listing::frameData ? frameData::table(moves)
                  : kind == listing::html    ? moveTable::html(moves)
                                             : moveTable::markdown(moves));
    return 0;
}

// The window, until the author quits.
int runWindow(const std::string& folder, const std::string& name) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::cerr << "workbench: cannot start SDL: " << SDL_GetError() << "\n";
        return 1;
    }
    SDL_Surface* screen = SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
    if (!screen) {
        std::cerr << "workbench: cannot open the window: " << SDL_GetError() << "\n";
        SDL_Quit();
        return 1;
    }
    // Held step and browse keys repeat.
    SDL_EnableKeyRepeat(300, 60);
    {
        workbench bench(folder, screen, std::cout);
        bench.start(name);
        while (bench.runPass()) {
            SDL_Flip(screen);
            SDL_Delay(15);
        }
    }
    SDL_Quit();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The game's loaders trace every line they read; the author's terminal
    // shows the checker's findings instead.
    seams::setTraceStream(&seams::nowhere());

    const bool sheet = argc > 1 && std::strcmp(argv[1], "--sheet") == 0;
    if (sheet || (argc > 1 && std::strcmp(argv[1], "--scene") == 0)) {
        if (argc != 4) {
            std::cerr << usage;
            return 2;
        }
        return contactSheet::save(argv[2], argv[3], !sheet, std::cerr);
    }

    std::string folder = "data", name;
    bool moves = false;
    listing kind = listing::markdown;
    int plain = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--moves") == 0) {
            moves = true;
        } else if (std::strcmp(argv[i], "--frame-data") == 0) {
            moves = true;
            kind = listing::frameData;
        } else if (std::strcmp(argv[i], "--moves-html") == 0) {
            moves = true;
            kind = listing::html;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << usage << workbench::keyList();
            return 0;
        } else if (argv[i][0] == '-' || plain == (moves ? 1 : 2)) {
            std::cerr << usage;
            return 2;
        } else {
            (plain++ == 0 ? folder : name) = argv[i];
        }
    }
    if (moves && plain > 1) {
        std::cerr << usage;
        return 2;
    }
    if (moves) return printMoves(folder, kind);

    return runWindow(folder, name);
}
