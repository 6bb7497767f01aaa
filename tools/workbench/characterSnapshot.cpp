#include "characterSnapshot.h"

#include "stopGuard.h"

#include "base/platform.h"
#include "base/textFile.h"
#include "sprite/frameIndex.h"

namespace {

// A particle name that stays inside the particle folder.
bool plainName(const std::string& name) {
    return !name.empty() && name != "NULL" && name[0] != '.' &&
           name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

} // namespace

characterSnapshot::~characterSnapshot() {
    if (stage) SDL_FreeSurface(stage);
}

std::unique_ptr<characterSnapshot> characterSnapshot::load(const std::string& dataFolder) {
    // The game loads its frames under a budget; the character shown until
    // now does not count against the fresh load, as it would not in a game.
    CSpriteBase::separateBudget budget;
    auto loaded = std::make_unique<characterSnapshot>();
    const std::string folder = dataFolder + "/" + character;
    loaded->anims.loadAll(folder.c_str());
    if (loaded->anims.animList.empty())
        throw loadStopped{"no animations in " + folder + "/info: the game cannot start"};
    loaded->moves.loadAll(folder.c_str());

    for (const animation& anim : loaded->anims.animList) {
        loaded->readFileNames(folder + "/" + anim.animName, anim.frameSet);
        loaded->loadParticles(dataFolder, anim.frameSet);
    }
    for (const moveInfo& move : loaded->moves.moves) {
        loaded->readFileNames(folder + "/" + move.name, move.frameSet);
        loaded->loadParticles(dataFolder, move.frameSet);
    }
    loaded->loadStage(dataFolder);
    loaded->loadParticleDefs(dataFolder);
    return loaded;
}

const std::vector<std::string>& characterSnapshot::fileNames(const CSpriteBase* set) const {
    static const std::vector<std::string> none;
    auto found = files_.find(set);
    return found == files_.end() ? none : found->second;
}

void characterSnapshot::readFileNames(const std::string& folder, const CSpriteBase& set) {
    // The frame index read again by the game's own reader, entry for entry
    // as the loader did; only the bitmap names are kept.
    frameIndex index;
    if (!index.open(folder)) return;
    std::vector<std::string>& names = files_[&set];
    frameEntry entry;
    for (int number = 0; number < index.announced() && index.next(entry); ++number)
        names.push_back(entry.bitmap);
}

void characterSnapshot::loadParticles(const std::string& dataFolder, const CSpriteBase& set) {
    for (const spriteFrame& frame : set.frames)
        for (const std::string& line : frame.partNames) {
            std::vector<std::string> words = text::splitWords(line, 1);
            if (words.empty() || !plainName(words[0]) || particles.count(words[0])) continue;
            const std::string folder = dataFolder + "/particle/" + words[0];
            if (!platform::directoryExists(folder)) continue;
            auto frames = std::make_unique<CSpriteBase>();
            if (frames->initR(folder.c_str()) == 0 && frames->hasFrame(0))
                particles[words[0]] = std::move(frames);
        }
}

void characterSnapshot::loadStage(const std::string& dataFolder) {
    std::vector<unsigned char> bytes;
    if (platform::readWholeFile(dataFolder + "/tBG2.bmp", bytes) != platform::ReadResult::Ok)
        return;
    SDL_Surface* decoded = CSpriteBase::decodeBitmap(bytes);
    if (!decoded) return;
    stage = SDL_DisplayFormat(decoded);
    SDL_FreeSurface(decoded);
}

void characterSnapshot::loadParticleDefs(const std::string& dataFolder) {
    // The game reads "data/particle/..." from the folder above its data
    // folder; the list is read from there, and the working folder restored.
    const size_t slash = dataFolder.find_last_of('/');
    const std::string base = slash == std::string::npos ? dataFolder : dataFolder.substr(slash + 1);
    if (base != "data" || !platform::directoryExists(dataFolder + "/particle")) return;
    const std::string parent = slash == std::string::npos ? "." : dataFolder.substr(0, slash);
    const platform::heldDirectory here;
    if (!platform::changeDirectory(parent.empty() ? "/" : parent)) return;
    try {
        particleDefs.addList("default", SDL_GetVideoSurface());
    } catch (...) {
        here.returnTo();
        throw;
    }
    here.returnTo();
}
