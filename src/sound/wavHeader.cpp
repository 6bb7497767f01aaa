#include "sound/wavHeader.h"

#include <cstdint>

namespace {

uint32_t le16(const std::vector<unsigned char>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

bool tagAt(const std::vector<unsigned char>& b, size_t at, const char* tag) {
    return at + 4 <= b.size() && b[at] == tag[0] && b[at + 1] == tag[1] && b[at + 2] == tag[2] &&
           b[at + 3] == tag[3];
}

bool refuse(std::string* why, const std::string& reason) {
    if (why) *why = reason;
    return false;
}

const uint32_t pcm = 1, msAdpcm = 2, imaAdpcm = 0x11;

// What the "fmt " chunk says, as far as the decoder uses it.
struct format {
    uint32_t tag = 0, channels = 0, rate = 0, blockAlign = 0, bits = 0, samplesPerBlock = 0;
};

bool formatIsSound(const std::vector<unsigned char>& b, size_t at, uint32_t size, format& f,
                   std::string* why) {
    if (size < 16) return refuse(why, "\"fmt \" chunk cut short");
    f.tag = le16(b, at);
    f.channels = le16(b, at + 2);
    f.rate = le32(b, at + 4);
    f.blockAlign = le16(b, at + 12);
    f.bits = le16(b, at + 14);
    if (f.channels < 1 || f.channels > 2)
        return refuse(why, std::to_string(f.channels) +
                               " channels; only mono and stereo sounds can be loaded");
    if (f.rate < wavHeader::lowestRate || f.rate > wavHeader::highestRate)
        return refuse(why, "sample rate " + std::to_string(f.rate) +
                               " Hz; it must be from 4000 to 192000 Hz");
    if (f.tag == pcm) {
        if (f.bits != 8 && f.bits != 16)
            return refuse(why, std::to_string(f.bits) +
                                   "-bit PCM; only 8- and 16-bit PCM can be loaded");
        if (f.blockAlign != f.channels * f.bits / 8)
            return refuse(why, "block size " + std::to_string(f.blockAlign) + " does not match " +
                                   std::to_string(f.channels) + " x " + std::to_string(f.bits) +
                                   "-bit samples");
        return true;
    }
    if (f.tag != msAdpcm && f.tag != imaAdpcm)
        return refuse(why, "sample format " + std::to_string(f.tag) +
                               " cannot be loaded; use 16-bit PCM");
    if (f.bits != 4) return refuse(why, "ADPCM with " + std::to_string(f.bits) + " bits a sample");
    if (size < (f.tag == msAdpcm ? 50u : 20u)) return refuse(why, "\"fmt \" chunk cut short");
    // The extension the header announces must lie inside the chunk.
    if (18 + le16(b, at + 16) > size)
        return refuse(why, "ADPCM format extension runs past the \"fmt \" chunk");
    f.samplesPerBlock = le16(b, at + 18);
    // Bytes a block must hold: a header per channel, then the samples.
    uint32_t needed = 0;
    if (f.tag == msAdpcm) {
        // The decoders know the seven standard predictor pairs only.
        static const int standard[14] = {256, 0,   512, -256, 0,    0,   192,
                                         64,  240, 0,   460,  -208, 392, -232};
        bool same = le16(b, at + 20) == 7;
        for (int i = 0; same && i < 14; ++i)
            same = static_cast<int16_t>(le16(b, at + 22 + 2 * i)) == standard[i];
        if (!same) return refuse(why, "ADPCM coefficient table is not the standard one");
        if (f.samplesPerBlock < 2 || (f.samplesPerBlock - 2) * f.channels % 2 != 0)
            return refuse(why, "ADPCM samples per block do not fill whole bytes");
        needed = 7 * f.channels + (f.samplesPerBlock - 2) * f.channels / 2;
    } else {
        if (f.samplesPerBlock < 1 || (f.samplesPerBlock - 1) % 8 != 0)
            return refuse(why, "ADPCM samples per block are not 1 plus a multiple of 8");
        needed = 4 * f.channels + (f.samplesPerBlock - 1) / 2 * f.channels;
    }
    if (f.blockAlign == 0 || needed > f.blockAlign)
        return refuse(why, "ADPCM block size " + std::to_string(f.blockAlign) + " cannot hold " +
                               std::to_string(f.samplesPerBlock) + " samples a channel");
    return true;
}

// Every block header names a predictor (Microsoft) or a step index (IMA)
// that the decoder looks up in a table without checking.  A last block cut
// short is decoded by some versions of SDL too, so its header counts.
bool blocksAreSound(const std::vector<unsigned char>& b, size_t at, uint32_t size, const format& f,
                    std::string* why) {
    if (f.tag == pcm) return true;
    for (uint32_t block = 0; block < size; block += f.blockAlign) {
        for (uint32_t c = 0; c < f.channels; ++c) {
            const uint32_t predictor = block + c, step = block + 4 * c + 2;
            if (f.tag == msAdpcm && predictor < size && b[at + predictor] > 6)
                return refuse(why, "ADPCM block at byte " + std::to_string(block) +
                                       " names predictor " + std::to_string(b[at + predictor]) +
                                       " of 7");
            if (f.tag == imaAdpcm && step < size && b[at + step] > 88)
                return refuse(why, "ADPCM block at byte " + std::to_string(block) +
                                       " starts at step " + std::to_string(b[at + step]) +
                                       " of 89");
        }
    }
    return true;
}

} // namespace

bool wavHeader::isSound(const std::vector<unsigned char>& b, std::string* why) {
    if (b.size() < 12 || !tagAt(b, 0, "RIFF") || !tagAt(b, 8, "WAVE"))
        return refuse(why, "not a WAV file (no RIFF/WAVE header)");
    format f;
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const uint32_t size = le32(b, at + 4);
        const size_t body = at + 8;
        const bool isData = tagAt(b, at, "data");
        if (size > b.size() - body)
            return refuse(why, std::string("\"") + char(b[at]) + char(b[at + 1]) + char(b[at + 2]) +
                                   char(b[at + 3]) + "\" chunk runs past the end of the file");
        if (tagAt(b, at, "fmt ")) {
            // Decoders disagree on which of two formats counts.
            if (haveFormat) return refuse(why, "more than one \"fmt \" chunk");
            if (!formatIsSound(b, body, size, f, why)) return false;
            haveFormat = true;
        } else if (isData) {
            if (!haveFormat) return refuse(why, "\"data\" chunk before the \"fmt \" chunk");
            if (size > maxDataBytes)
                return refuse(why, std::to_string(size) +
                                       " bytes of sound data; at most 4194304 can be loaded");
            if (size == 0) return refuse(why, "the \"data\" chunk holds no sound");
            return blocksAreSound(b, body, size, f, why);
        }
        if (size & 1)
            return refuse(why, std::string("\"") + char(b[at]) + char(b[at + 1]) + char(b[at + 2]) +
                                   char(b[at + 3]) + "\" chunk of odd size " +
                                   std::to_string(size) +
                                   " before the sound data; write it padded to an even size");
        at = body + size;
    }
    if (!haveFormat) return refuse(why, "no \"fmt \" chunk");
    return refuse(why, "no \"data\" chunk");
}

std::string wavHeader::tooLarge(unsigned long long fileBytes) {
    return "file of " + std::to_string(fileBytes) + " bytes; a sound file may hold at most " +
           std::to_string(maxFileBytes);
}
