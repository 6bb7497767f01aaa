#include "wavChecker.h"

#include "base/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>

namespace {

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

uint16_t le16(const std::vector<unsigned char>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

bool tagAt(const std::vector<unsigned char>& b, size_t at, const char* tag) {
    return at + 4 <= b.size() && b[at] == tag[0] && b[at + 1] == tag[1] && b[at + 2] == tag[2] &&
           b[at + 3] == tag[3];
}

bool isRiffWave(const std::vector<unsigned char>& b) {
    return b.size() >= 12 && tagAt(b, 0, "RIFF") && tagAt(b, 8, "WAVE");
}

// True when SDL_mixer, on the open audio device, decodes the bytes.
bool mixerLoads(std::vector<unsigned char>& bytes) {
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) == 0) return false;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromMem(bytes.data(), int(bytes.size())), 1);
    if (!chunk) return false;
    Mix_FreeChunk(chunk);
    return true;
}

} // namespace

std::string wavChecker::headerProblem(const std::vector<unsigned char>& b) {
    if (!isRiffWave(b)) return "not a WAV file (no RIFF/WAVE header)";
    bool haveFormat = false, haveData = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint32_t size = le32(b, at + 4);
        if (tagAt(b, at, "fmt ")) {
            if (size < 16 || at + 8 + 16 > b.size()) return "\"fmt \" chunk cut short";
            haveFormat = true;
            int tag = le16(b, at + 8);
            int bits = le16(b, at + 8 + 14);
            int channels = le16(b, at + 8 + 2);
            if (channels < 1) return "no channels in the \"fmt \" chunk";
            // SDL's decoder reads 8- and 16-bit PCM and the two ADPCM kinds.
            if (tag == 1 && bits != 8 && bits != 16)
                return std::to_string(bits) + "-bit PCM; only 8- and 16-bit PCM can be loaded";
            if (tag != 1 && tag != 2 && tag != 0x11)
                return "sample format " + std::to_string(tag) + " cannot be loaded; use 16-bit PCM";
        } else if (tagAt(b, at, "data")) {
            haveData = true;
            if (!haveFormat) return "\"data\" chunk before the \"fmt \" chunk";
            if (at + 8 + size > b.size()) return "\"data\" chunk cut short";
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat) return "no \"fmt \" chunk";
    if (!haveData) return "no \"data\" chunk";
    return "";
}

bool wavChecker::check(const std::string& path, std::string& problem) const {
    std::vector<unsigned char> bytes;
    platform::ReadResult read = platform::readWholeFile(path, bytes);
    if (read != platform::ReadResult::Ok) {
        problem = read == platform::ReadResult::CannotOpen ? "cannot open the file"
                                                           : "cannot read the file";
        return false;
    }
    if (!isRiffWave(bytes) && mixerLoads(bytes)) return true;
    problem = headerProblem(bytes);
    if (!problem.empty()) return false;
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromMem(bytes.data(), int(bytes.size())), 1, &format, &buffer,
                        &length)) {
        problem = std::string("cannot be decoded: ") + SDL_GetError();
        return false;
    }
    SDL_FreeWAV(buffer);
    return true;
}
