#include "bitmapChecker.h"

#include "base/platform.h"
#include "sprite/bitmapFile.h"

#include <SDL.h>

namespace {

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
    case platform::ReadResult::TooLarge:
    case platform::ReadResult::Ok:
        break;
    }
    return "";
}

} // namespace

std::string bitmapChecker::headerProblem(const std::vector<unsigned char>& bytes) {
    std::string why;
    if (!bitmapFile::headerIsSound(bytes, &why)) return why;
    return "";
}

bool bitmapChecker::check(const std::string& path, int red, int green, int blue, bitmapInfo& info,
                          std::string& problem, bool headerChecked) const {
    std::vector<unsigned char> bytes;
    unsigned long long size = 0;
    platform::ReadResult read =
        platform::readWholeFile(path, bytes, bitmapFile::maxFileBytes, &size);
    if (read == platform::ReadResult::TooLarge) {
        problem = bitmapFile::tooLarge(size);
        return false;
    }
    if (read != platform::ReadResult::Ok) {
        problem = readProblem(read);
        return false;
    }
    // The game's own header check and decoder.
    if (headerChecked) problem = headerProblem(bytes);
    if (!problem.empty()) return false;
    SDL_Surface* image =
        headerChecked ? bitmapFile::decode(bytes)
                      : SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
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
