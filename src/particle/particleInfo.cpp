#include "particle/particleInfo.h"

#include "base/seams.h"
#include "base/textFile.h"

bool particleInfo::initS(const std::string& line, SDL_Surface* screen) {
    screenSurf = screen;
    loaded = true;

    // folder (with its data/particle/ prefix), list number, and a third
    // word nobody reads
    std::vector<std::string> words = splitWords(line, 3);
    for (size_t i = 0; i < words.size(); ++i)
        seams::trace() << "BIT[" << i << "]: " << words[i] << "\n";

    frameSet = std::make_unique<CSpriteBase>();
    if (words.empty()) {
        seams::trace() << "Particle definition has no folder\n";
        return false;
    }
    const std::string& folder = words[0];
    frameSet->initR(folder.c_str());
    listNumber = words.size() > 1 ? leadingInt(words[1]) : 0;

    bool ok = ParticleInfo(folder.c_str());
    if (ok)
        seams::trace() << "Particle definition loaded: " << folder << "\n";
    else
        seams::trace() << "Particle definition failed: " << folder << "\n";
    return ok;
}

bool particleInfo::ParticleInfo(const char* folder) {
    std::string path = std::string(folder ? folder : "") + "/particle";
    textFile file(path);
    if (!file.isOpen()) {
        seams::trace() << "ERROR opening file " << path << "\n\n";
        return false;
    }

    // Five numbers, one per line; a line that holds no number leaves the
    // value as it was.
    int values[5] = {alpha, lifetime, hasGravity ? 1 : 0, extraFlagA ? 1 : 0, extraFlagB ? 1 : 0};
    std::string line;
    for (int& value : values) {
        if (!file.readLine(line)) break;
        scanInts(line, &value, 1);
    }
    alpha = values[0];
    lifetime = values[1];
    hasGravity = values[2] == 1;
    extraFlagA = values[3] == 1;
    extraFlagB = values[4] == 1;

    // Five event lists: a count line, then that many names.  The list holds
    // only the names the file really has, so a huge count costs nothing.
    for (int event = 0; event < eventKinds; ++event) {
        if (!file.readLine(line)) break;
        int count = 0;
        scanInts(line, &count, 1);
        eventParts[event].clear();
        for (int i = 0; i < count && file.readLine(line); ++i)
            eventParts[event].push_back(withoutLineEnd(line));
        eventCount[event] = static_cast<int>(eventParts[event].size());
    }

    file.close();
    if (frameSet) frameSet->alphaAll(alpha);
    return true;
}

std::string particleInfo::firstEntry(int event) const {
    if (event < 0 || event >= eventKinds || eventParts[event].empty()) return "NULL";
    return eventParts[event].front();
}
