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

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietGame();
    fuzz::headlessScreen();
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    // Without a device the loader still runs; it only keeps no samples.
    Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 512);
    g_first = fuzz::workDir() + "/first";
    g_second = fuzz::workDir() + "/second";
    testing_support::writeFile(g_first + "/a.wav", testing_support::wavBytes());
    testing_support::writeFile(g_second + "/a.wav", testing_support::wavBytes());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [first, second] = fuzz::splitInput(data, size);
    testing_support::writeFile(g_first + "/sound", first);
    testing_support::writeFile(g_second + "/sound", second);
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
