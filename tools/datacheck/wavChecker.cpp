#include "wavChecker.h"

#include "base/platform.h"
#include "sound/wavHeader.h"

#include <SDL.h>
#include <SDL_mixer.h>

std::string wavChecker::headerProblem(const std::vector<unsigned char>& b) {
    std::string why;
    return wavHeader::isSound(b, &why) ? "" : why;
}

bool wavChecker::check(const std::string& path, std::string& problem) const {
    std::vector<unsigned char> bytes;
    platform::ReadResult read = platform::readWholeFile(path, bytes);
    if (read != platform::ReadResult::Ok) {
        problem = read == platform::ReadResult::CannotOpen   ? "cannot open the file"
                  : read == platform::ReadResult::CannotStat ? "not a regular file"
                                                             : "cannot read the file";
        return false;
    }
    // The game loads only what passes the same check.
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
