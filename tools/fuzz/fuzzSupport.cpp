#include "fuzzSupport.h"

#include "base/seams.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace fuzz {

namespace {

std::string g_workDir;

void removeWorkDir() {
    if (g_workDir.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(g_workDir, ignored);
}

} // namespace

void quietGame() {
    // A stream without a buffer swallows everything written to it.
    static std::ostream nowhere(nullptr);
    seams::setTraceStream(&nowhere);
    seams::setErrorStream(&nowhere);
}

SDL_Surface* headlessScreen() {
    static SDL_Surface* screen = nullptr;
    if (screen) return screen;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        std::abort();
    }
    screen = SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE);
    if (!screen) {
        std::fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
        std::abort();
    }
    return screen;
}

const std::string& workDir() {
    if (g_workDir.empty()) {
        char pattern[] = "/tmp/fighter-fuzz-XXXXXX";
        if (!mkdtemp(pattern)) {
            std::perror("mkdtemp");
            std::abort();
        }
        g_workDir = pattern;
        std::atexit(removeWorkDir);
    }
    return g_workDir;
}

std::string startIn(const std::string& name) {
    quietGame();
    headlessScreen();
    return workDir() + "/" + name;
}

const std::string& characterFolder() {
    static const std::string folder = [] {
        std::string made = startIn("character");
        testing_support::writeOneFrameFolder(made + "/a");
        return made;
    }();
    return folder;
}

void startInWorkDir() {
    quietGame();
    headlessScreen();
    if (chdir(workDir().c_str()) != 0) {
        std::perror("chdir");
        std::abort();
    }
}

void writeInput(const std::string& path, const uint8_t* data, size_t size) {
    testing_support::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
}

std::pair<std::string, std::string> splitInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    static const std::string separator = "\n====\n";
    size_t at = text.find(separator);
    if (at == std::string::npos) return {text, std::string()};
    return {text.substr(0, at), text.substr(at + separator.size())};
}

} // namespace fuzz
