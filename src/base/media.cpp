// The desktop's media calls: plain SDL 1.2.
#include "base/media.h"

#include "base/fatal.h"

#include <cstdlib>
#include <cstring>

namespace media {

std::string displayProblem() {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen && *chosen) return "";
    const std::string advice = "; start it on a desktop, or set SDL_VIDEODRIVER to choose a video "
                               "driver on purpose";
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        const char* x11 = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if ((x11 && *x11) || (wayland && *wayland)) return "";
        return "No display: DISPLAY and WAYLAND_DISPLAY are not set" + advice;
    }
    char name[64] = "";
    if (!SDL_VideoDriverName(name, sizeof name)) return "";
    for (const char* windowless : {"caca", "aalib", "dummy", "offscreen"})
        if (std::strcmp(name, windowless) == 0)
            return std::string("No display: SDL found only its \"") + name +
                   "\" video driver, which shows no window" + advice;
    return "";
}

void stopWithoutDisplay() {
    const std::string problem = displayProblem();
    if (problem.empty()) return;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_Quit();
    fatal::stop(problem + "\n");
}

SDL_Surface* openScreen(int width, int height, int bitsPerPixel, Uint32 flags) {
    return SDL_SetVideoMode(width, height, bitsPerPixel, flags);
}

int openAudio(int frequency, Uint16 format, int channels, int chunkSize) {
    return Mix_OpenAudio(frequency, format, channels, chunkSize);
}

void playSound(int channel, Mix_Chunk* chunk) {
    Mix_PlayChannelTimed(channel, chunk, 0, -1);
}

SDL_Surface* toDisplayFormat(SDL_Surface* surface) {
    return SDL_DisplayFormat(surface);
}

SDL_Surface* replaceWithDisplayFormat(SDL_Surface* surface) {
    SDL_Surface* converted = SDL_DisplayFormat(surface);
    SDL_FreeSurface(surface);
    return converted;
}

void setTransparentColour(SDL_Surface* surface, Uint8 red, Uint8 green, Uint8 blue) {
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                    SDL_MapRGB(surface->format, red, green, blue));
}

bool lockShownPixels(SDL_Surface* surface) {
    return SDL_LockSurface(surface) == 0;
}

bool colourKey(const SDL_Surface* surface, Uint32& key) {
    key = surface->format->colorkey;
    return (surface->flags & SDL_SRCCOLORKEY) != 0;
}

void copyTransparentColour(SDL_Surface* source, SDL_Surface* target) {
    if (source->flags & SDL_SRCCOLORKEY)
        SDL_SetColorKey(target, SDL_SRCCOLORKEY | SDL_RLEACCEL, source->format->colorkey);
}

void makeOpaque(SDL_Surface* surface) {
    SDL_SetColorKey(surface, 0, 0);
    SDL_SetAlpha(surface, 0, SDL_ALPHA_OPAQUE);
}

Uint32 colourPixel(SDL_Surface*, Uint32 rgb) {
    return rgb;
}

SDL_Surface* mirroredByPlatform(SDL_Surface*) {
    return nullptr;
}

bool pixelsLiveInMemory() {
    return true;
}

const Uint8* heldKeys() {
    return SDL_GetKeyState(nullptr);
}

SDL_RWops* memoryStream(const unsigned char* bytes, int size) {
    return SDL_RWFromConstMem(bytes, size);
}

SDL_Surface* decodeBitmap(const unsigned char* bytes, int size) {
    return SDL_LoadBMP_RW(memoryStream(bytes, size), 1);
}

} // namespace media
