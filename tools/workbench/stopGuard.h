// Loading inside the workbench: a loader that gives up (a bitmap that cannot
// be decoded, an index the game would stop on) must not end the program.
// While a stopGuard lives, the game's fatal stop throws loadStopped with the
// loader's message instead of ending the process, and when the guard goes
// the working directory is put back (the frame loader changes into a frame
// folder while it reads a bitmap, and a stop can come before it changes back).
#pragma once

#include "base/platform.h"

#include <string>

struct loadStopped {
    std::string message;
};

class stopGuard {
  public:
    stopGuard();
    ~stopGuard();
    stopGuard(const stopGuard&) = delete;
    stopGuard& operator=(const stopGuard&) = delete;

  private:
    platform::heldDirectory directory_; // held open: coming back reads no path
};
