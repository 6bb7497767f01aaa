// The game's icon for desktop menus: Tavro gathering the fireball's glow at
// his hip (the fireball move's second frame, as the game draws it), cut to the
// figure, centred in a square and scaled to each size desktops ask for.  The
// colour key becomes see-through.  Written as PNG, the format icon themes
// read, with stored (uncompressed) deflate blocks: small enough at these
// sizes, and the same bytes on every machine.
#include "datagen.h"

#include <algorithm>
#include <cstdio>

namespace gen {

namespace {

constexpr RGB colourKey{255, 0, 255};
// The sizes of the hicolor icon theme that menus, docks and software
// centres ask for.
constexpr int iconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The frame the icon is cut from, inside the data folder.
const char* const iconFrame = "Tavro/fireball/f01.bmp";

struct Rgba {
    int size = 0;
    std::vector<uint8_t> px; // size * size * 4: red, green, blue, alpha
};

uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < length; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBig32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& body) {
    putBig32(png, static_cast<uint32_t>(body.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    png.insert(png.end(), typed.begin(), typed.end());
    putBig32(png, crc32(typed.data(), typed.size()));
}

// A zlib stream of stored deflate blocks.
std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out{0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = std::min<size_t>(raw.size() - at, 65535);
        bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(out, (b << 16) | a);
    return out;
}

std::vector<uint8_t> png(const Rgba& image) {
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBig32(header, image.size);
    putBig32(header, image.size);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, no interlace
    chunk(out, "IHDR", header);
    std::vector<uint8_t> rows;
    const size_t stride = static_cast<size_t>(image.size) * 4;
    for (int y = 0; y < image.size; ++y) {
        rows.push_back(0); // no filter
        rows.insert(rows.end(), image.px.begin() + y * stride, image.px.begin() + (y + 1) * stride);
    }
    chunk(out, "IDAT", zlibStored(rows));
    chunk(out, "IEND", {});
    return out;
}

// The figure's bounding square in the frame: every pixel that is not the
// colour key, with a margin of a twentieth on each side; x2 < x1 when the
// frame is all key.
Box figureSquare(const Rgb24& frame) {
    Box b{frame.w, frame.h, -1, -1};
    for (int y = 0; y < frame.h; ++y)
        for (int x = 0; x < frame.w; ++x)
            if (!(frame.get(x, y) == colourKey)) {
                b.x1 = std::min(b.x1, x);
                b.y1 = std::min(b.y1, y);
                b.x2 = std::max(b.x2, x);
                b.y2 = std::max(b.y2, y);
            }
    if (b.x2 < 0) return Box{0, 0, -1, -1};
    int side = std::max(b.x2 - b.x1, b.y2 - b.y1) + 1;
    side += side / 10;
    Box square;
    square.x1 = (b.x1 + b.x2 + 1 - side) / 2;
    square.y1 = (b.y1 + b.y2 + 1 - side) / 2;
    square.x2 = square.x1 + side - 1;
    square.y2 = square.y1 + side - 1;
    return square;
}

// The square scaled to size x size: each icon pixel averages 8 x 8 samples of
// the frame, the key (and anything outside the frame) counting as clear.
Rgba scaled(const Rgb24& frame, const Box& square, int size) {
    constexpr int samples = 8;
    Rgba icon;
    icon.size = size;
    icon.px.assign(static_cast<size_t>(size) * size * 4, 0);
    const double step = double(square.x2 - square.x1 + 1) / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int r = 0, g = 0, b = 0, seen = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    int fx = square.x1 + int((x + (sx + 0.5) / samples) * step);
                    int fy = square.y1 + int((y + (sy + 0.5) / samples) * step);
                    if (fx < 0 || fy < 0 || fx >= frame.w || fy >= frame.h) continue;
                    RGB c = frame.get(fx, fy);
                    if (c == colourKey) continue;
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++seen;
                }
            if (seen == 0) continue;
            uint8_t* p = &icon.px[(static_cast<size_t>(y) * size + x) * 4];
            p[0] = static_cast<uint8_t>(r / seen);
            p[1] = static_cast<uint8_t>(g / seen);
            p[2] = static_cast<uint8_t>(b / seen);
            p[3] = static_cast<uint8_t>(seen * 255 / (samples * samples));
        }
    return icon;
}

} // namespace

int writeIcons(const std::string& dataDir, const std::string& outDir) {
    Rgb24 frame(0, 0);
    const std::string source = dataDir + "/" + iconFrame;
    if (!readBmp(source, frame)) {
        std::fprintf(stderr, "datagen: cannot read %s\n", source.c_str());
        return 1;
    }
    const Box square = figureSquare(frame);
    if (square.x2 < square.x1) {
        std::fprintf(stderr, "datagen: %s shows no figure\n", source.c_str());
        return 1;
    }
    Writer out(outDir);
    for (int size : iconSizes) {
        char name[64];
        std::snprintf(name, sizeof name, "%dx%d/apps/tavro-fighter.png", size, size);
        out.bytes(name, png(scaled(frame, square, size)));
    }
    if (!out.ok()) {
        std::fprintf(stderr, "datagen: could not write the icons under %s\n", outDir.c_str());
        return 1;
    }
    std::printf("datagen: wrote %d icons under %s\n", out.filesWritten(), outDir.c_str());
    return 0;
}

} // namespace gen
