// The few operating-system services the game needs that differ between
// desktops: hiding the console window, the working directory, and reading a
// whole file into memory.  On Linux there is no console window to hide.
#pragma once

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

// Outcome of reading a whole file into memory.
enum class ReadResult { Ok, CannotOpen, CannotStat, OutOfMemory, ReadError };
ReadResult readWholeFile(const std::string& path, std::vector<unsigned char>& bytes);

} // namespace platform
