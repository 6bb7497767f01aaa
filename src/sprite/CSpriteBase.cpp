#include "sprite/CSpriteBase.h"

#include "base/dataLimits.h"
#include "base/fatal.h"
#include "base/media.h"
#include "base/platform.h"
#include "base/seams.h"
#include "sprite/bitmapFile.h"
#include "sprite/decodedImage.h"
#include "sprite/displayFormat.h"
#include "sprite/flipper.h"
#include "sprite/frameIndex.h"
#include "sprite/pixelStore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
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

// The budget frame sets load under now: the decoded bytes of every image
// held that was decoded under it, and those images.
std::shared_ptr<frameBudget>& budgetInForce() {
    static std::shared_ptr<frameBudget> inForce = std::make_shared<frameBudget>();
    return inForce;
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
    return budgetInForce()->inUse;
}

CSpriteBase::separateBudget::separateBudget() : before_(budgetInForce()) {
    budgetInForce() = std::make_shared<frameBudget>();
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
      images_(std::move(other.images_)) {
    other.frames.clear();
    other.flipFrames.clear();
    other.images_.clear();
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
        images_ = std::move(other.images_);
        other.frames.clear();
        other.flipFrames.clear();
        other.images_.clear();
        other.built = other.numFrames = other.width = other.height = 0;
    }
    return *this;
}

void CSpriteBase::release() {
    frames.clear();
    flipFrames.clear();
    numFrames = 0;
    // An image another set still holds stays; the last holder frees its
    // surfaces and pixels and gives its bytes back to the budget.
    images_.clear();
}

SDL_Surface* CSpriteBase::storeSurface(int w, int h, decodedImage& into) {
    if (!media::pixelsLiveInMemory() || w < 1 || h < 1) return nullptr;
    void* slice = pixelStore::shared().take(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    if (!slice) return nullptr;
    SDL_Surface* surface = displayFormat::displaySurfaceOver(slice, w, h);
    if (!surface) {
        pixelStore::shared().give(slice);
        return nullptr;
    }
    into.slices.push_back(slice);
    return surface;
}

void CSpriteBase::dropStoreSurface(SDL_Surface* surface, decodedImage& into) {
    void* slice = surface->pixels;
    SDL_FreeSurface(surface);
    into.slices.erase(std::find(into.slices.begin(), into.slices.end(), slice));
    pixelStore::shared().give(slice);
}

SDL_Surface* CSpriteBase::converted(SDL_Surface* decoded, decodedImage& into) {
    void* slice = nullptr;
    if (SDL_Surface* target = displayFormat::convertIntoStore(decoded, slice)) {
        into.slices.push_back(slice);
        return target;
    }
    return displayFormat::toDisplayFormat(decoded);
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

    // Entries that show the same image share it: within the set, the same
    // bitmap name and colour key; across the sets of this budget, the same
    // file, colour key and loader.
    loading loadingNow{folderName, resource, startDirectory, budgetInForce(), {}, {}};
    frameEntry entry;
    for (int number = 0; number < announced; ++number) {
        if (!index.next(entry)) break;
        entryWhere() = index.path() + ":" + std::to_string(entry.line) + ": frame " +
                       std::to_string(number) + ", bitmap " + folderName + "/" + entry.bitmap;
        if (!addFrame(loadingNow, entry, number)) return -1;
    }
    return 0;
}

bool CSpriteBase::addFrame(loading& load, frameEntry& entry, int number) {
    spriteFrame& frame = entry.frame;
    if (!dataLimits::nameStaysInside(entry.bitmap)) {
        // A bitmap outside the frame folder is never read: it counts as
        // missing.
        seams::trace() << entryWhere() << ": the name leaves the frame folder\n";
        if (!load.resource) return false;
        errno = ENOENT;
        fatal::stopWithSystemError("Error opening resource file");
    }
    std::string sharedKey;
    std::shared_ptr<decodedImage> shown = heldImage(load, entry, sharedKey);
    if (shown) {
        if (load.resource)
            seams::trace() << "loaded frame " << number << " " << load.folder << "/" << entry.bitmap
                           << "\n";
    } else {
        shown = newImage(load, entry, number);
        if (!shown) return false;
        decodedImage::publish(shown, sharedKey);
    }
    // Two names of one file (links) find the same image: it is held once.
    if (load.shown.emplace(entry.imageKey(), shown).second && load.held.insert(shown.get()).second)
        images_.push_back(shown);

    frame.image = shown->image();
    if (load.resource || width == 0) width = frame.image->w;
    if (load.resource || height == 0) height = frame.image->h;
    spriteFrame mirrored = mirrorOf(frame, width, shown->mirror());
    frame.runs = shown->runs;
    mirrored.runs = shown->mirrorRuns;
    frames.push_back(std::move(frame));
    flipFrames.push_back(std::move(mirrored));
    numFrames = static_cast<int>(frames.size());

    if (load.resource) load.startDirectory.returnTo();
    return true;
}

std::shared_ptr<decodedImage> CSpriteBase::heldImage(loading& load, const frameEntry& entry,
                                                     std::string& sharedKey) const {
    auto inThisSet = load.shown.find(entry.imageKey());
    if (inThisSet != load.shown.end()) return inThisSet->second;
    sharedKey =
        decodedImage::sharedKey(frameIndex::bitmapPath(load.folder, entry.bitmap, load.resource),
                                entry.conversion(), load.resource);
    return decodedImage::find(*load.budget, sharedKey);
}

std::shared_ptr<decodedImage> CSpriteBase::newImage(loading& load, const frameEntry& entry,
                                                    int number) {
    auto made = std::make_shared<decodedImage>(load.budget);
    made->setImage(loadImage(load, entry, number, *made));
    if (!made->image()) return nullptr;
    made->setMirror(mirrorImage(made->image(), *made));
    // Worked out before anything draws the images: SDL's first keyed
    // blit may keep only its own run-length copy of a frame's pixels.
    made->runs = opaqueRuns::of(made->image());
    made->mirrorRuns = opaqueRuns::of(made->mirror());
    return made;
}

SDL_Surface* CSpriteBase::loadImage(loading& load, const frameEntry& entry, int number,
                                    decodedImage& into) {
    const std::string& folder = load.folder;
    SDL_Surface* loaded = nullptr;
    long long cost = 0;
    if (load.resource) {
        // What loadFromResource does, with the conversion written straight
        // into the pixel store where it can be.
        const std::string where =
            entryWhere().empty() ? "bitmap " + folder + "/" + entry.bitmap : entryWhere();
        loaded = converted(decodeFromResource(folder, entry.bitmap, where, &cost), into);
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
    into.charge(cost);

    if (entry.keyRed >= 0)
        media::setTransparentColour(loaded, component(entry.keyRed), component(entry.keyGreen),
                                    component(entry.keyBlue));
    // A bitmap from the resource loader is in the display format already: it
    // keeps its surface, with the key just set, instead of being copied.
    SDL_Surface* image = displayFormat::toDisplayFormat(loaded);
    if (!image) {
        if (load.resource) {
            load.startDirectory.returnTo();
            seams::trace() << entryWhere() << ": cannot be converted\n";
            fatal::stop(std::string("Unable to load bitmap: ") + SDL_GetError() + "\n");
        }
        return nullptr;
    }
    return image;
}

SDL_Surface* CSpriteBase::mirrorImage(SDL_Surface* image, decodedImage& into) {
    // The mirror has the frame's layout, the display format: it is written
    // straight into the pixel store, or else kept as flip_surface makes it
    // instead of being copied once more.
    SDL_Surface* mirror = nullptr;
    if (displayFormat::isDisplayFormat(image)) {
        mirror = storeSurface(image->w, image->h, into);
        if (mirror && !flipper::mirrorInto(image, mirror)) {
            dropStoreSurface(mirror, into);
            mirror = nullptr;
        }
    }
    if (!mirror) mirror = displayFormat::toDisplayFormat(flipper::flip_surface(image));
    return mirror;
}

spriteFrame CSpriteBase::mirrorOf(const spriteFrame& frame, int width, SDL_Surface* image) {
    spriteFrame mirrored;
    mirrored.image = image;
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
        displayFormat::toDisplayFormat(decodeFromResource(folderName, fileName, where, &cost));
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
