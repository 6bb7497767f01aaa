// The parts of the data generator: each writes its share of the data folder.
#pragma once

#include "canvas.h"
#include "sprite/frameIndex.h"

#include <string>

namespace gen {

// A frame folder's index is written by frameIndex::text from the game's own
// entries.  A new entry as the generator starts one: the bitmap and its
// display time, magenta (255 0 255) as the colour key, no sound and the tag
// NULL; the rest stays 0 until set on the entry's frame.
frameEntry indexEntry(const std::string& bitmap, int pause);
// A box into the frame's collision box or damage box.
void setCollisionBox(spriteFrame& frame, const Box& box);
void setDamageBox(spriteFrame& frame, const Box& box);

void writeCharacter(Writer& out);
void writeParticles(Writer& out);
void writeStage(Writer& out);
void writeHealthBar(Writer& out);
void writeSounds(Writer& out);

// The desktop icon in every size, drawn from the character's art in dataDir:
// outDir/<N>x<N>/apps/tavro-fighter.png, the layout of an icon theme.
int writeIcons(const std::string& dataDir, const std::string& outDir);

} // namespace gen
