// Start-up, the main loop and the scene.
#include "main.h"

#include "platform.h"
#include "seams.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>

SDL_Surface* screen = nullptr;
SDL_Surface* back = nullptr;

void sdlInit() {
    platform::hideConsole();
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0) {
        seams::trace() << "Unable to init SDL: " << SDL_GetError() << "\n";
        std::exit(1);
    }
    std::atexit(SDL_Quit);
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) < 0) {
        seams::trace() << "Warning: Couldn't set 44100 Hz 16-bit audio\n- Reason: " << SDL_GetError()
                       << "\n";
    }
    screen = SDL_SetVideoMode(800, 600, 32, SDL_HWPALETTE);
    if (!screen) {
        seams::trace() << "Unable to set 800x600 video: " << SDL_GetError() << "\n";
        std::exit(1);
    }
    SDL_WM_SetCaption("Tavro Fighter", "Tavro Fighter");
}

void startUp(gameSession&) {
    SDL_Surface* loaded = SDL_LoadBMP("data/tBG2.bmp");
    if (!loaded) {
        seams::trace() << "Cannot show the stage: data/tBG2.bmp: " << SDL_GetError() << "\n";
        seams::trace().flush();
        std::exit(1);
    }
    back = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    SDL_BlitSurface(back, nullptr, screen, nullptr);
}

bool runPass(gameSession& session) {
    bool quit = false;
    while (SDL_PollEvent(&session.event))
        if (session.event.type == SDL_KEYDOWN && session.event.key.keysym.sym == SDLK_ESCAPE) quit = true;
    DrawScene();
    return !quit;
}

void DrawScene() { SDL_Flip(screen); }

int SDL_main(int, char*[]) {
    sdlInit();
    gameSession session;
    startUp(session);
    while (runPass(session)) {
    }
    return 0;
}
