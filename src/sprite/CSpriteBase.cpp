#include "sprite/CSpriteBase.h"

#include "base/dataLimits.h"
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
#include <map>
#include <set>
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

// The budget frame sets load under now: the decoded bytes of every set
// alive that was loaded under it.
std::shared_ptr<long long>& budgetInForce() {
    static std::shared_ptr<long long> inUse = std::make_shared<long long>(0);
    return inUse;
}
long long& decodedInUse() {
    return *budgetInForce();
}

// What a bitmap whose header passed costs the budget.
long long budgetCost(const std::vector<unsigned char>& bytes) {
    int w = 0, h = 0;
    bitmapFile::imageSize(bytes, w, h);
    return CSpriteBase::frameCost(w, h);
}

std::string megabytes(long long bytes) {
    return std::to_string(bytes / (1024 * 1024)) + " MB";
}

} // namespace

long long CSpriteBase::decodedBytesInUse() {
    return decodedInUse();
}

CSpriteBase::separateBudget::separateBudget() : before_(budgetInForce()) {
    budgetInForce() = std::make_shared<long long>(0);
}

CSpriteBase::separateBudget::~separateBudget() {
    budgetInForce() = before_;
}

std::string CSpriteBase::overBudget(long long inUse, long long cost) {
    return "the frames would take more than their memory budget of " + megabytes(decodedBudget) +
           " (" + std::to_string(inUse) + " bytes in use, this frame " + std::to_string(cost) + ")";
}

CSpriteBase::~CSpriteBase() {
    release();
}

CSpriteBase::CSpriteBase(CSpriteBase&& other) noexcept
    : frames(std::move(other.frames)), flipFrames(std::move(other.flipFrames)), built(other.built),
      numFrames(other.numFrames), width(other.width), height(other.height),
      pixelSlices_(std::move(other.pixelSlices_)), decodedBytes_(other.decodedBytes_),
      budget_(std::move(other.budget_)) {
    other.decodedBytes_ = 0;
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
        decodedBytes_ = other.decodedBytes_;
        budget_ = std::move(other.budget_);
        other.decodedBytes_ = 0;
        other.frames.clear();
        other.flipFrames.clear();
        other.pixelSlices_.clear();
        other.built = other.numFrames = other.width = other.height = 0;
    }
    return *this;
}

void CSpriteBase::release() {
    // Frames that show the same bitmap share their surfaces: each is freed
    // once.
    std::set<SDL_Surface*> freed;
    for (std::vector<spriteFrame>* table : {&frames, &flipFrames})
        for (spriteFrame& frame : *table)
            if (frame.image && freed.insert(frame.image).second) SDL_FreeSurface(frame.image);
    if (budget_) *budget_ -= decodedBytes_;
    budget_.reset();
    decodedBytes_ = 0;
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
    // The resource loader changes into the frame folder for every bitmap and
    // comes back here after it, without reading this folder's path.
    const platform::heldDirectory startDirectory;

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

    // Entries that name the same bitmap with the same colour key show the
    // same pixels: the first one's surfaces serve them all.
    std::map<std::string, size_t> decoded;
    frameEntry entry;
    for (int number = 0; number < announced; ++number) {
        if (!index.next(entry)) break;
        entryWhere() = index.path() + ":" + std::to_string(entry.line) + ": frame " +
                       std::to_string(number) + ", bitmap " + folderName + "/" + entry.bitmap;
        if (!addFrame(folderName, entry, number, resource, startDirectory, decoded)) return -1;
    }
    return 0;
}

bool CSpriteBase::addFrame(const std::string& folderName, frameEntry& entry, int number,
                           bool resource, const platform::heldDirectory& startDirectory,
                           std::map<std::string, size_t>& decoded) {
    spriteFrame& frame = entry.frame;
    if (!dataLimits::nameStaysInside(entry.bitmap)) {
        // A bitmap outside the frame folder is never read: it counts as
        // missing.
        seams::trace() << entryWhere() << ": the name leaves the frame folder\n";
        if (!resource) return false;
        errno = ENOENT;
        fatal::stopWithSystemError("Error opening resource file");
    }
    const std::string sameAs = entry.imageKey();
    auto earlier = decoded.find(sameAs);
    SDL_Surface* mirroredImage = nullptr;
    if (earlier != decoded.end()) {
        frame.image = frames[earlier->second].image;
        mirroredImage = flipFrames[earlier->second].image;
        if (resource)
            seams::trace() << "loaded frame " << number << " " << folderName << "/" << entry.bitmap
                           << "\n";
    } else {
        frame.image = loadImage(folderName, entry, number, resource, startDirectory);
        if (!frame.image) return false;
    }

    if (resource || width == 0) width = frame.image->w;
    if (resource || height == 0) height = frame.image->h;

    spriteFrame mirrored = mirrorOf(frame, width, mirroredImage);
    // Worked out before anything draws the images: SDL's first keyed
    // blit may keep only its own run-length copy of a frame's pixels.
    if (earlier != decoded.end()) {
        frame.runs = frames[earlier->second].runs;
        mirrored.runs = flipFrames[earlier->second].runs;
    } else {
        frame.runs = opaqueRuns::of(frame.image);
        mirrored.runs = opaqueRuns::of(mirrored.image);
        decoded.emplace(sameAs, frames.size());
    }
    frames.push_back(std::move(frame));
    flipFrames.push_back(std::move(mirrored));
    numFrames = static_cast<int>(frames.size());

    if (resource) startDirectory.returnTo();
    return true;
}

SDL_Surface* CSpriteBase::loadImage(const std::string& folder, const frameEntry& entry, int number,
                                    bool resource, const platform::heldDirectory& startDirectory) {
    SDL_Surface* loaded = nullptr;
    long long cost = 0;
    if (resource) {
        // What loadFromResource does, with the conversion written straight
        // into the pixel store where it can be.
        const std::string where =
            entryWhere().empty() ? "bitmap " + folder + "/" + entry.bitmap : entryWhere();
        loaded = converted(decodeFromResource(folder, entry.bitmap, where, &cost));
        if (!loaded) cannotConvert(where);
        seams::trace() << "loaded frame " << number << " " << folder << "/" << entry.bitmap << "\n";
    } else {
        std::vector<unsigned char> bytes;
        if (platform::readWholeFile(frameIndex::bitmapPath(folder, entry.bitmap, false), bytes,
                                    bitmapFile::maxFileBytes) != platform::ReadResult::Ok)
            return nullptr;
        if (!bitmapFile::headerIsSound(bytes)) return nullptr;
        cost = budgetCost(bytes);
        if (decodedBytesInUse() + cost > decodedBudget) return nullptr;
        loaded = decodeBitmap(bytes);
        if (!loaded) return nullptr;
    }
    // A set is counted under the budget in force when its first frame came.
    if (!budget_) budget_ = budgetInForce();
    decodedBytes_ += cost;
    *budget_ += cost;

    if (entry.keyRed >= 0)
        media::setTransparentColour(loaded, component(entry.keyRed), component(entry.keyGreen),
                                    component(entry.keyBlue));
    // A bitmap from the resource loader is in the display format already: it
    // keeps its surface, with the key just set, instead of being copied.
    SDL_Surface* image = toDisplayFormat(loaded);
    if (!image) {
        if (resource) {
            startDirectory.returnTo();
            seams::trace() << entryWhere() << ": cannot be converted\n";
            fatal::stop(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");
        }
        return nullptr;
    }
    return image;
}

spriteFrame CSpriteBase::mirrorOf(const spriteFrame& frame, int width, SDL_Surface* image) {
    spriteFrame mirrored;
    mirrored.image = image;
    // The mirror has the frame's layout, the display format: it is written
    // straight into the pixel store, or else kept as flip_surface makes it
    // instead of being copied once more.
    if (!mirrored.image && isDisplayFormat(frame.image)) {
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
    long long cost = 0;
    SDL_Surface* converted =
        toDisplayFormat(decodeFromResource(folderName, fileName, where, &cost));
    if (!converted) cannotConvert(where);
    return converted;
}

SDL_Surface* CSpriteBase::decodeFromResource(const std::string& folderName,
                                             const std::string& fileName, const std::string& where,
                                             long long* cost) {
    if (!platform::directoryExists(folderName)) {
        const int reason = errno;
        seams::trace() << where << ": the folder cannot be opened\n";
        errno = reason;
        fatal::stopWithSystemError("opendir failure");
    }
    platform::changeDirectory(folderName);

    std::vector<unsigned char> bytes;
    unsigned long long size = 0;
    switch (platform::readWholeFile(fileName, bytes, bitmapFile::maxFileBytes, &size)) {
    case platform::ReadResult::Ok:
        break;
    case platform::ReadResult::TooLarge:
        seams::trace() << where << ": too large to read\n";
        fatal::stop("Unable to load bitmap: " + where + ": " + bitmapFile::tooLarge(size) + "\n");
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
    if (bytes.empty()) {
        SDL_SetError("empty file '%s'", fileName.c_str());
    } else if (bitmapFile::headerIsSound(bytes)) {
        // The budget is checked from the header, before a pixel is decoded.
        *cost = budgetCost(bytes);
        if (decodedBytesInUse() + *cost > decodedBudget) {
            seams::trace() << where << ": past the memory budget for frames\n";
            fatal::stop("Unable to load bitmap: " + where + ": " +
                        overBudget(decodedBytesInUse(), *cost) + "\n");
        }
        decoded = decodeBitmap(bytes);
    } else {
        decoded = decodeBitmap(bytes); // sets the reason
    }
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
