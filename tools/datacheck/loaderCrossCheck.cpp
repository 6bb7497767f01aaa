#include "loaderCrossCheck.h"

#include "CSpriteBase.h"
#include "animationSet.h"
#include "moveSet.h"
#include "seams.h"
#include "textFile.h"

#include <SDL.h>

#include <sstream>

namespace {

// Anything the game traces while its loaders run is dropped.
class quietTrace {
  public:
    quietTrace() { seams::setTraceStream(&sink_); }
    ~quietTrace() { seams::setTraceStream(nullptr); }

  private:
    std::ostringstream sink_;
};

std::string differs(const std::string& what, const std::string& game, const std::string& mine) {
    return "the game's loader reads " + what + " \"" + game + "\" where the checker read \"" +
           mine + "\"";
}

bool safeToLoad(const frameFolder* folder) {
    return !folder || !folder->bitmapFailed;
}

} // namespace

bool loaderCrossCheck::character(const std::string& characterFolder,
                                 const animationIndexChecker& anims, const movesetChecker& moves) {
    if (!SDL_GetVideoSurface()) return false;
    for (const animEntry& anim : anims.animations())
        if (!safeToLoad(anim.frames)) return false;
    for (const moveRecord& move : moves.moves())
        if (!safeToLoad(move.frames)) return false;

    quietTrace quiet;
    animationSet gameAnims;
    gameAnims.loadAll(characterFolder.c_str());
    for (const animEntry& anim : anims.animations()) {
        if (anims.find(anim.name) != &anim || !anim.frames) continue;
        animation* game = gameAnims.returnAnimation(anim.name);
        if (!game || game->animName != anim.name) {
            report_.error(anims.path(), anim.line,
                          "the game's loader has no animation \"" + anim.name + "\"");
            continue;
        }
        compareFrames(*anim.frames, game->frameSet);
    }

    moveSet gameMoves;
    gameMoves.loadAll(characterFolder.c_str());
    for (const moveRecord& move : moves.moves()) {
        if (!move.complete || moves.find(move.name) != &move) continue;
        moveInfo& game = gameMoves.returnMove(move.name);
        const std::string& path = moves.path();
        if (game.name != move.name) {
            report_.error(path, move.line, "the game's loader has no move \"" + move.name + "\"");
            continue;
        }
        if (game.command != move.command)
            report_.error(path, move.commandLine,
                          differs("the command", game.command, move.command));
        if (game.linkMove != move.linkMove || game.linkFrame != move.linkFrame)
            report_.error(path, move.linkLine,
                          differs("the link", game.linkMove + " " + std::to_string(game.linkFrame),
                                  move.linkMove + " " + std::to_string(move.linkFrame)));
        if (game.fromMove != move.fromMove || game.fromFrame != move.fromFrame)
            report_.error(path, move.fromLine,
                          differs("the from rule",
                                  game.fromMove + " " + std::to_string(game.fromFrame),
                                  move.fromMove + " " + std::to_string(move.fromFrame)));
        if (game.condition != move.condition)
            report_.error(path, move.conditionLine,
                          differs("the condition", game.condition, move.condition));
        if (move.frames) compareFrames(*move.frames, game.frameSet);
    }
    return true;
}

void loaderCrossCheck::compareFrames(const frameFolder& mine, const CSpriteBase& game) {
    if (!mine.opened) return;
    if (game.frames.size() != mine.frames.size()) {
        report_.error(mine.infoPath, 1,
                      differs("the number of frames", std::to_string(game.frames.size()),
                              std::to_string(mine.frames.size())));
        return;
    }
    for (size_t i = 0; i < mine.frames.size(); ++i) {
        const frameRecord& m = mine.frames[i];
        const spriteFrame& g = game.frames[i];
        std::string name = "frame " + std::to_string(i + 1) + ": ";
        if (m.anchorRead && (g.offsetX != m.offsetX || g.offsetY != m.offsetY))
            report_.error(mine.infoPath, m.anchorLine,
                          name +
                              differs("the anchor",
                                      std::to_string(g.offsetX) + " " + std::to_string(g.offsetY),
                                      std::to_string(m.offsetX) + " " + std::to_string(m.offsetY)));
        if (g.damage != m.damage || g.hitType != m.hitType)
            report_.error(mine.infoPath, m.hitTypeLine,
                          name +
                              differs("damage and hit type",
                                      std::to_string(g.damage) + " " + std::to_string(g.hitType),
                                      std::to_string(m.damage) + " " + std::to_string(m.hitType)));
        if (!m.sound.empty() && g.soundName != m.sound)
            report_.error(mine.infoPath, m.soundLine,
                          name + differs("the sound", g.soundName, m.sound));
        bool sameSpawns = g.partNames.size() == m.spawns.size();
        for (size_t s = 0; sameSpawns && s < m.spawns.size(); ++s)
            sameSpawns = withoutLineEnd(g.partNames[s]) == m.spawns[s].text;
        if (!sameSpawns)
            report_.error(mine.infoPath, m.line,
                          name + "the game's loader reads other spawn lines than the checker did");
    }
    if (!mine.bitmapFailed && !mine.frames.empty() &&
        (game.width != mine.width || game.height != mine.height))
        report_.error(mine.infoPath, 1,
                      differs("the set's size",
                              std::to_string(game.width) + "x" + std::to_string(game.height),
                              std::to_string(mine.width) + "x" + std::to_string(mine.height)));
}
