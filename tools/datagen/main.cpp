// datagen: writes the game's complete data folder (character frames and
// boxes, moves, the opponent's table, particles, sounds, stage and bar art).
//
//   datagen <outdir>                       write every data file into outdir
//   datagen --icons <datadir> <outdir>     the desktop icon in every size, for
//                                          the package
//
// The pictures for authors (every frame with its boxes, the stage with both
// fighters) are the workbench's: workbench --sheet, workbench --scene.
#include "datagen.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace gen {

frameEntry indexEntry(const std::string& bitmap, int pause) {
    frameEntry entry;
    entry.bitmap = bitmap;
    entry.keyRed = 255;
    entry.keyGreen = 0;
    entry.keyBlue = 255;
    entry.frame.pause = pause;
    entry.frame.soundName = "NULL";
    entry.frame.tagName = "NULL";
    return entry;
}

void setCollisionBox(spriteFrame& frame, const Box& box) {
    frame.colX1 = box.x1;
    frame.colY1 = box.y1;
    frame.colX2 = box.x2;
    frame.colY2 = box.y2;
}

void setDamageBox(spriteFrame& frame, const Box& box) {
    frame.dmgX1 = box.x1;
    frame.dmgY1 = box.y1;
    frame.dmgX2 = box.x2;
    frame.dmgY2 = box.y2;
}

namespace {

// The data folder's own README, written with it.
const char* const dataReadme = R"(# The default data set

Everything in this folder is written by `tools/datagen` (`datagen data` from
the repository root); edit the generator, not the files.  A test checks that
this folder is exactly what the generator makes.

- `tBG2.bmp` the stage (floor from y 530), `hpBar/` the hit-point bar art.
- `Tavro/` the character: `info` (animations), `moveset`, one frame folder
  per animation and move, `sound/` (its sounds), `ai/attack` (the
  opponent's attack table).
- `soundSet/` the common sounds, `particle/` the particle list `default`
  and one folder per particle (fireball, spark, shockwave, pillar).

## The moves

The move file's order is the order in which a button's moves are tried, and
the first that passes wins: longer commands stand before the shorter ones
they contain (Down, Forward, Z, the fireball, stays first of all), the link
and the cancel before the move from neutral with the same keys, and the air
version of a button before the ground version.  The crouching moves and the
shockwave hold only on the ground, the air moves only in the air.

The three combos (the punch with the uppercut linked behind it, the kick's
recoil cancelled into the sweep, the crouching jab with the palm strike
linked behind it) connect whenever the first blow lands: the hit reaction
`hit1` lasts 234 ms, and each follow-up lunges forward and keeps its damage
frames out until past that moment.  Damage boxes are at most 42 pixels wide,
the narrowest body, so none can lie across a body like a plus sign (the
game's corner test would miss it).  `workbench --frame-data data` prints the
timings.

The opponent's table uses the standing, crouching and air attacks by range,
links the punch into the uppercut, the crouching jab into the palm strike
and the air punch into the air kick, and cancels the kick and the crouching
kick into the sweep.  It throws nothing: only player 1's particles are
tested against a fighter.

This folder is the shipped character only.  A character of your own is a
copy of it in a folder of its own, edited by hand with the workbench and
never regenerated (see "Your own character" in the top-level README).

## What `datacheck --strict data` reports, and why it stays

- `particle/spark/particle: note: particle "spark" can never hit`: sparks
  are decoration; the fireball, the shockwave and its pillar hurt.

No warning and no error.  The character's sound list repeats no name of the
common list (the game would keep the common sound and never load the
character's); the checker's own tests show that rule.

## What the data cannot say

- A separate pose for a fighter hit in the air.  Every hit starts the move
  "hit1", whatever the stance, and when it runs out in the air the fighter
  shows "standing" until it lands.
- A crouching attack from a long-held Down.  A press counts for 600 ms: the
  button must follow Down within that time, or the standing move comes.
)";

} // namespace

} // namespace gen

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--icons") == 0) return gen::writeIcons(argv[2], argv[3]);
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: datagen <outdir>\n       datagen --icons <datadir> <outdir>\n");
        return 2;
    }
    gen::Writer out(argv[1]);
    try {
        gen::writeStage(out);
        gen::writeHealthBar(out);
        gen::writeCharacter(out);
        gen::writeParticles(out);
        gen::writeSounds(out);
    } catch (const std::invalid_argument& refused) {
        // A writer refused a record the game would not read back as written.
        std::fprintf(stderr, "datagen: %s\n", refused.what());
        return 1;
    }
    out.text("README.md", gen::dataReadme);
    if (!out.ok()) {
        std::fprintf(stderr, "datagen: could not write every file under %s\n", argv[1]);
        return 1;
    }
    std::printf("datagen: wrote %d files under %s\n", out.filesWritten(), argv[1]);
    return 0;
}
