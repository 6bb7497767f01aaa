#include "fighter/animationSet.h"

#include "base/seams.h"
#include "base/textFile.h"

int animationSet::loadAll(const char* folder) {
    folderName = folder ? folder : "";
    const std::string indexPath = folderName + "/info";
    textFile index;
    if (!index.open(indexPath)) {
        seams::trace() << "ERROR opening file " << indexPath << "\n\n";
        return 1;
    }

    std::string line;
    index.readLine(line);
    int announced = 0;
    if (!scanHeader(line, "ANIMS:", announced)) announced = 0;
    seams::trace() << "animations: " << announced << "\n";

    // Every line counts, blank ones too; the set holds as many entries as
    // the file really has lines for.  It is never resized after this, so
    // pointers into it stay valid.
    animList.clear();
    animCount = 0;
    std::vector<std::string> names;
    for (int i = 0; i < announced && index.readLine(line); ++i)
        names.push_back(firstWord(line));
    animList.resize(names.size());
    animCount = static_cast<int>(animList.size());
    for (int i = 0; i < animCount; ++i) {
        seams::trace() << names[i] << "\n";
        loadAnim(i, names[i]);
        seams::trace() << "loaded animation " << i << "\n";
    }
    return 1;
}

void animationSet::loadAnim(int index, const std::string& name) {
    if (index < 0 || index >= static_cast<int>(animList.size())) return;
    animation& entry = animList[index];
    entry.animName = name;
    const std::string path = folderName + "/" + name;
    seams::trace() << "load folder " << path << "\n";
    entry.frameSet.initR(path.c_str());
}

animation* animationSet::returnAnimation(const std::string& name) {
    if (animList.empty()) return nullptr;
    for (animation& entry : animList)
        if (entry.animName == name) return &entry;
    // Intended: an unknown name shows the first animation.
    return &animList[0];
}
