// The few operating-system services the game needs that differ between
// desktops: hiding the console window, the working directory, reading a
// whole file into memory, and memory in large pages.  On Linux there is no
// console window to hide.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Hide the console window the game was started from (nothing to do here).
void hideConsole();

// SDL turns an interrupt (Ctrl+C) or a termination request into the same
// quit event as the window's close button, which the game ignores; put the
// default handlers back so a terminal or a supervisor can still stop it.
void restoreStopSignals();

// The size of a large page: what mapLargePages aligns and rounds to.
constexpr std::size_t largePage = std::size_t{2} << 20;
// A block of at least `bytes` bytes taken straight from the system, starting
// on a large page and a whole number of them long (its length in `mapped`),
// that the system is asked to back with large pages.  The advice may not be
// taken: where the system keeps no large pages the block is served in small
// ones.  Pages are only given memory when first written.  nullptr when the
// system has no room.
void* mapLargePages(std::size_t bytes, std::size_t& mapped);
// Gives a block from mapLargePages back to the system.
void unmapLargePages(void* start, std::size_t mapped);

// The current working directory, or "" when it cannot be read (its path is
// longer than the system's limit, or it was removed).
std::string currentDirectory();
// The longest working directory path currentDirectory can read back.
constexpr std::size_t longestDirectory = 4096;

// The working directory held open, to come back to however deep it lies:
// coming back never reads its path.  Where it cannot be held open, its path
// is kept instead ("" when that cannot be read either).
class heldDirectory {
  public:
    heldDirectory();
    ~heldDirectory();
    heldDirectory(const heldDirectory&) = delete;
    heldDirectory& operator=(const heldDirectory&) = delete;
    // Make it the working directory again; false when that fails.
    bool returnTo() const;

  private:
    int fd_ = -1;
    std::string path_;
};
// Change the working directory; false when it cannot be changed.
bool changeDirectory(const std::string& path);
// True when the path names a directory that can be opened.
bool directoryExists(const std::string& path);
// What tells one file from every other while it is unchanged: its device
// and file number, size and modification time (whatever path reaches it,
// through links or not); "" when the path names nothing that can be looked
// at.  A file written again since gives another identity.
std::string fileIdentity(const std::string& path);

// Outcome of reading a whole file into memory.  Only regular files are
// read: a directory, a FIFO or a device gives CannotStat (a FIFO is never
// waited on).
enum class ReadResult { Ok, CannotOpen, CannotStat, OutOfMemory, ReadError, TooLarge };
ReadResult readWholeFile(const std::string& path, std::vector<unsigned char>& bytes);
// The same for a file whose format has a largest size: a larger file is
// refused from its size (TooLarge, its size in foundSize), before a byte
// of it is read.
ReadResult readWholeFile(const std::string& path, std::vector<unsigned char>& bytes,
                         unsigned long long limit, unsigned long long* foundSize = nullptr);

// Open a regular file for reading as text; nullptr for anything else (a
// missing file, a directory, a FIFO, which is never waited on, a device).
std::FILE* openRegularFile(const std::string& path);

} // namespace platform
