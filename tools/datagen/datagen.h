// The parts of the data generator: each writes its share of the data folder.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

namespace gen {

// One frame entry of a frame folder's info index.
struct FrameText {
    std::string file;
    int pause = 30;
    int keyR = 255, keyG = 0, keyB = 255;
    int offX = 0, offY = 0;
    int col[4] = {0, 0, 0, 0};
    int dmg[4] = {0, 0, 0, 0};
    int damage = 0;
    int hitType = 0;
    std::string sound = "NULL";
    std::vector<std::string> spawns;
    int moveX = 0, moveY = 0;
    std::string tag = "NULL";
};
std::string infoText(const std::vector<FrameText>& frames);

void writeCharacter(Writer& out);
void writeParticles(Writer& out);
void writeStage(Writer& out);
void writeHealthBar(Writer& out);
void writeSounds(Writer& out);

// Renders every frame of the character and the particles, with their boxes,
// into one bitmap.  Returns 0 on success.
int contactSheet(const std::string& dataDir, const std::string& outBmp);
// The stage with two fighters, a fireball and both bars laid out as in the game.
int sceneShot(const std::string& dataDir, const std::string& outBmp);

} // namespace gen
