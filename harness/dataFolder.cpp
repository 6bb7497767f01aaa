#include "dataFolder.h"

#include "fighter/animationIndex.h"
#include "fighter/moveFile.h"
#include "sprite/frameIndex.h"
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
    frameEntry entry;
    entry.bitmap = bitmap;
    entry.keyRed = 255;
    entry.keyGreen = 0;
    entry.keyBlue = 255;
    spriteFrame& frame = entry.frame;
    frame.pause = 100;
    frame.colX2 = frame.colY2 = 40;
    frame.dmgX2 = frame.dmgY2 = 10;
    frame.damage = damage;
    frame.hitType = hitType;
    frame.soundName = sound;
    for (size_t at = 0; at < spawns.size();) {
        size_t end = spawns.find('\n', at);
        end = end == std::string::npos ? spawns.size() : end + 1;
        frame.partNames.push_back(spawns.substr(at, end - at));
        at = end;
    }
    frame.tagName = "tag";
    // The anchor line goes in as given, so a test can damage it.
    std::string text = frameIndex::entryText(entry);
    const size_t anchorLine = text.find('\n') + 1;
    return text.replace(anchorLine, text.find('\n', anchorLine) - anchorLine, anchor);
}

std::string oneFrameIndex() {
    frameEntry entry;
    entry.bitmap = "a.bmp";
    entry.keyRed = 255;
    entry.keyGreen = 0;
    entry.keyBlue = 255;
    spriteFrame& frame = entry.frame;
    frame.pause = 10;
    frame.offsetX = 2;
    frame.offsetY = 4;
    frame.colX2 = frame.colY2 = 3;
    frame.dmgX1 = frame.dmgY1 = 1;
    frame.dmgX2 = frame.dmgY2 = 2;
    frame.damage = 5;
    frame.hitType = 1;
    frame.soundName = "NULL";
    frame.tagName = "a";
    return frameIndex::text({entry});
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
    move.linkMove = linkMove;
    move.fromMove = fromMove;
    move.fromFrame = fromFrame;
    // The command and condition lines go in as given, so a test can damage
    // them (an empty command, a condition ending in "\r"), which the writer
    // would refuse.
    move.command = "A";
    std::string text = moveFile::recordText(move);
    const size_t commandAt = text.find('\n') + 1;
    text.replace(commandAt, text.find('\n', commandAt) - commandAt, command);
    const size_t conditionAt = text.rfind('\n', text.size() - 2) + 1;
    return text.replace(conditionAt, text.size() - 1 - conditionAt, condition);
}

void writeFrameFolder(const TempDir& dir, const std::string& folder,
                      const std::vector<FrameDescription>& frames) {
    std::vector<frameEntry> entries;
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameDescription& f = frames[i];
        frameEntry entry;
        entry.bitmap = "f" + std::to_string(i) + ".bmp";
        dir.writeBmp(folder + "/" + entry.bitmap, f.w, f.h, f.colour);
        std::istringstream key(f.key);
        key >> entry.keyRed >> entry.keyGreen >> entry.keyBlue;
        spriteFrame& frame = entry.frame;
        frame.pause = f.pause;
        frame.offsetX = f.offX;
        frame.offsetY = f.offY;
        frame.colX1 = f.col[0];
        frame.colY1 = f.col[1];
        frame.colX2 = f.col[2];
        frame.colY2 = f.col[3];
        frame.dmgX1 = f.dmg[0];
        frame.dmgY1 = f.dmg[1];
        frame.dmgX2 = f.dmg[2];
        frame.dmgY2 = f.dmg[3];
        frame.damage = f.damage;
        frame.hitType = f.hitType;
        frame.soundName = "NULL";
        frame.moveX = f.moveX;
        frame.moveY = f.moveY;
        frame.tagName = "tag";
        entries.push_back(entry);
    }
    dir.write(folder + "/info", frameIndex::text(entries));
}

void writeAnimations(
    const TempDir& dir, const std::string& folder,
    const std::vector<std::pair<std::string, std::vector<FrameDescription>>>& anims) {
    std::vector<animationName> names;
    for (const auto& anim : anims) {
        names.push_back({anim.first});
        writeFrameFolder(dir, folder + "/" + anim.first, anim.second);
    }
    dir.write(folder + "/info", animationIndex::text(names));
}

} // namespace testing_support
