// Building small characters for the fighter tests: frame folders with
// generated bitmaps and hand-written "info" indexes, animation indexes and
// move files.
#pragma once

#include "testSupport.h"

#include <SDL.h>

#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

struct FrameSpec {
    int w = 40, h = 60;
    Uint32 colour = 0x00FF00;
    int pause = 10;
    int keyRed = -1, keyGreen = 0, keyBlue = 0; // red < 0: no transparent colour
    int offX = 20, offY = 60;
    int col[4] = {5, 0, 35, 60};
    int dmg[4] = {0, 0, 0, 0};
    int damage = 0;
    int moveX = 0, moveY = 0;
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
        info << "# frame " << i << "\n"
             << file << " " << f.pause << " " << f.keyRed << " " << f.keyGreen << " " << f.keyBlue
             << "\n"
             << f.offX << " " << f.offY << "\n"
             << f.col[0] << " " << f.col[1] << " " << f.col[2] << " " << f.col[3] << "\n"
             << f.dmg[0] << " " << f.dmg[1] << " " << f.dmg[2] << " " << f.dmg[3] << "\n"
             << f.damage << "\n0\n0\n0 0\n0 0\nNULL\n0\n"
             << f.moveX << " " << f.moveY << "\n0\ntag\n";
    }
    dir.write(folder + "/info", info.str());
}

// A character folder whose animation index lists the given animations, each
// with the frames given (in the same order).
inline void
writeAnimations(const TempDir& dir, const std::string& folder,
                const std::vector<std::pair<std::string, std::vector<FrameSpec>>>& anims) {
    std::ostringstream index;
    index << "ANIMS: " << anims.size() << "\n";
    for (const auto& anim : anims) {
        index << anim.first << "\n";
        writeFrameFolder(dir, folder + "/" + anim.first, anim.second);
    }
    dir.write(folder + "/info", index.str());
}

// One record of a move file.
struct MoveRecord {
    std::string name;
    std::string command = "A";
    std::string linkMove = "NULL";
    int linkFrame = 0;
    std::string fromMove = "NULL";
    int fromFrame = 0;
    std::string condition = "null";
};

inline std::string moveFile(const std::vector<MoveRecord>& records, const char* lineEnd = "\n") {
    std::ostringstream out;
    out << "ANIMS: " << records.size() << lineEnd;
    for (const MoveRecord& r : records) {
        out << r.name << lineEnd << r.command << lineEnd << 0 << lineEnd << r.linkMove << lineEnd
            << r.linkFrame << lineEnd << 0 << lineEnd << r.fromMove << lineEnd << r.fromFrame
            << lineEnd << 0 << lineEnd << 0 << lineEnd << r.condition << lineEnd;
    }
    return out.str();
}

} // namespace testing_support
