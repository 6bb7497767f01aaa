#include "bitmapChecker.h"

#include "base/platform.h"
#include "sprite/bitmapFile.h"

#include <SDL.h>

#include <cstdint>
#include <cstdlib>

namespace {

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

uint16_t le16(const std::vector<unsigned char>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

Uint32 rawPixel(const SDL_Surface* s, int x, int y) {
    const Uint8* p =
        static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    switch (s->format->BytesPerPixel) {
    case 1:
        return *p;
    case 2:
        return Uint32(p[0]) | Uint32(p[1]) << 8;
    case 3:
        return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
    default:
        return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16 | Uint32(p[3]) << 24;
    }
}

std::string readProblem(platform::ReadResult result) {
    switch (result) {
    case platform::ReadResult::CannotOpen:
        return "cannot open the file";
    case platform::ReadResult::CannotStat:
        return "not a regular file";
    case platform::ReadResult::OutOfMemory:
        return "too large to read into memory";
    case platform::ReadResult::ReadError:
        return "cannot read the file";
    case platform::ReadResult::Ok:
        break;
    }
    return "";
}

} // namespace

std::string bitmapChecker::headerProblem(const std::vector<unsigned char>& bytes) {
    if (bytes.size() < 26)
        return "too short to be a BMP file (" + std::to_string(bytes.size()) + " bytes)";
    if (bytes[0] != 'B' || bytes[1] != 'M') return "not a BMP file (no \"BM\" signature)";
    uint32_t dataOffset = le32(bytes, 10);
    uint32_t headerSize = le32(bytes, 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 64 && headerSize != 108 && headerSize != 124)
        return "unknown BMP header size " + std::to_string(headerSize);
    if (14 + size_t(headerSize) > bytes.size()) return "BMP header cut short";
    long width, height;
    int depth;
    uint32_t compression = 0;
    if (headerSize == 12) {
        width = le16(bytes, 18);
        height = int16_t(le16(bytes, 20));
        depth = le16(bytes, 24);
    } else {
        width = int32_t(le32(bytes, 18));
        height = int32_t(le32(bytes, 22));
        depth = le16(bytes, 28);
        compression = le32(bytes, 30);
    }
    if (width <= 0 || height == 0)
        return "invalid size " + std::to_string(width) + "x" + std::to_string(height);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return "unsupported colour depth " + std::to_string(depth);
    if (dataOffset >= bytes.size()) return "pixel data offset lies beyond the end of the file";
    // Compressed pixel data has no fixed size: SDL's decoder has the last word.
    if (compression != 0 && compression != 3) return "";
    unsigned long long rowBytes = ((unsigned long long)width * depth + 31) / 32 * 4;
    unsigned long long need = rowBytes * (unsigned long long)std::labs(height);
    if (dataOffset + need > bytes.size())
        return "pixel data cut short (" + std::to_string(need) + " bytes expected, " +
               std::to_string(bytes.size() - dataOffset) + " present)";
    return "";
}

bool bitmapChecker::check(const std::string& path, int red, int green, int blue, bitmapInfo& info,
                          std::string& problem) const {
    std::vector<unsigned char> bytes;
    platform::ReadResult read = platform::readWholeFile(path, bytes);
    if (read != platform::ReadResult::Ok) {
        problem = readProblem(read);
        return false;
    }
    problem = headerProblem(bytes);
    if (!problem.empty()) return false;
    // Then the game's own check, size limit included.
    if (!bitmapFile::headerIsSound(bytes, &problem)) return false;

    SDL_Surface* image = SDL_LoadBMP_RW(SDL_RWFromMem(bytes.data(), int(bytes.size())), 1);
    if (!image) {
        problem = std::string("cannot be decoded: ") + SDL_GetError();
        return false;
    }
    info.width = image->w;
    info.height = image->h;
    info.keyed = red >= 0;
    info.opaquePixels = long(image->w) * image->h;
    if (info.keyed) {
        // The key as the game sets it: the nearest colour in the bitmap's
        // own format, compared with every pixel's colour bits.
        Uint32 colourBits = image->format->BytesPerPixel == 1 ? 0xFF : ~image->format->Amask;
        Uint32 key = SDL_MapRGB(image->format, Uint8(red), Uint8(green), Uint8(blue)) & colourBits;
        SDL_LockSurface(image);
        info.opaquePixels = 0;
        for (int y = 0; y < image->h; ++y)
            for (int x = 0; x < image->w; ++x)
                if ((rawPixel(image, x, y) & colourBits) != key) ++info.opaquePixels;
        SDL_UnlockSurface(image);
    }
    SDL_FreeSurface(image);
    return true;
}
