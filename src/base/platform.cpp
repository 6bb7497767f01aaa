#include "base/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

bool reserveLargePageHeap(std::size_t bytes) {
    static bool asked = false;
    if (asked) return false;
    asked = true;
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // Blocks below the mapping threshold come from the heap; a heap that is
    // never trimmed keeps the large pages for the next block.
    if (mallopt(M_MMAP_THRESHOLD, 32 << 20) != 1 || mallopt(M_TRIM_THRESHOLD, 1 << 30) != 1)
        return false;
    const std::uintptr_t largePage = 2 << 20;
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // The block is only there to grow the heap; volatile keeps the compiler
    // from dropping the pair.
    void* volatile grown = std::malloc(bytes);
    std::free(grown);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t first = (before + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t last = after & ~(largePage - 1);
    if (grown == nullptr || last <= first) return false;
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    return true;
#else
    (void)bytes;
    return false;
#endif
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

bool nameStaysInside(const std::string& name) {
    if (name.empty()) return true;
    if (name[0] == '/' || name[0] == '\\') return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return true;
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
