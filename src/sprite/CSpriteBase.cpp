#include "sprite/CSpriteBase.h"

#include "base/fatal.h"
#include "base/media.h"
#include "base/platform.h"
#include "base/seams.h"
#include "sprite/bitmapFile.h"
#include "sprite/displayFormat.h"
#include "sprite/flipper.h"
#include "sprite/frameIndex.h"
#include "sprite/pixelStore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>
#include <utility>

bool CSpriteBase::alphaOp = false;

namespace {

// A colour component from the index: any int, reduced to 0..255.
Uint8 component(int value) {
    return static_cast<Uint8>(((value % 256) + 256) % 256);
}

// An x value measured from the other side of the frame.  Index values reach
// the ends of the int range, so the difference is taken wide and clamped.
int mirrorX(int width, int x) {
    const long long mirrored = static_cast<long long>(width) - x;
    if (mirrored > INT_MAX) return INT_MAX;
    if (mirrored < INT_MIN) return INT_MIN;
    return static_cast<int>(mirrored);
}

// The index entry being loaded ("folder/info:line: frame n, bitmap path"),
// empty between loads; named in the trace before a fatal stop.
std::string& entryWhere() {
    static std::string where;
    return where;
}

[[noreturn]] void cannotConvert(const std::string& where) {
    seams::trace() << where << ": cannot be converted\n";
    fatal::stop(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");
}

} // namespace

CSpriteBase::~CSpriteBase() {
    release();
}

CSpriteBase::CSpriteBase(CSpriteBase&& other) noexcept
    : frames(std::move(other.frames)), flipFrames(std::move(other.flipFrames)), built(other.built),
      numFrames(other.numFrames), width(other.width), height(other.height),
      pixelSlices_(std::move(other.pixelSlices_)) {
    other.frames.clear();
    other.flipFrames.clear();
    other.pixelSlices_.clear();
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
        pixelSlices_ = std::move(other.pixelSlices_);
        other.frames.clear();
        other.flipFrames.clear();
        other.pixelSlices_.clear();
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
    // The pixels go back only now that no surface shows them.
    for (void* slice : pixelSlices_)
        pixelStore::shared().give(slice);
    pixelSlices_.clear();
}

SDL_Surface* CSpriteBase::storeSurface(int w, int h) {
    if (!media::pixelsLiveInMemory() || w < 1 || h < 1) return nullptr;
    void* slice = pixelStore::shared().take(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    if (!slice) return nullptr;
    SDL_Surface* surface = displaySurfaceOver(slice, w, h);
    if (!surface) {
        pixelStore::shared().give(slice);
        return nullptr;
    }
    pixelSlices_.push_back(slice);
    return surface;
}

void CSpriteBase::dropStoreSurface(SDL_Surface* surface) {
    void* slice = surface->pixels;
    SDL_FreeSurface(surface);
    pixelSlices_.erase(std::find(pixelSlices_.begin(), pixelSlices_.end(), slice));
    pixelStore::shared().give(slice);
}

SDL_Surface* CSpriteBase::converted(SDL_Surface* decoded) {
    void* slice = nullptr;
    if (SDL_Surface* target = convertIntoStore(decoded, slice)) {
        pixelSlices_.push_back(slice);
        return target;
    }
    return toDisplayFormat(decoded);
}

int CSpriteBase::init(const char* folder) {
    return load(folder, false);
}

int CSpriteBase::initR(const char* folder) {
    return load(folder, true);
}

int CSpriteBase::load(const char* folder, bool resource) {
    struct forgetEntry {
        ~forgetEntry() { entryWhere().clear(); }
    } forget;
    const std::string folderName = folder ? folder : "";
    const std::string startDirectory = resource ? platform::currentDirectory() : std::string();

    frameIndex index;
    if (!index.open(folderName)) {
        seams::trace() << "ERROR opening file " << index.path() << "\n\n";
        return -1;
    }
    const int announced = index.announced();
    seams::trace() << "loading " << folderName << ": " << announced << " frames\n";

    // The announced count only bounds the loop: records are added as entries
    // are really read, so the tables always hold what the file has.
    release();
    built = 1;

    frameEntry entry;
    for (int number = 0; number < announced; ++number) {
        if (!index.next(entry)) break;
        spriteFrame& frame = entry.frame;
        entryWhere() = index.path() + ":" + std::to_string(entry.line) + ": frame " +
                       std::to_string(number) + ", bitmap " + folderName + "/" + entry.bitmap;
        if (!platform::nameStaysInside(entry.bitmap)) {
            // A bitmap outside the frame folder is never read: it counts as
            // missing.
            seams::trace() << entryWhere() << ": the name leaves the frame folder\n";
            if (!resource) return -1;
            errno = ENOENT;
            fatal::stopWithSystemError("Error opening resource file");
        }
        frame.image = loadImage(folderName, entry, number, resource, startDirectory);
        if (!frame.image) return -1;

        if (resource || width == 0) width = frame.image->w;
        if (resource || height == 0) height = frame.image->h;

        spriteFrame mirrored = mirrorOf(frame, width);
        // Worked out before anything draws the images: SDL's first keyed
        // blit may keep only its own run-length copy of a frame's pixels.
        frame.runs = opaqueRuns::of(frame.image);
        mirrored.runs = opaqueRuns::of(mirrored.image);
        frames.push_back(std::move(frame));
        flipFrames.push_back(std::move(mirrored));
        numFrames = static_cast<int>(frames.size());

        if (resource) platform::changeDirectory(startDirectory);
    }
    return 0;
}

SDL_Surface* CSpriteBase::loadImage(const std::string& folder, const frameEntry& entry, int number,
                                    bool resource, const std::string& startDirectory) {
    SDL_Surface* loaded = nullptr;
    if (resource) {
        // What loadFromResource does, with the conversion written straight
        // into the pixel store where it can be.
        const std::string where =
            entryWhere().empty() ? "bitmap " + folder + "/" + entry.bitmap : entryWhere();
        loaded = converted(decodeFromResource(folder, entry.bitmap, where));
        if (!loaded) cannotConvert(where);
        seams::trace() << "loaded frame " << number << " " << folder << "/" << entry.bitmap << "\n";
    } else {
        std::vector<unsigned char> bytes;
        if (platform::readWholeFile(frameIndex::bitmapPath(folder, entry.bitmap, false), bytes) !=
            platform::ReadResult::Ok)
            return nullptr;
        loaded = decodeBitmap(bytes);
        if (!loaded) return nullptr;
    }

    if (entry.keyRed >= 0)
        media::setTransparentColour(loaded, component(entry.keyRed), component(entry.keyGreen),
                                    component(entry.keyBlue));
    // A bitmap from the resource loader is in the display format already: it
    // keeps its surface, with the key just set, instead of being copied.
    SDL_Surface* image = toDisplayFormat(loaded);
    if (!image) {
        if (resource) {
            platform::changeDirectory(startDirectory);
            seams::trace() << entryWhere() << ": cannot be converted\n";
            fatal::stop(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");
        }
        return nullptr;
    }
    return image;
}

spriteFrame CSpriteBase::mirrorOf(const spriteFrame& frame, int width) {
    spriteFrame mirrored;
    // The mirror has the frame's layout, the display format: it is written
    // straight into the pixel store, or else kept as flip_surface makes it
    // instead of being copied once more.
    if (isDisplayFormat(frame.image)) {
        mirrored.image = storeSurface(frame.image->w, frame.image->h);
        if (mirrored.image && !mirrorInto(frame.image, mirrored.image)) {
            dropStoreSurface(mirrored.image);
            mirrored.image = nullptr;
        }
    }
    if (!mirrored.image) mirrored.image = toDisplayFormat(flip_surface(frame.image));
    mirrored.offsetX = mirrorX(width, frame.offsetX);
    mirrored.colX1 = mirrorX(width, frame.colX2);
    mirrored.colX2 = mirrorX(width, frame.colX1);
    mirrored.dmgX1 = mirrorX(width, frame.dmgX2);
    mirrored.dmgX2 = mirrorX(width, frame.dmgX1);
    mirrored.pointAX = mirrorX(width, frame.pointAX);
    mirrored.pointBX = mirrorX(width, frame.pointBX);
    return mirrored;
}

SDL_Surface* CSpriteBase::loadFromResource(const char* folder, const char* file) {
    const std::string folderName = folder ? folder : "";
    const std::string fileName = file ? file : "";
    // Every way out below is fatal; the last trace line says which frame of
    // which index named the bitmap, before the message itself.
    const std::string where =
        entryWhere().empty() ? "bitmap " + folderName + "/" + fileName : entryWhere();
    SDL_Surface* converted = toDisplayFormat(decodeFromResource(folderName, fileName, where));
    if (!converted) cannotConvert(where);
    return converted;
}

SDL_Surface* CSpriteBase::decodeFromResource(const std::string& folderName,
                                             const std::string& fileName,
                                             const std::string& where) {
    if (!platform::directoryExists(folderName)) {
        const int reason = errno;
        seams::trace() << where << ": the folder cannot be opened\n";
        errno = reason;
        fatal::stopWithSystemError("opendir failure");
    }
    platform::changeDirectory(folderName);

    std::vector<unsigned char> bytes;
    switch (platform::readWholeFile(fileName, bytes)) {
    case platform::ReadResult::Ok:
        break;
    case platform::ReadResult::CannotOpen:
    case platform::ReadResult::ReadError: {
        const int reason = errno;
        seams::trace() << where << ": cannot be read\n";
        errno = reason;
        fatal::stopWithSystemError("Error opening resource file");
    }
    case platform::ReadResult::CannotStat:
        seams::trace() << where << ": not a regular file\n";
        fatal::stop("getfilesize:  Couldn't get filesize of '" + fileName + "'.");
    case platform::ReadResult::OutOfMemory:
        seams::trace() << where << ": too large to read\n";
        fatal::stop("Unable to LOOOOOAAAAAAAD!");
    }

    SDL_Surface* decoded = nullptr;
    if (bytes.empty())
        SDL_SetError("empty file '%s'", fileName.c_str());
    else
        decoded = decodeBitmap(bytes);
    if (!decoded) {
        seams::trace() << where << ": cannot be decoded\n";
        fatal::stop(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");
    }
    return decoded;
}

bool CSpriteBase::bitmapHeaderIsSound(const std::vector<unsigned char>& bytes, std::string* why) {
    return bitmapFile::headerIsSound(bytes, why);
}

SDL_Surface* CSpriteBase::decodeBitmap(const std::vector<unsigned char>& bytes) {
    return bitmapFile::decode(bytes);
}

std::size_t CSpriteBase::runBytes() const {
    std::size_t bytes = 0;
    for (const std::vector<spriteFrame>* facing : {&frames, &flipFrames})
        for (const spriteFrame& frame : *facing)
            bytes += frame.runs.bytes();
    return bytes;
}

std::size_t CSpriteBase::pixelBytes() const {
    std::size_t bytes = 0;
    for (const std::vector<spriteFrame>* facing : {&frames, &flipFrames})
        for (const spriteFrame& frame : *facing)
            if (frame.image)
                bytes += static_cast<std::size_t>(frame.image->pitch) *
                         static_cast<std::size_t>(frame.image->h);
    return bytes;
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
