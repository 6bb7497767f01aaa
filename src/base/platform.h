// The few operating-system services the game needs that differ between
// desktops: hiding the console window, the working directory, and reading a
// whole file into memory.  On Linux there is no console window to hide.
#pragma once

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

// The current working directory, or "" when it cannot be read.
std::string currentDirectory();
// Change the working directory; false when it cannot be changed.
bool changeDirectory(const std::string& path);
// True when the path names a directory that can be opened.
bool directoryExists(const std::string& path);

// Outcome of reading a whole file into memory.  Only regular files are
// read: a directory, a FIFO or a device gives CannotStat (a FIFO is never
// waited on).
enum class ReadResult { Ok, CannotOpen, CannotStat, OutOfMemory, ReadError };
ReadResult readWholeFile(const std::string& path, std::vector<unsigned char>& bytes);

// Open a regular file for reading as text; nullptr for anything else (a
// missing file, a directory, a FIFO, which is never waited on, a device).
std::FILE* openRegularFile(const std::string& path);

// True when a name taken from a data file stays inside the folder it is
// looked up in: not absolute and no ".." component (a backslash counts as a
// separator too, as it does where the game also runs).
bool nameStaysInside(const std::string& name);

} // namespace platform
