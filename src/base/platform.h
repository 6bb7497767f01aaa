// The few operating-system services the game needs that differ between
// desktops: hiding the console window, the working directory, reading a
// whole file into memory, and where start-up's large blocks come from.  On
// Linux there is no console window to hide.
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

// Start-up allocates a few blocks of a megabyte or more: the screen, the
// stage's bytes and SDL's decoded copy of it, the sounds, SDL's run-length
// copies of the frames.  Taken from the system 4 KB at a time, their first
// writes cost over a thousand page faults, about a third of the time from
// `main` to the first frame.  This grows the heap once by `bytes`, asks the
// system to back that part with 2 MB pages, and keeps blocks of up to 32 MB
// in the heap so that they land there.  Only advice, and only the first call
// acts: where the C library or the system does not take it (another
// allocator, the sanitizers', the browser's), nothing changes.  False when
// the heap was not grown.
bool reserveLargePageHeap(std::size_t bytes);

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

// True when a name taken from a data file stays inside the folder it is
// looked up in: not absolute and no ".." component (a backslash counts as a
// separator too, as it does where the game also runs).
bool nameStaysInside(const std::string& name);

} // namespace platform
