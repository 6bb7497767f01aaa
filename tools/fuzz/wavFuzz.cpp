// Sound file bytes: the WAV check the sound set runs before SDL_mixer sees
// a file, then, for what it lets through, SDL_mixer's loader on the dummy
// audio device (the game's format) and SDL's own WAV decoder.  What the
// check accepts must decode without a sanitizer report.
#include "fuzzSupport.h"
#include "sound/wavHeader.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietGame();
    fuzz::headlessScreen();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0 || Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) < 0) {
        std::fprintf(stderr, "audio: %s\n", SDL_GetError());
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    if (!wavHeader::isSound(bytes)) return 0;
    Mix_Chunk* chunk =
        Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (chunk) Mix_FreeChunk(chunk);
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1, &format,
                       &buffer, &length))
        SDL_FreeWAV(buffer);
    return 0;
}
