#include "dataChecker.h"

#include "sprite/paletteFile.h"

#include "base/platform.h"
#include "cornerRule.h"
#include "loaderCrossCheck.h"
#include "moveRules.h"
#include "sprite/CSpriteBase.h"
#include "sprite/decodedImage.h"
#include "sprite/paletteFile.h"

#include <algorithm>
#include <new>
#include <set>

namespace {

std::string frameName(size_t index) {
    return "frame " + std::to_string(index + 1) + ": ";
}

std::string size(int w, int h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

} // namespace

dataChecker::dataChecker(diagnostics& report)
    : report_(report), frames_(report), sounds_(report), particles_(report, frames_),
      anims_(report, frames_), moves_(report, frames_), attacks_(report) {}

void dataChecker::run(const std::string& dataFolder) {
    // Data can ask for more memory than the machine has (huge counts, huge
    // images); the checker says so instead of ending.
    try {
        checkAll(dataFolder);
    } catch (const std::bad_alloc&) {
        report_.error(dataFolder, 0,
                      "the checker ran out of memory reading this data; the game would too");
    }
}

void dataChecker::checkAll(const std::string& dataFolder) {
    std::string data = dataFolder;
    while (data.size() > 1 && data.back() == '/')
        data.pop_back();
    if (!platform::directoryExists(data)) {
        report_.error(data, 0, "cannot open the data folder");
        return;
    }
    std::string characterFolder = data + "/" + character;

    bitmapChecker bitmaps;
    bitmapInfo background;
    std::string problem;
    if (!bitmaps.check(data + "/tBG2.bmp", -1, 0, 0, background, problem))
        report_.error(data + "/tBG2.bmp", 0,
                      "background bitmap: " + problem + "; the game stops with exit code 1");
    checkBar(frames_.check(data + "/hpBar", data + "/hpBar/info", 0, false));

    sounds_.checkCommon(data + "/soundSet");
    sounds_.checkCharacter(characterFolder + "/sound");
    particles_.check(data);
    anims_.check(characterFolder);
    moves_.check(characterFolder);
    attacks_.check(characterFolder + "/ai");
    checkSecondPalette(characterFolder);

    particles_.checkEvents();
    checkRequiredNames();
    moveRules rules(report_, moves_);
    rules.checkReferences();
    rules.checkConditions();
    rules.checkCommands(attacks_.performedMoves());
    cornerRule::check(report_, characterFolder, moves_);
    attacks_.checkNames(moves_);

    std::vector<const frameFolder*> folders = characterFolders();
    checkBlank(folders);
    checkAnchors(folders);
    checkFrameReferences(folders);

    // Past the frames' memory budget the game stops while loading: its
    // loaders are not run up to it again.
    const bool withinBudget = checkFrameBudget(data);
    loaderCrossCheck game(report_, frames_);
    if (withinBudget) game.character(characterFolder, anims_, moves_);
    game.sounds(data + "/soundSet", characterFolder + "/sound", sounds_);
    game.attackTable(characterFolder + "/ai", attacks_);
    if (withinBudget) game.particles(data, particles_);
}

bool dataChecker::checkFrameBudget(const std::string& data) {
    // The frame sets in the order the game loads them, each as often as it
    // is loaded: the animations, the moves, the particle definitions (the
    // resource loader, which stops the game), then the bar (the plain one).
    std::vector<const frameFolder*> sets;
    for (const animEntry& anim : anims_.animations())
        if (anim.frames) sets.push_back(anim.frames);
    for (const moveRecord& move : moves_.moves())
        if (move.frames) sets.push_back(move.frames);
    for (const particleDef& def : particles_.definitions())
        if (def.frames) sets.push_back(def.frames);
    const frameFolder* bar = frames_.find(data + "/hpBar");
    if (bar) sets.push_back(bar);

    // Every set stays loaded: an image counts once, with the first frame
    // that shows it, however many entries and sets show it after.
    long long inUse = 0;
    std::set<std::string> held;
    for (const frameFolder* set : sets) {
        // A bitmap that cannot be read stops the game (or the bar's loading)
        // there first.
        std::set<std::string> shown;
        for (size_t i = 0; i < set->frames.size(); ++i) {
            const frameRecord& frame = set->frames[i];
            if (!frame.decoded) break;
            if (!shown.insert(frame.imageKey).second) continue;
            const std::string key =
                decodedImage::sharedKeyOf(frame.file, frame.conversion, set != bar);
            if (!key.empty() && held.count(key)) continue;
            const long long cost = CSpriteBase::frameCost(frame.image.width, frame.image.height);
            if (inUse + cost > CSpriteBase::decodedBudget) {
                report_.error(set->infoPath, frame.line,
                              "frame " + std::to_string(i + 1) + ": bitmap " + set->path + "/" +
                                  frame.bitmap + ": " + CSpriteBase::overBudget(inUse, cost) +
                                  (set == bar ? "; the game stops loading the bar there"
                                              : "; the game stops with exit code 1"));
                return set == bar;
            }
            inUse += cost;
            if (!key.empty()) held.insert(key);
        }
        if (set != bar && set->bitmapFailed) return true;
    }
    return true;
}

void dataChecker::checkSecondPalette(const std::string& characterFolder) {
    // Optional: without it player 2 wears the character's own colours.
    const std::string path = characterFolder + "/" + paletteFile::name;
    paletteFile file;
    if (!file.open(path)) return;
    file.readSwaps();
    file.finish();
    for (const finding& found : file.findings())
        report_.add(path, found.line, diagnostics::levelOf(found), found.message);
}

void dataChecker::checkBar(const frameFolder& bar) {
    // Start-up places the hit-point bar 10 pixels in and 5 down, 360 by 20,
    // inside the bar's frame; the first frame gives the set its size.
    if (bar.frames.empty() || !bar.frames[0].decoded) return;
    const bitmapInfo& first = bar.frames[0].image;
    if (first.width >= 370 && first.height >= 25) return;
    report_.warning(bar.infoPath, bar.frames[0].line,
                    "frame 1: " + size(first.width, first.height) +
                        " is smaller than the hit-point bar, which needs 370x25 (a 360x20 bar at "
                        "10, 5); the bar is cut to fit");
}

void dataChecker::checkRequiredNames() {
    if (!anims_.path().empty() && anims_.headerLine() > 0) {
        for (const char* name : {"blank", "walk", "running", "duck", "inAir", "standing"}) {
            if (anims_.find(name)) continue;
            std::string instead =
                anims_.animations().empty()
                    ? "has nothing to show"
                    : "shows the first animation (\"" + anims_.animations()[0].name + "\") instead";
            report_.error(anims_.path(), anims_.headerLine(),
                          std::string("no animation named \"") + name + "\"; the game " + instead);
        }
    }
    if (moves_.headerLine() > 0) {
        for (const char* name :
             {"hit1", "blockHi", "blockLo", "blockAir", "backJump", "airBack", "airForward"}) {
            if (moves_.find(name)) continue;
            std::string instead =
                moves_.moves().empty()
                    ? "has no move to perform"
                    : "performs the first move (\"" + moves_.moves()[0].name + "\") instead";
            report_.error(moves_.path(), moves_.headerLine(),
                          std::string("no move named \"") + name + "\"; the game " + instead);
        }
    }
}

std::vector<const frameFolder*> dataChecker::characterFolders() const {
    std::vector<const frameFolder*> folders;
    auto add = [&](const frameFolder* folder) {
        if (folder && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    };
    for (const animEntry& anim : anims_.animations())
        add(anim.frames);
    for (const moveRecord& move : moves_.moves())
        add(move.frames);
    return folders;
}

void dataChecker::checkBlank(const std::vector<const frameFolder*>& folders) {
    const animEntry* blank = anims_.find("blank");
    if (!blank || !blank->frames || blank->frames->frames.empty()) return;
    const frameFolder& set = *blank->frames;
    const frameRecord& first = set.frames[0];
    if (!first.decoded) return;
    if (!first.image.keyed)
        report_.warning(set.infoPath, first.line,
                        "the first frame of \"blank\" has no colour key (red below 0), so it is "
                        "drawn opaque; it must be fully transparent");
    else if (first.image.opaquePixels > 0)
        report_.warning(set.infoPath, first.line,
                        "the first frame of \"blank\" is not fully transparent (" +
                            std::to_string(first.image.opaquePixels) +
                            " pixels differ from the colour key)");
    int w = first.image.width, h = first.image.height;
    for (const frameFolder* folder : folders)
        for (size_t i = 0; i < folder->frames.size(); ++i) {
            const frameRecord& frame = folder->frames[i];
            if (!frame.decoded || (frame.image.width <= w && frame.image.height <= h)) continue;
            report_.warning(folder->infoPath, frame.line,
                            frameName(i) + size(frame.image.width, frame.image.height) +
                                " is larger than the first frame of \"blank\" (" + size(w, h) +
                                "), which sizes the fighter's saved background; drawing it "
                                "leaves trails");
        }
}

void dataChecker::checkAnchors(const std::vector<const frameFolder*>& folders) {
    const frameFolder* refFolder = nullptr;
    const frameRecord* ref = nullptr;
    for (const frameFolder* folder : folders)
        if (!folder->frames.empty() && folder->frames[0].anchorRead) {
            refFolder = folder;
            ref = &folder->frames[0];
            break;
        }
    if (!ref) return;
    std::string where = refFolder->infoPath + ":" + std::to_string(ref->anchorLine);
    for (const frameFolder* folder : folders)
        for (size_t i = 0; i < folder->frames.size(); ++i) {
            const frameRecord& frame = folder->frames[i];
            if (!frame.anchorRead ||
                (frame.offsetX == ref->offsetX && frame.offsetY == ref->offsetY))
                continue;
            report_.warning(folder->infoPath, frame.anchorLine,
                            frameName(i) + "anchor (" + std::to_string(frame.offsetX) + ", " +
                                std::to_string(frame.offsetY) +
                                ") differs from the character's anchor (" +
                                std::to_string(ref->offsetX) + ", " + std::to_string(ref->offsetY) +
                                ") at " + where + "; the fighter jumps when this frame shows");
        }
}

void dataChecker::checkFrameReferences(const std::vector<const frameFolder*>& folders) {
    for (const frameFolder* folder : folders)
        for (size_t i = 0; i < folder->frames.size(); ++i) {
            const frameRecord& frame = folder->frames[i];
            if (!frame.sound.empty() && frame.sound != "NULL" && !sounds_.has(frame.sound))
                report_.error(folder->infoPath, frame.soundLine,
                              frameName(i) + "sound \"" + frame.sound +
                                  "\" is in neither sound list; the game plays nothing" +
                                  (frame.sound == "null" || frame.sound == "Null"
                                       ? " (write NULL for none)"
                                       : ""));
            for (const spawnLine& spawn : frame.spawns)
                particles_.checkSpawn(folder->infoPath, spawn, frameName(i));
            // The controller spawns a frame's particles only when the first
            // spawn line differs from the one of the frame shown before.
            if (i > 0 && !frame.spawns.empty() && !folder->frames[i - 1].spawns.empty() &&
                frame.spawns[0].text == folder->frames[i - 1].spawns[0].text)
                report_.warning(folder->infoPath, frame.spawns[0].line,
                                frameName(i) + "spawns nothing: its first spawn line is the "
                                               "previous frame's, and particles only spawn when "
                                               "it changes");
        }
}
