#include "base/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace platform {

void hideConsole() {}

void restoreStopSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void* mapLargePages(std::size_t bytes, std::size_t& mapped) {
    mapped = 0;
    if (bytes == 0 || bytes > SIZE_MAX - largePage * 2) return nullptr;
    const std::size_t size = (bytes + largePage - 1) / largePage * largePage;
    // Ask for one large page more than needed and trim both ends, so that
    // the block starts on a large page.
    void* taken = mmap(nullptr, size + largePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (taken == MAP_FAILED) return nullptr;
    auto* raw = static_cast<unsigned char*>(taken);
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    auto* start = raw + ((address + largePage - 1) / largePage * largePage - address);
    if (start > raw) munmap(raw, static_cast<std::size_t>(start - raw));
    const auto tail = static_cast<std::size_t>(raw + size + largePage - (start + size));
    if (tail > 0) munmap(start + size, tail);
#ifdef MADV_HUGEPAGE
    madvise(start, size, MADV_HUGEPAGE);
#endif
    mapped = size;
    return start;
}

void unmapLargePages(void* start, std::size_t mapped) {
    if (start) munmap(start, mapped);
}

std::string currentDirectory() {
    std::vector<char> buffer(longestDirectory);
    if (!getcwd(buffer.data(), buffer.size())) return "";
    return buffer.data();
}

heldDirectory::heldDirectory() {
#if defined(O_PATH)
    fd_ = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    fd_ = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    if (fd_ < 0) path_ = currentDirectory();
}

heldDirectory::~heldDirectory() {
    if (fd_ >= 0) close(fd_);
}

bool heldDirectory::returnTo() const {
    if (fd_ >= 0) return fchdir(fd_) == 0;
    return !path_.empty() && chdir(path_.c_str()) == 0;
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

std::string fileIdentity(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return "";
    return std::to_string(static_cast<unsigned long long>(info.st_dev)) + ":" +
           std::to_string(static_cast<unsigned long long>(info.st_ino)) + ":" +
           std::to_string(static_cast<long long>(info.st_size)) + ":" +
           std::to_string(static_cast<long long>(info.st_mtim.tv_sec)) + "." +
           std::to_string(static_cast<long long>(info.st_mtim.tv_nsec));
}

namespace {

// Opening a FIFO for reading waits for a writer, so every data file is
// opened without waiting and kept only when it is a regular file; then
// reads wait as usual.  -1 when it cannot be opened, -2 when it is not a
// regular file.
int openRegular(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -2;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

} // namespace

std::FILE* openRegularFile(const std::string& path) {
    int fd = openRegular(path);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "r");
    if (!file) close(fd);
    return file;
}

ReadResult readWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    return readWholeFile(path, bytes, ~0ull);
}

ReadResult readWholeFile(const std::string& path, std::vector<unsigned char>& bytes,
                         unsigned long long limit, unsigned long long* foundSize) {
    bytes.clear();
    int fd = openRegular(path);
    if (fd == -1) return ReadResult::CannotOpen;
    if (fd < 0) return ReadResult::CannotStat;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return ReadResult::CannotStat;
    }
    const auto size = static_cast<unsigned long long>(info.st_size);
    if (foundSize) *foundSize = size;
    if (size > limit) {
        close(fd);
        return ReadResult::TooLarge;
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
