// Frame bitmaps: the header check every bitmap passes before SDL decodes it,
// and the decoding from the file's bytes.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

class bitmapFile {
  public:
    // The largest image a bitmap may hold: decoded, converted and mirrored,
    // a frame takes about eight times its pixel count in bytes.
    static constexpr long long maxSide = 4096;
    static constexpr long long maxPixels = 2048 * 2048;
    // A whole file: the largest image at 32 bits a pixel is 16 MB; twice
    // that leaves room for padding, a gap before the pixels and trailing
    // bytes.  A larger file is refused from its size, before it is read.
    static constexpr unsigned long long maxFileBytes = 32ull * 1024 * 1024;
    // Why a file of that many bytes (more than maxFileBytes) is refused.
    static std::string tooLarge(unsigned long long fileBytes);
    // The image's size as the header gives it, once headerIsSound passed.
    static void imageSize(const std::vector<unsigned char>& bytes, int& width, int& height);

    // True when the bytes start like a bitmap the game can decode: "BM", a
    // known info header, 1..4096 pixels each way and at most 2048 x 2048
    // pixels in all, 1, 4, 8, 16, 24 or 32 bits
    // per pixel, no compression (bit fields only at 16 and 32 bits), and a
    // palette and pixel rows that lie inside the bytes.  This keeps a short
    // or damaged file from making the decoder reserve memory for an image
    // the file cannot hold.  Otherwise false, with the reason in why.
    static bool headerIsSound(const std::vector<unsigned char>& bytes, std::string* why = nullptr);
    // Decode bitmap file bytes (as SDL_LoadBMP would) once their header has
    // passed headerIsSound; nullptr, with SDL's error text set, when the
    // header is refused or the bitmap cannot be decoded.
    static SDL_Surface* decode(const std::vector<unsigned char>& bytes);
};
