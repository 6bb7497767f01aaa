// Pixel canvases, deterministic maths and file writers shared by the data
// generator.  Everything here is plain double arithmetic and integer work so
// that the same source always produces the same bytes.
#pragma once

#include "base/seededRandom.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

// ---- maths --------------------------------------------------------------
// Our own sine and cosine (degrees): the generated art must not depend on the
// C library's rounding of transcendental functions.
double sinDeg(double deg);
double cosDeg(double deg);
double clampd(double v, double lo, double hi);
int clampi(int v, int lo, int hi);

struct V2 {
    double x = 0, y = 0;
};
inline V2 operator+(V2 a, V2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline V2 operator-(V2 a, V2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline V2 operator*(V2 a, double k) {
    return {a.x * k, a.y * k};
}
// Unit vector of a limb angle: 0 points straight down, 90 forward (+x), 180 up.
inline V2 dirDeg(double deg) {
    return {sinDeg(deg), cosDeg(deg)};
}
V2 lerp(V2 a, V2 b, double t);

// A rectangle by its corners (both inside it), in pixels.
struct Box {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
// Rotates a local offset clockwise on screen (y grows downward).
V2 rotate(V2 v, double deg);

// Small deterministic pseudo-random source (for noise and texture): the
// game's seeded generator, with fractions.
class Rng {
  public:
    explicit Rng(uint32_t seed) : source(seed) {}
    uint32_t next() { return source.next(); }
    double unit();       // 0 <= x < 1
    double signedUnit(); // -1 <= x < 1
  private:
    seededRandom source;
};
// Smooth value noise in one dimension, deterministic for a seed.
double noise1(double x, uint32_t seed);

// ---- canvases ------------------------------------------------------------
struct RGB {
    uint8_t r = 0, g = 0, b = 0;
};
bool operator==(RGB a, RGB b);

// An image of palette indices with its own 256-colour palette.
struct Indexed {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
    std::vector<RGB> palette; // 256 entries
    Indexed(int width, int height);
    uint8_t& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    uint8_t get(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

struct Rgb24 {
    int w = 0, h = 0;
    std::vector<RGB> px;
    Rgb24(int width, int height);
    RGB& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    RGB get(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    void fillRect(int x, int y, int rw, int rh, RGB c);
    void frameRect(int x1, int y1, int x2, int y2, RGB c); // inclusive corners
};

// ---- files -----------------------------------------------------------------
// Uncompressed Windows bitmaps, bottom-up rows padded to four bytes.
std::vector<uint8_t> bmp8(const Indexed& img);
std::vector<uint8_t> bmp24(const Rgb24& img);
// Reads a bitmap as the game decodes it, whatever its depth (the icons are
// cut from a frame); false when the game would not load it either.
bool readBmp(const std::string& path, Rgb24& out);
// 16-bit mono PCM WAV.
std::vector<uint8_t> wav16(const std::vector<double>& samples, int rate);

class Writer {
  public:
    explicit Writer(std::string root) : root(std::move(root)) {}
    void bytes(const std::string& rel, const std::vector<uint8_t>& data);
    void text(const std::string& rel, const std::string& data);
    int filesWritten() const { return count; }
    bool ok() const { return good; }

  private:
    std::string root;
    int count = 0;
    bool good = true;
};

} // namespace gen
