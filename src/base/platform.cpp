#include "base/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <new>

namespace platform {

void hideConsole() {}

void restoreStopSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

std::string currentDirectory() {
    std::vector<char> buffer(4096);
    if (!getcwd(buffer.data(), buffer.size())) return "";
    return buffer.data();
}

bool changeDirectory(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

bool directoryExists(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    closedir(dir);
    return true;
}

ReadResult readWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return ReadResult::CannotOpen;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return ReadResult::CannotStat;
    }
    try {
        bytes.assign(static_cast<size_t>(info.st_size), 0);
    } catch (const std::bad_alloc&) {
        close(fd);
        return ReadResult::OutOfMemory;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            close(fd);
            return ReadResult::ReadError;
        }
        done += static_cast<size_t>(got);
    }
    close(fd);
    return ReadResult::Ok;
}

} // namespace platform
