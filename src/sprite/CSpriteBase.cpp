#include "sprite/CSpriteBase.h"

#include "base/media.h"
#include "base/platform.h"
#include "base/seams.h"
#include "base/textFile.h"
#include "sprite/flipper.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <utility>

bool CSpriteBase::alphaOp = false;

namespace {

// A colour component from the index: any int, reduced to 0..255.
Uint8 component(int value) {
    return static_cast<Uint8>(((value % 256) + 256) % 256);
}

// Read as many of the listed fields as the text supplies, in order; the
// others keep what they held.
void readInts(const std::string& text, std::initializer_list<int*> fields, size_t start = 0) {
    int values[8];
    int count = 0;
    for (int* field : fields)
        values[count++] = *field;
    int got = scanInts(text, values, count, start);
    int i = 0;
    for (int* field : fields) {
        if (i >= got) break;
        *field = values[i++];
    }
}

void readFlag(const std::string& text, bool& flag) {
    int value = 0;
    if (scanInts(text, &value, 1) == 1) flag = value > 0;
}

void readWord(const std::string& text, std::string& word) {
    std::string read = firstWord(text);
    if (!read.empty()) word = read;
}

bool isSkippedBetweenEntries(const std::string& line) {
    return line.empty() || line[0] == '#' || line[0] == '\r' || line[0] == '\n';
}

// An x value measured from the other side of the frame.  Index values reach
// the ends of the int range, so the difference is taken wide and clamped.
int mirrorX(int width, int x) {
    const long long mirrored = static_cast<long long>(width) - x;
    if (mirrored > INT_MAX) return INT_MAX;
    if (mirrored < INT_MIN) return INT_MIN;
    return static_cast<int>(mirrored);
}

// Fill the mirrored copy of a frame: the x values measured from the other side.
void mirrorFields(const spriteFrame& frame, spriteFrame& mirrored, int width) {
    mirrored.offsetX = mirrorX(width, frame.offsetX);
    mirrored.colX1 = mirrorX(width, frame.colX2);
    mirrored.colX2 = mirrorX(width, frame.colX1);
    mirrored.dmgX1 = mirrorX(width, frame.dmgX2);
    mirrored.dmgX2 = mirrorX(width, frame.dmgX1);
    mirrored.pointAX = mirrorX(width, frame.pointAX);
    mirrored.pointBX = mirrorX(width, frame.pointBX);
}

[[noreturn]] void quitWith(const std::string& message) {
    seams::trace() << message;
    seams::trace().flush();
    std::exit(1);
}

} // namespace

CSpriteBase::~CSpriteBase() {
    release();
}

CSpriteBase::CSpriteBase(CSpriteBase&& other) noexcept
    : frames(std::move(other.frames)), flipFrames(std::move(other.flipFrames)), built(other.built),
      numFrames(other.numFrames), width(other.width), height(other.height) {
    other.frames.clear();
    other.flipFrames.clear();
    other.built = other.numFrames = other.width = other.height = 0;
}

CSpriteBase& CSpriteBase::operator=(CSpriteBase&& other) noexcept {
    if (this != &other) {
        release();
        frames = std::move(other.frames);
        flipFrames = std::move(other.flipFrames);
        built = other.built;
        numFrames = other.numFrames;
        width = other.width;
        height = other.height;
        other.frames.clear();
        other.flipFrames.clear();
        other.built = other.numFrames = other.width = other.height = 0;
    }
    return *this;
}

void CSpriteBase::release() {
    for (spriteFrame& frame : frames)
        if (frame.image) SDL_FreeSurface(frame.image);
    for (spriteFrame& frame : flipFrames)
        if (frame.image) SDL_FreeSurface(frame.image);
    frames.clear();
    flipFrames.clear();
    numFrames = 0;
}

int CSpriteBase::init(const char* folder) {
    return load(folder, false);
}

int CSpriteBase::initR(const char* folder) {
    return load(folder, true);
}

int CSpriteBase::load(const char* folder, bool resource) {
    const std::string folderName = folder ? folder : "";
    const std::string startDirectory = resource ? platform::currentDirectory() : std::string();

    const std::string indexPath = folderName + "/info";
    textFile index;
    if (!index.open(indexPath)) {
        seams::trace() << "ERROR opening file " << indexPath << "\n\n";
        return -1;
    }

    std::string line;
    index.readLine(line);
    int announced = 0;
    if (!scanHeader(line, "FILES:", announced)) announced = 0;
    seams::trace() << "loading " << folderName << ": " << announced << " frames\n";

    // The announced count only bounds the loop: records are added as entries
    // are really read, so the tables always hold what the file has.
    release();
    built = 1;

    // What the first line of an entry supplies but the record does not keep;
    // like the record's fields they keep their value when a line lacks them.
    std::string fileName;
    int keyRed = -1, keyGreen = 0, keyBlue = 0;

    for (int entry = 0; entry < announced; ++entry) {
        // Comments and blank lines are allowed between entries only.
        bool started = false;
        while (!index.atEnd() && index.readLine(line)) {
            if (isSkippedBetweenEntries(line)) continue;
            started = true;
            break;
        }
        if (!started) break;

        spriteFrame frame;
        std::string word = firstWord(line);
        if (!word.empty()) {
            fileName = word;
            readInts(line, {&frame.pause, &keyRed, &keyGreen, &keyBlue}, afterFirstWord(line));
        }
        index.readLine(line);
        readInts(line, {&frame.offsetX, &frame.offsetY});
        index.readLine(line);
        readInts(line, {&frame.colX1, &frame.colY1, &frame.colX2, &frame.colY2});
        index.readLine(line);
        readInts(line, {&frame.dmgX1, &frame.dmgY1, &frame.dmgX2, &frame.dmgY2});
        index.readLine(line);
        readInts(line, {&frame.damage});
        index.readLine(line);
        readFlag(line, frame.flagA);
        index.readLine(line);
        readInts(line, {&frame.hitType});
        index.readLine(line);
        readInts(line, {&frame.pointAX, &frame.pointAY});
        index.readLine(line);
        readInts(line, {&frame.pointBX, &frame.pointBY});
        index.readLine(line);
        readWord(line, frame.soundName);
        index.readLine(line);
        readInts(line, {&frame.partNum});
        for (int part = 0; part < frame.partNum; ++part) {
            if (!index.readLine(line)) break;
            frame.partNames.push_back(line);
        }
        frame.partNum = static_cast<int>(frame.partNames.size());
        index.readLine(line);
        readInts(line, {&frame.moveX, &frame.moveY});
        index.readLine(line);
        readFlag(line, frame.flagB);
        index.readLine(line);
        readWord(line, frame.tagName);

        SDL_Surface* loaded = nullptr;
        if (resource) {
            loaded = loadFromResource(folderName.c_str(), fileName.c_str());
            seams::trace() << "loaded frame " << entry << " " << folderName << "/" << fileName
                           << "\n";
        } else {
            std::vector<unsigned char> bytes;
            if (platform::readWholeFile(folderName + "/" + fileName, bytes) !=
                platform::ReadResult::Ok)
                return -1;
            loaded = decodeBitmap(bytes);
            if (!loaded) return -1;
        }

        frame.image = media::frameImage(loaded, keyRed >= 0, component(keyRed), component(keyGreen),
                                        component(keyBlue));
        if (!frame.image) {
            if (resource) {
                platform::changeDirectory(startDirectory);
                quitWith(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");
            }
            return -1;
        }

        if (resource || width == 0) width = frame.image->w;
        if (resource || height == 0) height = frame.image->h;

        spriteFrame mirrored;
        SDL_Surface* flipped = flip_surface(frame.image);
        if (flipped) mirrored.image = media::replaceWithDisplayFormat(flipped);
        mirrorFields(frame, mirrored, width);

        frames.push_back(std::move(frame));
        flipFrames.push_back(std::move(mirrored));
        numFrames = static_cast<int>(frames.size());

        if (resource) platform::changeDirectory(startDirectory);
    }
    return 0;
}

SDL_Surface* CSpriteBase::loadFromResource(const char* folder, const char* file) {
    const std::string folderName = folder ? folder : "";
    const std::string fileName = file ? file : "";
    if (!platform::directoryExists(folderName)) {
        seams::trace().flush();
        std::perror("opendir failure");
        std::exit(1);
    }
    platform::changeDirectory(folderName);

    std::vector<unsigned char> bytes;
    switch (platform::readWholeFile(fileName, bytes)) {
    case platform::ReadResult::Ok:
        break;
    case platform::ReadResult::CannotOpen:
    case platform::ReadResult::ReadError:
        seams::trace().flush();
        std::perror("Error opening resource file");
        std::exit(1);
    case platform::ReadResult::CannotStat:
        quitWith("getfilesize:  Couldn't get filesize of '" + fileName + "'.");
    case platform::ReadResult::OutOfMemory:
        quitWith("Unable to LOOOOOAAAAAAAD!");
    }

    SDL_Surface* decoded = nullptr;
    if (bytes.empty())
        SDL_SetError("empty file '%s'", fileName.c_str());
    else
        decoded = decodeBitmap(bytes);
    if (!decoded) quitWith(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");

    SDL_Surface* converted = media::replaceWithDisplayFormat(decoded);
    if (!converted) quitWith(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");
    return converted;
}

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

} // namespace

bool CSpriteBase::bitmapHeaderIsSound(const std::vector<unsigned char>& bytes, std::string* why) {
    const size_t fileHeader = 14;
    const long long largest = 16384;
    if (bytes.size() < fileHeader + 12) return refuse(why, "bitmap too short for its header");
    if (bytes[0] != 'B' || bytes[1] != 'M') return refuse(why, "not a bitmap (no BM signature)");
    const Uint32 pixelStart = le32(bytes, 10);
    const Uint32 infoSize = le32(bytes, 14);

    // The old 12-byte header (16-bit sizes, 3-byte palette entries) or the
    // Windows header of 40 bytes and its longer successors.
    const bool core = infoSize == 12;
    if (!core && (infoSize < 40 || infoSize > 124))
        return refuse(why, "unknown bitmap header size");
    if (fileHeader + infoSize > bytes.size())
        return refuse(why, "bitmap header runs past the file");

    long long width, height;
    Uint32 bits, compression = 0, colours = 0;
    if (core) {
        width = le16(bytes, 18);
        height = le16(bytes, 20);
        bits = le16(bytes, 24);
    } else {
        width = static_cast<Sint32>(le32(bytes, 18));
        height = static_cast<Sint32>(le32(bytes, 22));
        bits = le16(bytes, 28);
        compression = le32(bytes, 30);
        colours = le32(bytes, 46);
    }
    if (height < 0) height = -height; // stored top-down
    if (width < 1 || width > largest || height < 1 || height > largest)
        return refuse(why, "bitmap size out of range");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return refuse(why, "unsupported bits per pixel");
    const Uint32 plain = 0, bitFields = 3;
    if (compression != plain && !(compression == bitFields && (bits == 16 || bits == 32)))
        return refuse(why, "unsupported bitmap compression");

    // Colour masks follow a 40-byte header; the palette comes next.
    unsigned long long tables = fileHeader + infoSize;
    if (compression == bitFields && infoSize == 40) tables += 12;
    if (bits <= 8) {
        const Uint32 most = 1u << bits;
        if (colours > most) return refuse(why, "bitmap palette too large");
        tables += static_cast<unsigned long long>(colours ? colours : most) * (core ? 3 : 4);
    }
    if (tables > bytes.size()) return refuse(why, "bitmap palette runs past the file");

    // Every row but the last is padded to four bytes; the last may end at
    // its last pixel.
    if (pixelStart < fileHeader + infoSize || pixelStart > bytes.size())
        return refuse(why, "bitmap pixels start outside the file");
    const unsigned long long rowBytes =
        (static_cast<unsigned long long>(width) * bits + 31) / 32 * 4;
    const unsigned long long lastRow = (static_cast<unsigned long long>(width) * bits + 7) / 8;
    const unsigned long long pixelBytes =
        rowBytes * static_cast<unsigned long long>(height - 1) + lastRow;
    if (pixelBytes > bytes.size() - pixelStart)
        return refuse(why, "bitmap pixels run past the file");
    return true;
}

SDL_Surface* CSpriteBase::decodeBitmap(const std::vector<unsigned char>& bytes) {
    std::string why;
    if (!bitmapHeaderIsSound(bytes, &why)) {
        SDL_SetError("%s", why.c_str());
        return nullptr;
    }
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
        SDL_SetError("bitmap file too large");
        return nullptr;
    }
    return media::decodeBitmap(bytes.data(), static_cast<int>(bytes.size()));
}

void CSpriteBase::alphaAll(int alpha) {
    if (!alphaOp) return;
    seams::trace() << "Setting all your alphas\n";
    const Uint8 value = component(alpha);
    for (size_t i = 0; i < frames.size(); ++i) {
        seams::trace() << "alphaing " << i << "\n";
        if (frames[i].image) SDL_SetAlpha(frames[i].image, SDL_SRCALPHA, value);
        if (i < flipFrames.size() && flipFrames[i].image)
            SDL_SetAlpha(flipFrames[i].image, SDL_SRCALPHA, value);
    }
}
