// Small characters for the fighter tests: frame folders with generated
// bitmaps and hand-written indexes.
#pragma once

#include "testSupport.h"

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct FrameSpec {
    int w = 40, h = 60;
    Uint32 colour = 0x00FF00;
    int offX = 20, offY = 60;
    int col[4] = {5, 0, 35, 60};
    int dmg[4] = {0, 0, 0, 0};
    int damage = 0;
    int moveX = 0, moveY = 0;
    const char* key = "-1 0 0"; // transparent colour, red < 0: none
    int pause = 10;
};

// A frame folder: f0.bmp, f1.bmp, ... and its index.
inline void writeFrameFolder(const TempDir& dir, const std::string& folder,
                             const std::vector<FrameSpec>& frames) {
    std::ostringstream info;
    info << "FILES: " << frames.size() << "\n";
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameSpec& f = frames[i];
        std::string file = "f" + std::to_string(i) + ".bmp";
        dir.writeBmp(folder + "/" + file, f.w, f.h, f.colour);
        info << "# frame\n"
             << file << " " << f.pause << " " << f.key << "\n"
             << f.offX << " " << f.offY << "\n"
             << f.col[0] << " " << f.col[1] << " " << f.col[2] << " " << f.col[3] << "\n"
             << f.dmg[0] << " " << f.dmg[1] << " " << f.dmg[2] << " " << f.dmg[3] << "\n"
             << f.damage << "\n0\n0\n0 0\n0 0\nNULL\n0\n"
             << f.moveX << " " << f.moveY << "\n0\ntag\n";
    }
    dir.write(folder + "/info", info.str());
}

// A character folder whose animation index lists the given animations.
inline void
writeAnimations(const TempDir& dir, const std::string& folder,
                const std::vector<std::pair<std::string, std::vector<FrameSpec>>>& anims) {
    std::string index = "ANIMS: " + std::to_string(anims.size()) + "\n";
    for (const auto& anim : anims) {
        index += anim.first + "\n";
        writeFrameFolder(dir, folder + "/" + anim.first, anim.second);
    }
    dir.write(folder + "/info", index);
}

// One eleven-line record of a move file.
inline std::string moveRecord(const std::string& name, const std::string& command,
                              const std::string& condition = "null") {
    return name + "\n" + command + "\n0\nNULL\n0\n0\nNULL\n0\n0\n0\n" + condition + "\n";
}

} // namespace testing_support
