#include "dataFolder.h"

#include "fighter/moveFile.h"
#include "testSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {

std::string littleEndian(unsigned value, int bytes) {
    std::string out;
    // Bytes past the fourth are zero (a shift by 32 or more is undefined).
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(i < 4 ? (value >> (8 * i)) & 0xFF : 0);
    return out;
}

} // namespace

void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path file(path);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    // A new file, never written through: it may stand for a hard link.
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string bmpBytes(int w, int h, Uint32 rgb) {
    const unsigned rowBytes = (static_cast<unsigned>(w) * 3 + 3) & ~3u;
    const unsigned pixelBytes = rowBytes * static_cast<unsigned>(h);
    std::string bmp = "BM" + littleEndian(54 + pixelBytes, 4) + littleEndian(0, 4) +
                      littleEndian(54, 4) + littleEndian(40, 4) + littleEndian(w, 4) +
                      littleEndian(h, 4) + littleEndian(1, 2) + littleEndian(24, 2) +
                      littleEndian(0, 4) + littleEndian(pixelBytes, 4) + littleEndian(0, 16);
    std::string row(rowBytes, '\0');
    for (int x = 0; x < w; ++x) {
        row[x * 3] = static_cast<char>(rgb & 0xFF);
        row[x * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
        row[x * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
    }
    for (int y = 0; y < h; ++y)
        bmp += row;
    return bmp;
}

void writeBmp(const std::string& path, int w, int h, Uint32 rgb) {
    writeFile(path, bmpBytes(w, h, rgb));
}

std::string wavBytes() {
    std::string data(16, '\0');
    std::string format = littleEndian(1, 2) + littleEndian(1, 2) + littleEndian(22050, 4) +
                         littleEndian(44100, 4) + littleEndian(2, 2) + littleEndian(16, 2);
    std::string body = "WAVEfmt " + littleEndian(16, 4) + format + "data" +
                       littleEndian(static_cast<unsigned>(data.size()), 4) + data;
    return "RIFF" + littleEndian(static_cast<unsigned>(body.size()), 4) + body;
}

std::string frameEntryText(const std::string& bitmap, const std::string& sound,
                           const std::string& spawns, int damage, int hitType,
                           const std::string& anchor) {
    int count = 0;
    for (char c : spawns)
        count += c == '\n';
    return bitmap + " 100 255 0 255\n" + anchor + "\n0 0 40 40\n0 0 10 10\n" +
           std::to_string(damage) + "\n0\n" + std::to_string(hitType) + "\n0 0\n0 0\n" + sound +
           "\n" + std::to_string(count) + "\n" + spawns + "0 0\n0\ntag\n";
}

std::string oneFrameIndex() {
    return "FILES: 1\n"
           "a.bmp 10 255 0 255\n"
           "2 4\n"
           "0 0 3 3\n"
           "1 1 2 2\n"
           "5\n"
           "0\n"
           "1\n"
           "0 0\n"
           "0 0\n"
           "NULL\n"
           "0\n"
           "0 0\n"
           "0\n"
           "a\n";
}

void writeOneFrameFolder(const std::string& folder) {
    writeFile(folder + "/info", oneFrameIndex());
    writeBmp(folder + "/a.bmp", 4, 4, 0xFF8020);
}

std::string moveRecord(const std::string& name, const std::string& command,
                       const std::string& condition, const std::string& linkMove,
                       const std::string& fromMove, int fromFrame) {
    moveEntry move;
    move.name = name;
    move.command = command;
    move.condition = condition;
    move.linkMove = linkMove;
    move.fromMove = fromMove;
    move.fromFrame = fromFrame;
    return moveFile::recordText(move);
}

void writeFrameFolder(const TempDir& dir, const std::string& folder,
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
             << f.damage << "\n0\n"
             << f.hitType << "\n0 0\n0 0\nNULL\n0\n"
             << f.moveX << " " << f.moveY << "\n0\ntag\n";
    }
    dir.write(folder + "/info", info.str());
}

void writeAnimations(const TempDir& dir, const std::string& folder,
                     const std::vector<std::pair<std::string, std::vector<FrameSpec>>>& anims) {
    std::string index = "ANIMS: " + std::to_string(anims.size()) + "\n";
    for (const auto& anim : anims) {
        index += anim.first + "\n";
        writeFrameFolder(dir, folder + "/" + anim.first, anim.second);
    }
    dir.write(folder + "/info", index);
}

} // namespace testing_support
