// Writing data folders for tests, the checker's tests and the fuzzers: files,
// bitmaps, sounds, frame indexes, animation indexes and move records.  The
// valid indexes and records are written by the game's own writers beside
// their readers, so a fixture holds what the game reads.
#pragma once

#include <SDL.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Write bytes to a file, creating its parent folders.
void writeFile(const std::string& path, const std::string& bytes);

// A 24-bit bitmap of w x h filled with one colour (0xRRGGBB), as file bytes.
std::string bmpBytes(int w, int h, Uint32 rgb);
void writeBmp(const std::string& path, int w, int h, Uint32 rgb);

// A 16-bit mono PCM WAV of a few silent samples, as file bytes.
std::string wavBytes();

// One frame entry of a frame index.  Its lines, from the bitmap line on:
// +0 bitmap, +1 anchor, +2 box, +3 damage box, +4 damage, +5 flag, +6 hit
// type, +7/+8 points, +9 sound, +10 spawn count, the spawn lines (each
// ending in "\n"), movement, flag, tag.
std::string frameEntryText(const std::string& bitmap, const std::string& sound = "NULL",
                           const std::string& spawns = "", int damage = 0, int hitType = 0,
                           const std::string& anchor = "20 40");

// A valid frame index for one frame drawn from a.bmp, with a colour key.
std::string oneFrameIndex();
// folder/info (oneFrameIndex) and folder/a.bmp (4x4): a frame set that loads.
void writeOneFrameFolder(const std::string& folder);

// One eleven-line record of a move file, as moveFile writes it; the command
// and the condition are written as given, even where moveFile would refuse
// them.
std::string moveRecord(const std::string& name, const std::string& command,
                       const std::string& condition = "null", const std::string& linkMove = "NULL",
                       const std::string& fromMove = "NULL", int fromFrame = 0);

class TempDir;

struct FrameDescription {
    int w = 40, h = 60;
    Uint32 colour = 0x00FF00;
    int offX = 20, offY = 60;
    int col[4] = {5, 0, 35, 60};
    int dmg[4] = {0, 0, 0, 0};
    int damage = 0;
    int hitType = 0; // 1: the frame hurts
    int moveX = 0, moveY = 0;
    const char* key = "-1 0 0"; // transparent colour, red < 0: none
    int pause = 10;
};

// A frame folder: f0.bmp, f1.bmp, ... and its index.
void writeFrameFolder(const TempDir& dir, const std::string& folder,
                      const std::vector<FrameDescription>& frames);

// A character folder whose animation index lists the given animations.
void writeAnimations(
    const TempDir& dir, const std::string& folder,
    const std::vector<std::pair<std::string, std::vector<FrameDescription>>>& anims);

} // namespace testing_support
