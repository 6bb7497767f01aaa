#include "frameFolderChecker.h"

#include "base/dataLimits.h"
#include "base/platform.h"
#include "sprite/frameIndex.h"

namespace {

// What the checks keep of an index entry.
frameRecord recordOf(const frameEntry& entry) {
    frameRecord frame;
    frame.line = entry.line;
    frame.bitmap = entry.bitmap;
    frame.imageKey = entry.imageKey();
    frame.conversion = entry.conversion();
    frame.offsetX = entry.frame.offsetX;
    frame.offsetY = entry.frame.offsetY;
    frame.anchorLine = entry.anchorLine;
    frame.anchorRead = entry.anchorRead;
    frame.damage = entry.frame.damage;
    frame.moveX = entry.frame.moveX;
    frame.hitType = entry.frame.hitType;
    frame.hitTypeLine = entry.hitTypeLine;
    if (entry.soundRead) {
        frame.sound = entry.frame.soundName;
        frame.soundLine = entry.soundLine;
    }
    for (size_t i = 0; i < entry.frame.partNames.size(); ++i)
        frame.spawns.push_back(
            {text::withoutLineEnd(entry.frame.partNames[i]), entry.spawnLines[i]});
    return frame;
}

const char* whatTheGameDoes(bool resource) {
    return resource ? "; the game stops with exit code 1" : "; the game stops loading this folder";
}

} // namespace

const frameFolder& frameFolderChecker::check(const std::string& folder, const std::string& fromFile,
                                             int fromLine, bool resource) {
    auto known = done_.find(folder);
    if (known != done_.end()) return known->second;
    frameFolder& set = done_[folder];
    set.path = folder;
    set.infoPath = folder + "/info";

    // The index is read by the game's own reader; its findings are printed.
    report_.reading(set.infoPath);
    frameIndex index;
    if (!index.open(folder)) {
        report_.error(fromFile, fromLine, "cannot open frame index " + set.infoPath);
        return set;
    }
    set.opened = true;
    set.count = index.announced();
    std::vector<diagnostic> bitmapErrors; // printed after the index's findings
    frameEntry entry;
    while (static_cast<int>(set.frames.size()) < set.count && index.next(entry)) {
        frameRecord frame = recordOf(entry);
        checkBitmap(set, frame, entry, resource, bitmapErrors);
        set.frames.push_back(frame);
    }
    index.finish();
    for (const finding& found : index.findings())
        report_.add(set.infoPath, found.line, diagnostics::levelOf(found), found.message);
    for (const diagnostic& error : bitmapErrors)
        report_.add(error.file, error.line, error.level, error.message);
    warnAboutFrames(set, resource);
    return set;
}

void frameFolderChecker::checkBitmap(frameFolder& set, frameRecord& frame, const frameEntry& entry,
                                     bool resource, std::vector<diagnostic>& bitmapErrors) {
    if (diagnostics::hasControlBytes(entry.bitmap))
        report_.controlBytes(set.infoPath, frame.line, "bitmap", entry.bitmap);
    if (!dataLimits::nameStaysInside(entry.bitmap)) {
        set.bitmapFailed = true;
        bitmapErrors.push_back(
            {set.infoPath, frame.line, severity::error,
             "frame " + std::to_string(set.frames.size() + 1) + ": bitmap name \"" + entry.bitmap +
                 "\" leaves the frame folder and is never read" + whatTheGameDoes(resource)});
        return;
    }
    const std::string path = frameIndex::bitmapPath(set.path, entry.bitmap, resource);
    const std::string seenKey = path + '\n' + frame.imageKey;
    auto seen = bitmapsSeen_.find(seenKey);
    if (seen == bitmapsSeen_.end()) {
        decodedBitmap bitmap;
        bitmap.decoded = bitmaps_.check(path, entry.keyRed, entry.keyGreen, entry.keyBlue,
                                        bitmap.image, bitmap.problem);
        bitmap.file = platform::fileIdentity(path);
        seen = bitmapsSeen_.emplace(seenKey, bitmap).first;
    }
    frame.decoded = seen->second.decoded;
    frame.image = seen->second.image;
    frame.file = seen->second.file;
    if (!frame.decoded) {
        set.bitmapFailed = true;
        bitmapErrors.push_back(
            {set.infoPath, frame.line, severity::error,
             "bitmap " + path + ": " + seen->second.problem + whatTheGameDoes(resource)});
    } else {
        set.width = frame.image.width;
        set.height = frame.image.height;
    }
}

void frameFolderChecker::warnAboutFrames(const frameFolder& set, bool resource) {
    for (size_t i = 0; i < set.frames.size(); ++i) {
        const frameRecord& frame = set.frames[i];
        std::string name = "frame " + std::to_string(i + 1) + ": ";
        if (frame.damage > 0 && frame.hitType != 1)
            report_.warning(set.infoPath, frame.hitTypeLine,
                            name + "damage " + std::to_string(frame.damage) + " with hit type " +
                                std::to_string(frame.hitType) +
                                " never hurts; only hit type 1 does damage");
        if (resource && frame.decoded && !set.bitmapFailed &&
            (frame.image.width > set.width || frame.image.height > set.height))
            report_.warning(set.infoPath, frame.line,
                            name + std::to_string(frame.image.width) + "x" +
                                std::to_string(frame.image.height) +
                                " is larger than the set's size " + std::to_string(set.width) +
                                "x" + std::to_string(set.height) +
                                " (its last frame's); drawing it leaves trails");
    }
}
