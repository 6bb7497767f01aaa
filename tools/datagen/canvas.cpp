#include "canvas.h"

#include "base/platform.h"
#include "sprite/bitmapFile.h"

#include <SDL.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace gen {

namespace {
const double kPi = 3.14159265358979323846;

// sin(x) for |x| <= pi/4 and cos likewise, by Taylor series.
double sinSmall(double x) {
    double x2 = x * x, term = x, sum = x;
    for (int n = 1; n < 10; ++n) {
        term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}
double cosSmall(double x) {
    double x2 = x * x, term = 1.0, sum = 1.0;
    for (int n = 1; n < 10; ++n) {
        term *= -x2 / ((2.0 * n - 1.0) * (2.0 * n));
        sum += term;
    }
    return sum;
}

void put16(std::vector<uint8_t>& v, unsigned x) {
    v.push_back(static_cast<uint8_t>(x & 0xff));
    v.push_back(static_cast<uint8_t>((x >> 8) & 0xff));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xffff);
    put16(v, x >> 16);
}

std::vector<uint8_t> bmpHeader(int w, int h, int bits, int paletteSize, size_t imageBytes) {
    std::vector<uint8_t> v;
    uint32_t offset = 14 + 40 + paletteSize * 4;
    v.push_back('B');
    v.push_back('M');
    put32(v, static_cast<uint32_t>(offset + imageBytes));
    put32(v, 0);
    put32(v, offset);
    put32(v, 40);
    put32(v, static_cast<uint32_t>(w));
    put32(v, static_cast<uint32_t>(h));
    put16(v, 1);
    put16(v, static_cast<unsigned>(bits));
    put32(v, 0); // no compression
    put32(v, static_cast<uint32_t>(imageBytes));
    put32(v, 2835);
    put32(v, 2835);
    put32(v, static_cast<uint32_t>(paletteSize));
    put32(v, 0);
    return v;
}
} // namespace

double sinDeg(double deg) {
    // reduce to [0, 360)
    double turns = std::floor(deg / 360.0);
    double d = deg - turns * 360.0;
    int octant = static_cast<int>(std::floor(d / 45.0));
    double rest = d - octant * 45.0; // 0..45
    double r = rest * kPi / 180.0;
    double q = (45.0 - rest) * kPi / 180.0;
    switch (octant & 7) {
    case 0:
        return sinSmall(r);
    case 1:
        return cosSmall(q);
    case 2:
        return cosSmall(r);
    case 3:
        return sinSmall(q);
    case 4:
        return -sinSmall(r);
    case 5:
        return -cosSmall(q);
    case 6:
        return -cosSmall(r);
    default:
        return -sinSmall(q);
    }
}
double cosDeg(double deg) {
    return sinDeg(deg + 90.0);
}
double clampd(double v, double lo, double hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
int clampi(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
V2 lerp(V2 a, V2 b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}
V2 rotate(V2 v, double deg) {
    double c = cosDeg(deg), s = sinDeg(deg);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

double Rng::unit() {
    return (next() >> 8) / 16777216.0;
}
double Rng::signedUnit() {
    return unit() * 2.0 - 1.0;
}

double noise1(double x, uint32_t seed) {
    auto hash = [seed](long i) {
        uint32_t h = static_cast<uint32_t>(i) * 374761393u + seed * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        h ^= h >> 16;
        return (h & 0xffffff) / 16777216.0;
    };
    double f = std::floor(x);
    long i = static_cast<long>(f);
    double t = x - f;
    t = t * t * (3.0 - 2.0 * t);
    return hash(i) + (hash(i + 1) - hash(i)) * t;
}

bool operator==(RGB a, RGB b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

Indexed::Indexed(int width, int height)
    : w(width), h(height), px(static_cast<size_t>(width) * height, 0), palette(256) {}

Rgb24::Rgb24(int width, int height)
    : w(width), h(height), px(static_cast<size_t>(width) * height) {}

void Rgb24::fillRect(int x, int y, int rw, int rh, RGB c) {
    for (int j = y; j < y + rh; ++j)
        for (int i = x; i < x + rw; ++i)
            if (i >= 0 && j >= 0 && i < w && j < h) at(i, j) = c;
}
void Rgb24::frameRect(int x1, int y1, int x2, int y2, RGB c) {
    fillRect(x1, y1, x2 - x1 + 1, 1, c);
    fillRect(x1, y2, x2 - x1 + 1, 1, c);
    fillRect(x1, y1, 1, y2 - y1 + 1, c);
    fillRect(x2, y1, 1, y2 - y1 + 1, c);
}

std::vector<uint8_t> bmp8(const Indexed& img) {
    int stride = (img.w + 3) / 4 * 4;
    std::vector<uint8_t> v = bmpHeader(img.w, img.h, 8, 256, static_cast<size_t>(stride) * img.h);
    for (int i = 0; i < 256; ++i) {
        const RGB& c = img.palette[i];
        v.push_back(c.b);
        v.push_back(c.g);
        v.push_back(c.r);
        v.push_back(0);
    }
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < img.w; ++x)
            v.push_back(img.get(x, y));
        for (int x = img.w; x < stride; ++x)
            v.push_back(0);
    }
    return v;
}

std::vector<uint8_t> bmp24(const Rgb24& img) {
    int stride = (img.w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> v = bmpHeader(img.w, img.h, 24, 0, static_cast<size_t>(stride) * img.h);
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < img.w; ++x) {
            RGB c = img.get(x, y);
            v.push_back(c.b);
            v.push_back(c.g);
            v.push_back(c.r);
        }
        for (int x = img.w * 3; x < stride; ++x)
            v.push_back(0);
    }
    return v;
}

bool readBmp(const std::string& path, Rgb24& out) {
    std::vector<unsigned char> bytes;
    if (platform::readWholeFile(path, bytes) != platform::ReadResult::Ok) return false;
    SDL_Surface* image = bitmapFile::decode(bytes);
    if (!image) return false;
    // Whatever depth the file has, its pixels are read as 32-bit RGB.
    SDL_PixelFormat rgb{};
    rgb.BitsPerPixel = 32;
    rgb.BytesPerPixel = 4;
    rgb.Rmask = 0xFF0000;
    rgb.Gmask = 0x00FF00;
    rgb.Bmask = 0x0000FF;
    rgb.Rshift = 16;
    rgb.Gshift = 8;
    rgb.alpha = 255;
    SDL_Surface* wide = SDL_ConvertSurface(image, &rgb, SDL_SWSURFACE);
    SDL_FreeSurface(image);
    if (!wide) return false;
    out = Rgb24(wide->w, wide->h);
    SDL_LockSurface(wide);
    for (int y = 0; y < wide->h; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(wide->pixels) + y * wide->pitch);
        for (int x = 0; x < wide->w; ++x)
            out.at(x, y) = {static_cast<uint8_t>(row[x] >> 16), static_cast<uint8_t>(row[x] >> 8),
                            static_cast<uint8_t>(row[x])};
    }
    SDL_UnlockSurface(wide);
    SDL_FreeSurface(wide);
    return true;
}

std::vector<uint8_t> wav16(const std::vector<double>& samples, int rate) {
    std::vector<uint8_t> v;
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    v.insert(v.end(), {'R', 'I', 'F', 'F'});
    put32(v, 36 + dataBytes);
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(v, 16);
    put16(v, 1); // PCM
    put16(v, 1); // mono
    put32(v, static_cast<uint32_t>(rate));
    put32(v, static_cast<uint32_t>(rate * 2));
    put16(v, 2);
    put16(v, 16);
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    put32(v, dataBytes);
    for (double s : samples) {
        double c = clampd(s, -1.0, 1.0) * 32767.0;
        long q = static_cast<long>(c < 0 ? c - 0.5 : c + 0.5);
        put16(v, static_cast<unsigned>(static_cast<uint16_t>(static_cast<int16_t>(q))));
    }
    return v;
}

void Writer::bytes(const std::string& rel, const std::vector<uint8_t>& data) {
    std::filesystem::path p = std::filesystem::path(root) / rel;
    std::error_code ec;
    std::filesystem::create_directories(p.parent_path(), ec);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) good = false;
    ++count;
}

void Writer::text(const std::string& rel, const std::string& data) {
    bytes(rel, std::vector<uint8_t>(data.begin(), data.end()));
}

} // namespace gen
