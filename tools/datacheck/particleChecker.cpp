#include "particleChecker.h"

#include "base/dataLimits.h"
#include "base/textFile.h"
#include "particle/particleFile.h"
#include "particle/particleList.h"
#include "particle/particleListFile.h"

#include <algorithm>
#include <cctype>
#include <utility>

const particleDef* particleChecker::find(const std::string& name) const {
    auto known = byName_.find(name);
    return known == byName_.end() ? nullptr : &defs_[known->second];
}

void particleChecker::check(const std::string& dataFolder) {
    // The list and the definitions are read by the game's own readers; their
    // findings are printed.
    const std::string base = dataFolder + "/particle/";
    particleListFile list;
    listPath_ = base + "default";
    report_.reading(listPath_);
    if (!list.open(base, "default")) {
        report_.error(listPath_, 0,
                      "cannot open the particle list \"default\"; the game loads no particles");
        return;
    }
    const std::vector<listedParticle>& entries = list.readEntries();
    list.finish();
    for (const finding& found : list.findings())
        report_.add(listPath_, found.line, diagnostics::levelOf(found), found.message);

    for (const listedParticle& entry : entries) {
        particleDef def;
        def.name = entry.name;
        def.line = entry.line;
        if (diagnostics::hasControlBytes(entry.name))
            report_.controlBytes(listPath_, entry.line, "particle definition", entry.name);
        if (!dataLimits::nameStaysInside(entry.name)) {
            report_.error(listPath_, entry.line,
                          "particle definition \"" + entry.name +
                              "\" leaves the particle folder; the game never reads it and never "
                              "spawns it");
            def.outside = true;
            defs_.push_back(def);
            continue;
        }
        if (entry.folder != base + entry.name) {
            // A blank line, or one that starts with a blank (reported by the
            // reader): the game loads the particle folder itself as the
            // definition.  Its frames matter only when it has an index, whose
            // bitmaps may stop the game.
            if (textFile(entry.folder + "/info").isOpen()) {
                def.frames = &frames_.check(entry.folder, listPath_, def.line);
                checkSizes(*def.frames);
            }
            if (!entry.name.empty()) {
                if (textFile(entry.folder + "/particle").isOpen())
                    readDefinition(def, entry.folder);
                defs_.push_back(def);
            }
            continue;
        }
        def.frames = &frames_.check(entry.folder, listPath_, def.line);
        checkSizes(*def.frames);
        readDefinition(def, entry.folder);
        defs_.push_back(def);
    }
    for (size_t i = 0; i < defs_.size(); ++i)
        byName_[defs_[i].name] = i;
}

void particleChecker::checkSizes(const frameFolder& set) {
    // A particle's sprite saves the background into a copy of its first
    // frame; a larger frame is drawn over a background that is never restored.
    if (set.frames.empty() || !set.frames[0].decoded) return;
    const bitmapInfo& first = set.frames[0].image;
    for (size_t i = 1; i < set.frames.size(); ++i) {
        const frameRecord& frame = set.frames[i];
        if (!frame.decoded ||
            (frame.image.width <= first.width && frame.image.height <= first.height))
            continue;
        report_.warning(
            set.infoPath, frame.line,
            "frame " + std::to_string(i + 1) + ": " + std::to_string(frame.image.width) + "x" +
                std::to_string(frame.image.height) + " is larger than the first frame (" +
                std::to_string(first.width) + "x" + std::to_string(first.height) +
                "), which sizes the particle's saved background; drawing it leaves "
                "trails");
    }
}

void particleChecker::readDefinition(particleDef& def, const std::string& folder) {
    particleFile file;
    def.file = folder + "/particle";
    report_.reading(def.file);
    if (!file.open(folder)) {
        report_.error(listPath_, def.line,
                      "cannot open " + def.file + "; the definition keeps zero values");
        return;
    }
    def.fileRead = true;
    particleRecord record;
    file.read(record);
    file.finish();
    for (const finding& found : file.findings())
        report_.add(def.file, found.line, diagnostics::levelOf(found), found.message);
    def.lifetime = record.lifetime;
    def.lifetimeLine = file.valueLine(1);
    for (int list = 0; list < eventKinds; ++list) {
        def.eventLine[list] = file.countLine(list);
        for (size_t i = 0; i < record.events[list].size(); ++i)
            def.events[list].push_back({record.events[list][i], file.entryLines(list)[i]});
    }
}

void particleChecker::checkSpawn(const std::string& file, const spawnLine& spawn,
                                 const std::string& context, bool spawned) {
    std::vector<std::string> words = splitWords(spawn.text, 3);
    if (words.empty()) {
        report_.add(file, spawn.line, spawned ? severity::error : severity::warning,
                    context + "empty spawn line names no particle definition");
        return;
    }
    if (!find(words[0])) {
        std::string message =
            context + "no particle definition named \"" + words[0] + "\" in " + listPath_;
        if (spawned) {
            if (words[0] == "NULL")
                message += "; NULL stands for none only as an event list's first entry, written "
                           "exactly";
            report_.error(file, spawn.line, message);
        } else {
            report_.warning(file, spawn.line, message + " (the game never spawns this list)");
        }
    }
    const int far = dataLimits::coordinate;
    for (size_t i = 1; i < words.size(); ++i) {
        const int value = leadingInt(words[i]);
        if (!isPlainNumber(words[i]))
            report_.warning(file, spawn.line,
                            context + "offset \"" + words[i] +
                                "\" is not a number; the game reads " + std::to_string(value));
        else if (value < -far || value > far)
            report_.warning(file, spawn.line,
                            context + "offset " + words[i] + " is outside " + std::to_string(-far) +
                                " .. " + std::to_string(far) + "; the game uses " +
                                std::to_string(value < 0 ? -far : far));
    }
}

void particleChecker::checkEvents() {
    for (size_t i = 0; i < defs_.size(); ++i) {
        const particleDef& def = defs_[i];
        if (find(def.name) != &def)
            report_.warning(listPath_, def.line,
                            "particle definition \"" + def.name + "\" is listed again at line " +
                                std::to_string(find(def.name)->line) +
                                "; the game finds that one, this one is unreachable");
        if (!def.fileRead) continue;
        std::string context = "particle \"" + def.name + "\": ";

        const std::vector<spawnLine>& death = def.events[0];
        bool dies = !death.empty() && death[0].text != "NULL";
        if (dies && def.lifetime <= 0)
            report_.warning(def.file, def.eventLine[0],
                            context + "\"OnDeath\" entries never spawn: with lifetime " +
                                std::to_string(def.lifetime) + " it never dies of age");
        for (size_t e = 0; e < death.size(); ++e) {
            if (!dies) {
                if (e > 0 && death[e].text != "NULL")
                    report_.warning(def.file, death[e].line,
                                    context + "never spawned: the first \"OnDeath\" entry is "
                                              "NULL, so none of the list is");
                continue;
            }
            checkSpawn(def.file, death[e], context);
        }
        for (int list = 1; list < 5; ++list)
            for (const spawnLine& entry : def.events[list])
                if (entry.text != "NULL") checkSpawn(def.file, entry, context, false);

        const std::vector<spawnLine>& enemy = def.events[2];
        const bool hits = !enemy.empty() && enemy[0].text != "NULL";
        if (!hits)
            report_.note(def.file, def.eventLine[2],
                         context + "can never hit: its first \"OnHitEnemy\" entry is NULL, so it "
                                   "passes through enemies");
        // Without an age limit a particle ends only by leaving the stage
        // sideways or by hitting; one that can do neither stays for good,
        // and every spawn of it brings the list nearer its limit.
        bool moves = false;
        if (def.frames)
            for (const frameRecord& frame : def.frames->frames)
                moves = moves || frame.moveX != 0;
        if (def.lifetime <= 0 && def.frames && !def.frames->frames.empty() && !moves && !hits)
            report_.warning(def.file, def.lifetimeLine,
                            context + "never ends: lifetime " + std::to_string(def.lifetime) +
                                ", no frame moves it sideways and it cannot hit, so every one "
                                "spawned stays until the game ends (the game holds at most " +
                                std::to_string(particleList::maxParticles) + ")");
    }
    checkSpawnCycles();
}

namespace {

// Strongly connected groups (Tarjan): within a group every definition
// leads back to every other.  Each definition's group goes to `group`; the
// groups are numbered children first.  The search keeps its own stack of
// definitions and the next edge to follow from each, so a chain of any
// length cannot exhaust the program's stack.  Returns the number of groups.
size_t spawnGroups(const std::vector<std::vector<size_t>>& spawns, std::vector<size_t>& group) {
    const size_t n = spawns.size();
    std::vector<long long> order(n, -1), low(n, 0);
    group.assign(n, n);
    std::vector<size_t> stack;
    std::vector<bool> onStack(n, false);
    std::vector<std::pair<size_t, size_t>> path; // definition, next edge
    long long counter = 0;
    size_t groups = 0;
    for (size_t root = 0; root < n; ++root) {
        if (order[root] >= 0) continue;
        path.push_back({root, 0});
        order[root] = low[root] = counter++;
        stack.push_back(root);
        onStack[root] = true;
        while (!path.empty()) {
            const size_t v = path.back().first;
            size_t& edge = path.back().second;
            if (edge < spawns[v].size()) {
                const size_t w = spawns[v][edge++];
                if (order[w] < 0) {
                    order[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = true;
                    path.push_back({w, 0});
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], order[w]);
                }
                continue;
            }
            path.pop_back();
            if (!path.empty()) low[path.back().first] = std::min(low[path.back().first], low[v]);
            if (low[v] != order[v]) continue;
            for (;;) {
                const size_t w = stack.back();
                stack.pop_back();
                onStack[w] = false;
                group[w] = groups;
                if (w == v) break;
            }
            ++groups;
        }
    }
    return groups;
}

} // namespace

void particleChecker::checkSpawnCycles() {
    // The "OnDeath" spawn graph: an edge from a definition to each
    // definition its list spawns, once per entry.  Only definitions that die
    // of age and whose first entry is not NULL spawn anything.
    const size_t n = defs_.size();
    std::vector<std::vector<size_t>> spawns(n);
    for (size_t i = 0; i < n; ++i) {
        const particleDef& def = defs_[i];
        if (find(def.name) != &def || !def.fileRead || def.lifetime <= 0) continue;
        const std::vector<spawnLine>& death = def.events[0];
        if (death.empty() || death[0].text == "NULL") continue;
        for (const spawnLine& entry : death) {
            std::vector<std::string> words = splitWords(entry.text, 1);
            const particleDef* child = words.empty() ? nullptr : find(words[0]);
            if (child && !child->outside) spawns[i].push_back(size_t(child - defs_.data()));
        }
    }
    std::vector<size_t> group;
    const size_t groups = spawnGroups(spawns, group);
    std::vector<std::vector<size_t>> membersOf(groups);
    for (size_t v = 0; v < n; ++v)
        membersOf[group[v]].push_back(v);
    for (size_t g = 0; g < groups; ++g)
        reportSpawnLoop(spawns, group, membersOf[g], g);
    checkSpawnTrees(spawns, group, membersOf);
}

// A group whose entries are exactly one per member is a plain loop that
// renews itself; any more and it multiplies.
void particleChecker::reportSpawnLoop(const std::vector<std::vector<size_t>>& spawns,
                                      const std::vector<size_t>& group,
                                      const std::vector<size_t>& members, size_t g) {
    size_t inside = 0;
    for (size_t v : members)
        for (size_t w : spawns[v])
            if (group[w] == g) ++inside;
    if (inside == 0) return; // no loop
    std::string loop;
    for (size_t v : members)
        loop += "\"" + defs_[v].name + "\" -> ";
    loop += "\"" + defs_[members[0]].name + "\"";
    const particleDef& first = defs_[members[0]];
    if (inside > members.size())
        report_.error(first.file, first.eventLine[0],
                      "particle \"" + first.name + "\": spawn loop " + loop + " spawns " +
                          std::to_string(inside) + " particles for every " +
                          std::to_string(members.size()) +
                          " that die: they multiply until the game drops new ones at " +
                          std::to_string(particleList::maxParticles) + " live particles");
    else
        report_.warning(first.file, first.eventLine[0],
                        "particle \"" + first.name + "\": spawn loop " + loop +
                            " renews itself: once spawned, these particles never all die");
}

void particleChecker::checkSpawnTrees(const std::vector<std::vector<size_t>>& spawns,
                                      const std::vector<size_t>& group,
                                      const std::vector<std::vector<size_t>>& membersOf) {
    // Without a loop a spawn still multiplies: a definition whose death
    // spawns two, each of which spawns two, and so on, ends in a last
    // generation of 2^n.  Children are born as their parent dies, so that
    // last generation (the tree's leaves) can be alive at once.  The
    // groups come children first; a loop (reported above) counts as one.
    const long long cap = particleList::maxParticles;
    const long long most = 1ll << 40; // counts stop growing here
    std::vector<long long> leaves(defs_.size(), 1);
    for (size_t g = 0; g < membersOf.size(); ++g) {
        if (membersOf[g].size() != 1) continue;
        const size_t v = membersOf[g][0];
        long long sum = 0;
        bool loop = false;
        for (size_t w : spawns[v]) {
            if (group[w] == g) loop = true;
            sum = std::min(most, sum + leaves[w]);
        }
        if (loop || spawns[v].empty()) continue;
        leaves[v] = sum;
        if (sum <= cap) continue;
        // Reported where it first passes the limit: at the definition
        // none of whose follow-ups passes it alone.
        bool childPasses = false;
        for (size_t w : spawns[v])
            childPasses = childPasses || leaves[w] > cap;
        if (childPasses) continue;
        const particleDef& def = defs_[v];
        report_.error(def.file, def.eventLine[0],
                      "particle \"" + def.name + "\": its \"OnDeath\" follow-ups multiply to " +
                          (sum >= most ? std::string("more than ") + std::to_string(most)
                                       : std::to_string(sum)) +
                          " particles alive at once, with no loop: the game drops new ones at " +
                          std::to_string(cap) + " live particles");
    }
}
