#include "sprite/bitmapFile.h"

#include "base/media.h"

#include <cstdint>

namespace {

Uint32 le16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<Uint32>(b[at]) | static_cast<Uint32>(b[at + 1]) << 8;
}

Uint32 le32(const std::vector<unsigned char>& b, size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

bool refuse(std::string* why, const char* reason) {
    if (why) *why = reason;
    return false;
}

const size_t fileHeader = 14;
const Uint32 plain = 0, bitFields = 3; // the compressions the game decodes

// What the checks need of the info header: the old 12-byte header (16-bit
// sizes, 3-byte palette entries) or the Windows header of 40 bytes and its
// longer successors.
struct infoHeader {
    Uint32 pixelStart = 0, infoSize = 0;
    bool core = false;
    long long width = 0, height = 0; // height made positive
    Uint32 bits = 0, compression = 0, colours = 0;
};

// Read once the info header is known to lie inside the bytes.
infoHeader readInfo(const std::vector<unsigned char>& bytes) {
    infoHeader h;
    h.pixelStart = le32(bytes, 10);
    h.infoSize = le32(bytes, 14);
    h.core = h.infoSize == 12;
    if (h.core) {
        h.width = le16(bytes, 18);
        h.height = le16(bytes, 20);
        h.bits = le16(bytes, 24);
    } else {
        h.width = static_cast<Sint32>(le32(bytes, 18));
        h.height = static_cast<Sint32>(le32(bytes, 22));
        h.bits = le16(bytes, 28);
        h.compression = le32(bytes, 30);
        h.colours = le32(bytes, 46);
    }
    if (h.height < 0) h.height = -h.height; // stored top-down
    return h;
}

// The colour masks, the palette and the pixel rows lie inside the bytes.
bool tablesFit(const std::vector<unsigned char>& bytes, const infoHeader& h, std::string* why) {
    // Colour masks follow a 40-byte header; the palette comes next.
    unsigned long long tables = fileHeader + h.infoSize;
    if (h.compression == bitFields && h.infoSize == 40) tables += 12;
    if (h.bits <= 8) {
        const Uint32 most = 1u << h.bits;
        if (h.colours > most) return refuse(why, "bitmap palette too large");
        tables += static_cast<unsigned long long>(h.colours ? h.colours : most) * (h.core ? 3 : 4);
    }
    if (tables > bytes.size()) return refuse(why, "bitmap palette runs past the file");

    // Every row but the last is padded to four bytes; the last may end at
    // its last pixel.
    if (h.pixelStart < fileHeader + h.infoSize || h.pixelStart > bytes.size())
        return refuse(why, "bitmap pixels start outside the file");
    const unsigned long long rowBytes =
        (static_cast<unsigned long long>(h.width) * h.bits + 31) / 32 * 4;
    const unsigned long long lastRow = (static_cast<unsigned long long>(h.width) * h.bits + 7) / 8;
    const unsigned long long pixelBytes =
        rowBytes * static_cast<unsigned long long>(h.height - 1) + lastRow;
    if (pixelBytes > bytes.size() - h.pixelStart)
        return refuse(why, "bitmap pixels run past the file");
    return true;
}

} // namespace

bool bitmapFile::headerIsSound(const std::vector<unsigned char>& bytes, std::string* why) {
    const long long largest = maxSide;
    if (bytes.size() < fileHeader + 12) return refuse(why, "bitmap too short for its header");
    if (bytes[0] != 'B' || bytes[1] != 'M') return refuse(why, "not a bitmap (no BM signature)");
    const Uint32 infoSize = le32(bytes, 14);
    if (infoSize != 12 && (infoSize < 40 || infoSize > 124))
        return refuse(why, "unknown bitmap header size");
    if (fileHeader + infoSize > bytes.size())
        return refuse(why, "bitmap header runs past the file");

    const infoHeader h = readInfo(bytes);
    if (h.width < 1 || h.height < 1) return refuse(why, "bitmap size out of range");
    if (h.width > largest || h.height > largest || h.width * h.height > maxPixels) {
        if (why)
            *why = "bitmap of " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                   " pixels is larger than a frame may be (at most " + std::to_string(maxSide) +
                   " pixels each way and " + std::to_string(maxPixels) + " pixels in all)";
        return false;
    }
    const Uint32 bits = h.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return refuse(why, "unsupported bits per pixel");
    if (h.compression != plain && !(h.compression == bitFields && (bits == 16 || bits == 32)))
        return refuse(why, "unsupported bitmap compression");
    return tablesFit(bytes, h, why);
}

SDL_Surface* bitmapFile::decode(const std::vector<unsigned char>& bytes) {
    std::string why;
    if (!headerIsSound(bytes, &why)) {
        SDL_SetError("%s", why.c_str());
        return nullptr;
    }
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
        SDL_SetError("bitmap file too large");
        return nullptr;
    }
    return media::decodeBitmap(bytes.data(), static_cast<int>(bytes.size()));
}

std::string bitmapFile::tooLarge(unsigned long long fileBytes) {
    return "file of " + std::to_string(fileBytes) + " bytes; a bitmap may hold at most " +
           std::to_string(maxFileBytes);
}

void bitmapFile::imageSize(const std::vector<unsigned char>& bytes, int& width, int& height) {
    const bool core = le32(bytes, 14) == 12;
    const long long w = core ? le16(bytes, 18) : static_cast<Sint32>(le32(bytes, 18));
    const long long h = core ? le16(bytes, 20) : static_cast<Sint32>(le32(bytes, 22));
    width = static_cast<int>(w);
    height = static_cast<int>(h < 0 ? -h : h);
}
