#include "wavChecker.h"

#include "base/platform.h"
#include "sound/wavHeader.h"

std::string wavChecker::headerProblem(const std::vector<unsigned char>& b) {
    std::string why;
    return wavHeader::isSound(b, &why) ? "" : why;
}

bool wavChecker::check(const std::string& path, std::string& problem) const {
    // The game's rules decide, not what the linked SDL happens to accept:
    // the game hands SDL_mixer only what passes them, and every SDL build
    // loads all of that alike.
    std::vector<unsigned char> bytes;
    unsigned long long size = 0;
    switch (platform::readWholeFile(path, bytes, wavHeader::maxFileBytes, &size)) {
    case platform::ReadResult::Ok:
        break;
    case platform::ReadResult::CannotOpen:
        problem = "cannot open the file";
        return false;
    case platform::ReadResult::CannotStat:
        problem = "not a regular file";
        return false;
    case platform::ReadResult::TooLarge:
        problem = wavHeader::tooLarge(size);
        return false;
    case platform::ReadResult::OutOfMemory:
    case platform::ReadResult::ReadError:
        problem = "cannot read the file";
        return false;
    }
    problem = headerProblem(bytes);
    return problem.empty();
}
