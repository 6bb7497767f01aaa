#include "loaderCrossCheck.h"

#include "ai/aiAttackList.h"
#include "base/fatal.h"
#include "base/platform.h"
#include "base/seams.h"
#include "base/textFile.h"
#include "fighter/animationSet.h"
#include "fighter/moveSet.h"
#include "particle/partInfoList.h"
#include "particle/particleFile.h"
#include "sound/soundSet.h"
#include "sprite/CSpriteBase.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <ostream>
#include <sstream>
#include <unordered_map>
#include <utility>

namespace {

// What a loader said when it stopped the game.
struct gameStopped {
    std::string message;
};

void throwStop(const std::string& message, fatal::Channel) {
    throw gameStopped{message};
}

// While alive, the game's trace is kept (its error channel dropped), and a
// fatal stop throws gameStopped instead of ending the checker.  The working
// folder and the fatal handler found (a test's, say) are put back at the end.
// Frames load under a memory budget of their own, as in a fresh game:
// whatever the process holds already (the workbench's shown character)
// does not count.
class loaderRun {
  public:
    loaderRun() : traceBefore_(&seams::trace()), errorsBefore_(&seams::errors()) {
        seams::setTraceStream(&trace_);
        seams::setErrorStream(&sink_);
        handlerBefore_ = fatal::setHandler(throwStop);
    }
    ~loaderRun() {
        fatal::setHandler(handlerBefore_);
        // Whoever listened to the trace before gets it back.
        seams::setTraceStream(traceBefore_);
        seams::setErrorStream(errorsBefore_);
        directory_.returnTo();
    }
    std::string trace() const { return trace_.str(); }

  private:
    platform::heldDirectory directory_; // held open: no path to read back
    CSpriteBase::separateBudget budget_;
    std::ostringstream trace_;
    std::ostream sink_{nullptr}; // no buffer: every write is dropped
    std::ostream* traceBefore_;
    std::ostream* errorsBefore_;
    fatal::Handler handlerBefore_ = nullptr;
};

// The frame folder being loaded when the trace ends, and how many of its
// frames were loaded ("" when no frame set was being loaded).
std::pair<std::string, int> lastFrameSet(const std::string& trace) {
    const std::string loading = "loading ";
    size_t at = trace.rfind("\n" + loading);
    if (at == std::string::npos) {
        if (trace.compare(0, loading.size(), loading) != 0) return {"", 0};
        at = 0;
    } else {
        ++at;
    }
    size_t end = trace.find(": ", at);
    if (end == std::string::npos) return {"", 0};
    std::string folder = trace.substr(at + loading.size(), end - at - loading.size());
    int loaded = 0;
    for (size_t next = trace.find("\nloaded frame ", end); next != std::string::npos;
         next = trace.find("\nloaded frame ", next + 1))
        ++loaded;
    return {folder, loaded};
}

std::string withoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// The key and move names of the link or cancel groups the file's order makes.
std::vector<linkGroup> groupsOf(const std::vector<attackEntry>& entries, bool links) {
    std::vector<linkGroup> groups;
    for (const attackEntry& entry : entries) {
        const std::string& key = links ? entry.linkFrom : entry.cancelFrom;
        if (groups.empty() || groups.back().key != key) groups.push_back({0, key, {}});
        groups.back().moveNames.push_back(entry.moveName);
        groups.back().numMoves++;
    }
    return groups;
}

std::string describe(const std::vector<linkGroup>& groups) {
    std::string out;
    for (const linkGroup& group : groups) {
        out += (out.empty() ? "" : "; ") + group.key + ":";
        for (const std::string& name : group.moveNames)
            out += " " + name;
    }
    return out;
}

std::string counts(const aiAttackNumbers& n) {
    return "S " + std::to_string(n.numShort) + ", M " + std::to_string(n.numMid) + ", L " +
           std::to_string(n.numLong) + ", U " + std::to_string(n.numUp) + ", D " +
           std::to_string(n.numDown);
}

std::string differs(const std::string& what, const std::string& game, const std::string& mine) {
    return "the game's loader reads " + what + " \"" + game + "\" where the checker read \"" +
           mine + "\"";
}

} // namespace

bool loaderCrossCheck::character(const std::string& characterFolder,
                                 const animationIndexChecker& anims, const movesetChecker& moves) {
    if (!SDL_GetVideoSurface()) return false;

    animationSet gameAnims;
    if (run(anims.path(), "", [&] { gameAnims.loadAll(characterFolder.c_str()); }))
        compareAnimations(anims, gameAnims);
    moveSet gameMoves;
    if (run(moves.path(), "", [&] { gameMoves.loadAll(characterFolder.c_str()); }))
        compareMoves(moves, gameMoves);
    return true;
}

void loaderCrossCheck::compareAnimations(const animationIndexChecker& anims,
                                         animationSet& gameAnims) {
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
}

void loaderCrossCheck::compareMoves(const movesetChecker& moves, moveSet& gameMoves) {
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
}

bool loaderCrossCheck::run(const std::string& indexFile, const std::string& folderPrefix,
                           const std::function<void()>& load) {
    std::string trace;
    try {
        loaderRun running;
        try {
            load();
            return true;
        } catch (const gameStopped&) {
            trace = running.trace();
            throw;
        }
    } catch (const gameStopped& stop) {
        // Name the frame the loader was reading when it stopped; a stop the
        // checker's own reading already gave for that frame is not repeated.
        std::string file = indexFile;
        int line = 0;
        const auto [folder, loaded] = lastFrameSet(trace);
        if (!folder.empty()) {
            const frameFolder* set = frames_.find(folderPrefix + folder);
            file = folderPrefix + folder + "/info";
            if (set && loaded < static_cast<int>(set->frames.size())) {
                const frameRecord& frame = set->frames[loaded];
                if (!frame.decoded) return false;
                line = frame.line;
            }
        }
        report_.error(file, line, "the game stops: " + withoutTrailingNewlines(stop.message));
    }
    return false;
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
            sameSpawns = text::withoutLineEnd(g.partNames[s]) == m.spawns[s].text;
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

bool loaderCrossCheck::sounds(const std::string& commonFolder, const std::string& characterFolder,
                              const soundListChecker& mine) {
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) == 0) return false;
    soundSet game;
    if (!run(commonFolder + "/sound", "", [&] {
            game.getList(commonFolder.c_str());
            game.addToList(characterFolder.c_str());
        }))
        return true;
    for (const soundName& sound : mine.names()) {
        if (!sound.loads) continue;
        soundEntry* entry = game.find(sound.name);
        if (!entry)
            report_.error(sound.list, sound.line,
                          "the game's sound set holds no sound \"" + sound.name + "\"");
        else if (!entry->chunk)
            report_.error(sound.list, sound.line,
                          "SDL_mixer cannot load sound \"" + sound.name +
                              "\" on the audio device: " + Mix_GetError());
    }
    return true;
}

bool loaderCrossCheck::attackTable(const std::string& aiFolder, const attackFileChecker& mine) {
    aiAttackList game;
    if (!run(mine.path(), "", [&] { game.getList(aiFolder.c_str()); })) return true;
    const aiAttackNumbers* gameCounts[2] = {&game.groundNums, &game.aerialNums};
    for (int i = 0; i < 2; ++i) {
        int section = i == 0 ? 0 : 2;
        aiAttackNumbers counted;
        for (const attackEntry& entry : mine.section(section))
            if (!entry.range.empty()) counted.addNum(entry.range[0]);
        if (counts(counted) != counts(*gameCounts[i]))
            report_.error(
                mine.path(), mine.section(section).empty() ? 0 : mine.section(section)[0].line,
                "the game's attack table counts " + counts(*gameCounts[i]) + " in section " +
                    std::to_string(section + 1) + " where the checker counts " + counts(counted));
    }
    for (bool links : {false, true}) {
        const std::vector<attackEntry>& entries = mine.section(links ? 5 : 4);
        if (entries.empty()) continue;
        std::vector<linkGroup> expected = groupsOf(entries, links);
        const std::vector<linkGroup>& built = links ? game.linkGroups : game.cancelGroups;
        if (describe(built) != describe(expected))
            report_.error(mine.path(), entries[0].line,
                          std::string("the game's attack table groups its ") +
                              (links ? "links" : "cancels") + " as \"" + describe(built) +
                              "\" where the checker groups \"" + describe(expected) + "\"");
    }
    return true;
}

bool loaderCrossCheck::particles(const std::string& dataFolder, const particleChecker& mine) {
    if (!SDL_GetVideoSurface()) return false;
    std::string parent;
    if (dataFolder == "data")
        parent = ".";
    else if (dataFolder.size() > 5 && dataFolder.compare(dataFolder.size() - 5, 5, "/data") == 0)
        parent = dataFolder.substr(0, dataFolder.size() - 5);
    else
        return false;
    if (parent.empty()) parent = "/";
    if (!platform::directoryExists(parent)) return false;
    // The game's paths start at "data": the folder above it is their prefix.
    const std::string prefix = parent == "." ? "" : parent + "/";
    partInfoList game;
    if (!run(mine.listPath(), prefix, [&] {
            platform::changeDirectory(parent);
            game.addList("default", SDL_GetVideoSurface());
        }))
        return true;

    // The game's look-up, walked once: the first node of a name (the last
    // loaded) is the one it finds.
    std::unordered_map<std::string, particleInfo*> found;
    for (partInfoList::node* at = game.head; at; at = at->next)
        found.emplace(at->name, &at->info);
    for (const particleDef& def : mine.definitions()) {
        if (mine.find(def.name) != &def) continue;
        auto known = found.find(def.name);
        particleInfo* info = known == found.end() ? nullptr : known->second;
        if (!info) {
            report_.error(mine.listPath(), def.line,
                          "the game's particle list has no definition \"" + def.name + "\"");
            continue;
        }
        if (!def.fileRead) continue;
        if (info->lifetime != def.lifetime)
            report_.error(def.file, def.lifetimeLine,
                          differs("the lifetime", std::to_string(info->lifetime),
                                  std::to_string(def.lifetime)));
        for (int list = 0; list < 5; ++list) {
            std::string gameEntries, myEntries;
            for (const std::string& entry : info->eventParts[list])
                gameEntries += entry + "|";
            for (const spawnLine& entry : def.events[list])
                myEntries += entry.text + "|";
            if (gameEntries != myEntries)
                report_.error(
                    def.file, def.eventLine[list],
                    differs(std::string("the \"") + particleFile::eventName(list) + "\" list",
                            gameEntries, myEntries));
        }
    }
    return true;
}
