#include "particle/particleInfo.h"

#include "base/seams.h"
#include "base/textFile.h"
#include "particle/particleListFile.h"

#include <utility>

bool particleInfo::initS(const std::string& line, SDL_Surface* screen) {
    screenSurf = screen;
    loaded = true;

    // folder (with its data/particle/ prefix), list number, and a third
    // word nobody reads
    std::vector<std::string> words = particleListFile::definitionWords(line);
    for (size_t i = 0; i < words.size(); ++i)
        seams::trace() << "BIT[" << i << "]: " << words[i] << "\n";

    frameSet = std::make_unique<CSpriteBase>();
    if (words.empty()) {
        seams::trace() << "Particle definition has no folder\n";
        return false;
    }
    const std::string& folder = words[0];
    frameSet->initR(folder.c_str());
    listNumber = words.size() > 1 ? text::leadingInt(words[1]) : 0;

    bool ok = ParticleInfo(folder.c_str());
    if (ok)
        seams::trace() << "Particle definition loaded: " << folder << "\n";
    else
        seams::trace() << "Particle definition failed: " << folder << "\n";
    return ok;
}

bool particleInfo::ParticleInfo(const char* folder) {
    particleFile file;
    if (!file.open(folder ? folder : "")) {
        seams::trace() << "ERROR opening file " << file.path() << "\n\n";
        return false;
    }

    // What the file lacks keeps the value it had.  The lists hold only the
    // names the file really has, so a huge count costs nothing.
    particleRecord record;
    record.alpha = alpha;
    record.lifetime = lifetime;
    record.gravity = hasGravity ? 1 : 0;
    record.flagA = extraFlagA ? 1 : 0;
    record.flagB = extraFlagB ? 1 : 0;
    for (int event = 0; event < eventKinds; ++event)
        record.events[event] = eventParts[event];
    file.read(record);
    alpha = record.alpha;
    lifetime = record.lifetime;
    hasGravity = record.gravity == 1;
    extraFlagA = record.flagA == 1;
    extraFlagB = record.flagB == 1;
    for (int event = 0; event < eventKinds; ++event) {
        eventParts[event] = std::move(record.events[event]);
        eventCount[event] = static_cast<int>(eventParts[event].size());
    }

    if (frameSet) frameSet->alphaAll(alpha);
    return true;
}

std::string particleInfo::firstEntry(int event) const {
    if (event < 0 || event >= eventKinds || eventParts[event].empty()) return "NULL";
    return eventParts[event].front();
}
