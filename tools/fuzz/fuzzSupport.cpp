#include "fuzzSupport.h"

#include "base/seams.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path file(path);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void writeBmp(const std::string& path, int w, int h) {
    const int rowBytes = (w * 3 + 3) & ~3;
    const int pixelBytes = rowBytes * h;
    std::string bmp(54 + pixelBytes, '\0');
    auto put16 = [&bmp](size_t at, int v) {
        bmp[at] = static_cast<char>(v & 0xFF);
        bmp[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](size_t at, int v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, (v >> 16) & 0xFFFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<int>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    put16(26, 1);
    put16(28, 24);
    put32(34, pixelBytes);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t at = 54 + static_cast<size_t>(y) * rowBytes + x * 3;
            bmp[at] = static_cast<char>(0x20);
            bmp[at + 1] = static_cast<char>(x == y ? 0xFF : 0x80);
            bmp[at + 2] = static_cast<char>(0xFF);
        }
    writeFile(path, bmp);
}

std::string oneFrameIndex() {
    return "FILES: 1\n"
           "a.bmp 10 255 0 255\n"
           "2 4\n"
           "0 0 3 3\n"
           "1 1 2 2\n"
           "5\n"
           "0\n"
           "1\n"
           "0 0\n"
           "0 0\n"
           "NULL\n"
           "0\n"
           "0 0\n"
           "0\n"
           "a\n";
}

void writeFrameFolder(const std::string& folder) {
    writeFile(folder + "/info", oneFrameIndex());
    writeBmp(folder + "/a.bmp", 4, 4);
}

std::pair<std::string, std::string> splitInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    static const std::string separator = "\n====\n";
    size_t at = text.find(separator);
    if (at == std::string::npos) return {text, std::string()};
    return {text.substr(0, at), text.substr(at + separator.size())};
}

} // namespace fuzz
