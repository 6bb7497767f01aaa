// Bitmaps: the fuzzed bytes go the two ways the game decodes a bitmap: from
// memory as the resource loader does (then converted, keyed and mirrored
// like a frame), and as a.bmp of a one-frame folder read by the plain loader.
#include "fuzzSupport.h"
#include "sprite/CSpriteBase.h"
#include "sprite/flipper.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {
std::string g_folder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_folder = fuzz::startIn("frames");
    testing_support::writeFile(g_folder + "/info", testing_support::oneFrameIndex());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The resource loader's way: bytes in memory, checked, decoded, then
    // converted, keyed and mirrored like every frame.
    const std::vector<unsigned char> bytes(data, data + size);
    if (SDL_Surface* decoded = CSpriteBase::decodeBitmap(bytes)) {
        SDL_Surface* converted = SDL_DisplayFormat(decoded);
        SDL_FreeSurface(decoded);
        if (converted) {
            SDL_SetColorKey(converted, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                            SDL_MapRGB(converted->format, 255, 0, 255));
            SDL_Surface* flipped = flipper::flip_surface(converted);
            if (flipped) SDL_FreeSurface(flipped);
            SDL_FreeSurface(converted);
        }
    }
    // The plain loader's way: the bytes as the bitmap of a one-frame folder.
    testing_support::writeFile(g_folder + "/a.bmp", std::string(bytes.begin(), bytes.end()));
    CSpriteBase set;
    set.init(g_folder.c_str());
    return 0;
}
