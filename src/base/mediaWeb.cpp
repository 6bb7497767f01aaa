// The browser's media calls: Emscripten's emulation of SDL 1.2, where every
// surface is a canvas with a copy of its pixels in memory.  Blits and fills
// draw on the canvases; the copy in memory is reached between
// SDL_LockSurface and SDL_UnlockSurface, and unlocking puts it on the canvas.
// Colours hold red in the low byte and alpha in the high byte, and
// SDL_SetColorKey does nothing.
#include "base/media.h"

#include <SDL_rotozoom.h>
#include <emscripten.h>

#include <cstring>

// The image decoder the browser's SDL brings along (stb_image).
extern "C" unsigned char* stbi_load_from_memory(const unsigned char* bytes, int size, int* width,
                                                int* height, int* components, int wanted);
extern "C" void stbi_image_free(void* pixels);

namespace media {

std::string displayProblem() {
    return ""; // the page's canvas is always there
}

void stopWithoutDisplay() {}

SDL_Surface* openScreen(int width, int height, int bitsPerPixel, Uint32 flags) {
    // Locking a surface does not read its canvas back: the game locks only
    // surfaces whose pixels it wrote itself (decoded frames and their
    // mirrors), so the copy in memory is already right, and reading a canvas
    // back costs more than everything else start-up does.
    EM_ASM({ SDL.defaults.discardOnLock = true; });
    return SDL_SetVideoMode(width, height, bitsPerPixel, flags & ~Uint32{SDL_HWPALETTE});
}

int openAudio(int frequency, Uint16 format, int channels, int chunkSize) {
    // Sounds are decoded into an offline context, which needs no audio
    // device.  The page's own audio context is made on the first gesture:
    // made before, it could not play yet, and making one can take the better
    // part of a second on a machine without sound hardware.
    EM_ASM(
        {
            if (!SDL.audioContext) SDL.audioContext = new OfflineAudioContext($2, 1, $0);
            SDL.allocateChannels(32);
            SDL.mixerFrequency = $0;
            SDL.mixerFormat = $1;
            SDL.mixerNumChannels = $2;
            SDL.mixerChunkSize = $3;
            var gestures = "keydown mousedown touchstart".split(" ");
            function start() {
                gestures.forEach(
                    function(name) { document.removeEventListener(name, start, true); });
                // After the gesture has reached the game: the page may play
                // sound from now on.
                setTimeout(
                    function() {
                        SDL.audioContext = new AudioContext();
                        if (Module.onGameEvent) Module.onGameEvent("sound on");
                    },
                    0);
            }
            gestures.forEach(function(name) { document.addEventListener(name, start, true); });
        },
        frequency, format, channels, chunkSize);
    return 0;
}

void playSound(int channel, Mix_Chunk* chunk) {
    // Until the page's audio runs a sound would only wait for it, and a
    // burst of stale sounds would greet the first key press.
    const bool running =
        EM_ASM_INT({ return SDL.audioContext && SDL.audioContext.state == "running" ? 1 : 0; });
    if (running) Mix_PlayChannelTimed(channel, chunk, 0, -1);
}

SDL_Surface* toDisplayFormat(SDL_Surface* surface) {
    // SDL_DisplayFormat is not there; SDL_ConvertSurface copies the canvas,
    // and every canvas has the screen's format.
    if (!surface) return nullptr;
    return SDL_ConvertSurface(surface, surface->format, 0);
}

SDL_Surface* replaceWithDisplayFormat(SDL_Surface* surface) {
    return surface;
}

void setTransparentColour(SDL_Surface* surface, Uint8 red, Uint8 green, Uint8 blue) {
    const Uint32 key = SDL_MapRGB(surface->format, red, green, blue) & 0x00FFFFFF;
    if (SDL_LockSurface(surface) < 0) return;
    Uint32* pixels = static_cast<Uint32*>(surface->pixels);
    const int count = surface->pitch / 4 * surface->h;
    for (int i = 0; i < count; ++i)
        if ((pixels[i] & 0x00FFFFFF) == key) pixels[i] = key;
    SDL_UnlockSurface(surface);
}

bool lockShownPixels(SDL_Surface* surface) {
    // Screens and frames are locked without reading their canvas back (see
    // openScreen); this one lock reads it.
    EM_ASM({ SDL.defaults.discardOnLock = false; });
    const int locked = SDL_LockSurface(surface);
    EM_ASM({ SDL.defaults.discardOnLock = true; });
    return locked == 0;
}

bool colourKey(const SDL_Surface*, Uint32& key) {
    key = 0;
    return false;
}

void copyTransparentColour(SDL_Surface*, SDL_Surface*) {}

void makeOpaque(SDL_Surface* surface) {
    SDL_SetAlpha(surface, 0, SDL_ALPHA_OPAQUE);
}

Uint32 colourPixel(SDL_Surface* surface, Uint32 rgb) {
    return SDL_MapRGB(surface->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

SDL_Surface* mirroredByPlatform(SDL_Surface* surface) {
    // Drawn through a mirror on a new canvas; its copy in memory stays
    // unset, as nothing reads a mirrored frame's pixels.
    return zoomSurface(surface, -1, 1, SMOOTHING_OFF);
}

bool pixelsLiveInMemory() {
    return false;
}

const Uint8* heldKeys() {
    return SDL_GetKeyboardState(nullptr);
}

// Streams are numbers into a table whose slot 0 stands for "no stream".
// Freeing the newest stream empties the table, slot 0 included, and the next
// stream would be numbered 0, which reads as a failure: put the slot back
// before making one.
static void keepStreamSlotZero() {
    EM_ASM({
        if (SDL.rwops.length == 0) SDL.rwops.push(null);
    });
}

SDL_RWops* memoryStream(const unsigned char* bytes, int size) {
    keepStreamSlotZero();
    return SDL_RWFromConstMem(bytes, size);
}

SDL_Surface* decodeBitmap(const unsigned char* bytes, int size) {
    // Decoded here rather than by the browser's SDL, which would read the
    // new canvas back twice.
    int width = 0, height = 0, components = 0;
    unsigned char* rgba = stbi_load_from_memory(bytes, size, &width, &height, &components, 4);
    if (!rgba) return nullptr;
    SDL_Surface* surface =
        SDL_CreateRGBSurface(0, width, height, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface && SDL_LockSurface(surface) == 0) {
        for (int row = 0; row < height; ++row)
            std::memcpy(static_cast<unsigned char*>(surface->pixels) + row * surface->pitch,
                        rgba + row * width * 4, static_cast<size_t>(width) * 4);
        SDL_UnlockSurface(surface);
    }
    stbi_image_free(rgba);
    return surface;
}

} // namespace media
