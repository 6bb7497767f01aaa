#include "fighter/animationSet.h"

#include "base/dataLimits.h"
#include "base/seams.h"
#include "fighter/animationIndex.h"

int animationSet::loadAll(const char* folder) {
    folderName = folder ? folder : "";
    animationIndex index;
    if (!index.open(folderName)) {
        seams::trace() << "ERROR opening file " << index.path() << "\n\n";
        return 1;
    }
    seams::trace() << "animations: " << index.announced() << "\n";

    // Every line counts, blank ones too; the set holds as many entries as
    // the file really has lines for.  It is never resized after this, so
    // pointers into it stay valid.
    animList.clear();
    animCount = 0;
    const std::vector<animationName>& names = index.readNames();
    animList.resize(names.size());
    animCount = static_cast<int>(animList.size());
    for (int i = 0; i < animCount; ++i) {
        seams::trace() << names[i].name << "\n";
        if (dataLimits::nameStaysInside(names[i].name)) {
            loadAnim(i, names[i].name);
        } else {
            // A folder outside the character's is never read: the animation
            // is left empty, as a missing folder leaves it.
            animList[i].animName = names[i].name;
            seams::trace() << index.path() << ":" << names[i].line << ": animation \""
                           << names[i].name
                           << "\" leaves the character folder; treated as missing\n";
        }
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
