// Sound lists: the input is cut at "\n====\n" into the list first read
// (getList) and the list added after it (addToList), each in a folder of its
// own holding one small sound, a.wav.
#include "fuzzSupport.h"
#include "sound/soundSet.h"

#include <SDL_mixer.h>

#include <cstddef>
#include <cstdint>

namespace {
std::string g_first, g_second;

void writeWav(const std::string& path) {
    // 8-bit mono, 8000 Hz, 64 samples of silence.
    std::string wav = "RIFF";
    auto put32 = [&wav](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            wav.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&wav](uint16_t v) {
        wav.push_back(static_cast<char>(v & 0xFF));
        wav.push_back(static_cast<char>(v >> 8));
    };
    put32(36 + 64);
    wav += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(8000);
    put16(1);
    put16(8);
    wav += "data";
    put32(64);
    wav += std::string(64, '\x80');
    fuzz::writeFile(path, wav);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietGame();
    fuzz::headlessScreen();
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    // Without a device the loader still runs; it only keeps no samples.
    Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 512);
    g_first = fuzz::workDir() + "/first";
    g_second = fuzz::workDir() + "/second";
    writeWav(g_first + "/a.wav");
    writeWav(g_second + "/a.wav");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [first, second] = fuzz::splitInput(data, size);
    fuzz::writeFile(g_first + "/sound", first);
    fuzz::writeFile(g_second + "/sound", second);
    soundSet sounds;
    sounds.getList(g_first.c_str());
    sounds.addToList(g_second.c_str());
    volatile long sum = sounds.numSounds;
    for (const char* name : {"a", "hit", ""}) {
        soundEntry* entry = sounds.find(name);
        if (entry) sum = sum + static_cast<long>(entry->name.size());
        sum = sum + (sounds.returnSound(name) ? 1 : 0);
    }
    sounds.display();
    return 0;
}
