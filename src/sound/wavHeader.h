// The check a sound file passes before SDL_mixer sees its bytes.  SDL's WAV
// decoder trusts the format chunk: a zero block size divides by zero, a
// predictor or step index out of its table reads past it, a sample rate of a
// few hertz makes the conversion to the device's rate reserve gigabytes.  A
// file is taken only when everything the decoder will rely on is consistent.
#pragma once

#include <string>
#include <vector>

class wavHeader {
  public:
    // The limits a sound must keep (sound effects are short).
    static constexpr unsigned long maxDataBytes = 4ul * 1024 * 1024;
    // A whole file: the sound data and as much again for the other chunks.
    // A larger file is refused from its size, before it is read.
    static constexpr unsigned long long maxFileBytes = 2ull * maxDataBytes;
    static constexpr unsigned long lowestRate = 4000;
    static constexpr unsigned long highestRate = 192000;

    // True when the bytes are a RIFF/WAVE file SDL can decode safely: one
    // "fmt " chunk before the "data" chunk, every chunk inside the file,
    // PCM of 8 or 16 bits or Microsoft/IMA ADPCM, one or two channels, a
    // rate from 4,000 to 192,000 Hz, a block size that matches the format,
    // ADPCM blocks whose headers stay inside the decoder's tables, and at
    // most 4 MB of sound data, but some.  Every chunk before the sound data
    // has an even size: the SDL builds disagree on the pad byte after an odd
    // one.  Otherwise false, with the reason in why.
    static bool isSound(const std::vector<unsigned char>& bytes, std::string* why = nullptr);
    // Why a file of that many bytes (more than maxFileBytes) is refused.
    static std::string tooLarge(unsigned long long fileBytes);
};
