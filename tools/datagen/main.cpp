// datagen: writes the game's complete data folder (character frames and
// boxes, moves, the opponent's table, particles, sounds, stage and bar art).
//
//   datagen <outdir>                       write every data file into outdir
//   datagen --sheet <datadir> <out.bmp>    contact sheet of frames and boxes
//   datagen --scene <datadir> <out.bmp>    stage mock-up with both fighters
#include "datagen.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace gen {

std::string infoText(const std::vector<FrameText>& frames) {
    std::ostringstream s;
    s << "FILES: " << frames.size() << "\n";
    for (const FrameText& f : frames) {
        s << "\n";
        s << f.file << " " << f.pause << " " << f.keyR << " " << f.keyG << " " << f.keyB << "\n";
        s << f.offX << " " << f.offY << "\n";
        s << f.col[0] << " " << f.col[1] << " " << f.col[2] << " " << f.col[3] << "\n";
        s << f.dmg[0] << " " << f.dmg[1] << " " << f.dmg[2] << " " << f.dmg[3] << "\n";
        s << f.damage << "\n";
        s << 0 << "\n";
        s << f.hitType << "\n";
        s << "0 0\n0 0\n";
        s << f.sound << "\n";
        s << f.spawns.size() << "\n";
        for (const std::string& p : f.spawns)
            s << p << "\n";
        s << f.moveX << " " << f.moveY << "\n";
        s << 0 << "\n";
        s << f.tag << "\n";
    }
    return s.str();
}

} // namespace gen

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--sheet") == 0)
        return gen::contactSheet(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--scene") == 0) return gen::sceneShot(argv[2], argv[3]);
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(
            stderr,
            "usage: datagen <outdir>\n       datagen --sheet|--scene <datadir> <out.bmp>\n");
        return 2;
    }
    gen::Writer out(argv[1]);
    gen::writeStage(out);
    gen::writeHealthBar(out);
    gen::writeCharacter(out);
    gen::writeParticles(out);
    gen::writeSounds(out);
    out.text("README.md", R"(# The default data set

Everything in this folder is written by `tools/datagen` (`datagen data` from
the repository root); edit the generator, not the files.  A test checks that
this folder is exactly what the generator makes.

- `tBG2.bmp` the stage (floor from y 530), `hpBar/` the hit-point bar art.
- `Tavro/` the character: `info` (animations), `moveset`, one frame folder
  per animation and move, `sound/` (its sounds), `ai/attack` (the
  opponent's attack table).
- `soundSet/` the common sounds, `particle/` the particle list `default`
  and one folder per particle (fireball, spark).

## What `datacheck data` reports, and why it stays

- `Tavro/sound/sound: warning: sound "whoosh" is already in the list
  soundSet/sound`: on purpose.  The character's list names a sound the
  common list already holds, so the game keeps the common one and skips the
  character's; the data shows that rule at work.
- `particle/spark/particle: note: particle "spark" can never hit`: sparks
  are decoration; only the fireball hurts.
)");
    if (!out.ok()) {
        std::fprintf(stderr, "datagen: could not write every file under %s\n", argv[1]);
        return 1;
    }
    std::printf("datagen: wrote %d files under %s\n", out.filesWritten(), argv[1]);
    return 0;
}
