// Checks the particle definitions: the list file "default" under particle/,
// each definition's frame folder and its "particle" file (both files read by
// the game's own readers), and the spawn lines that name definitions (event
// lists here, frames of moves elsewhere).
#pragma once

#include "diagnostics.h"
#include "frameFolderChecker.h"

#include <string>
#include <unordered_map>
#include <vector>

struct particleDef {
    std::string name; // first word of its list line
    int line = 0;     // its list line
    std::string file; // its "particle" file
    bool fileRead = false;
    int lifetime = 0;
    int lifetimeLine = 0;
    std::vector<spawnLine> events[5];   // OnDeath, OnHitPlayer, OnHitEnemy, OnHitTarget, OnHitAlly
    int eventLine[5] = {0, 0, 0, 0, 0}; // the count line of each list
    const frameFolder* frames = nullptr;
    bool outside = false; // its name leaves the particle folder: never loaded
};

class particleChecker {
  public:
    particleChecker(diagnostics& report, frameFolderChecker& frames)
        : report_(report), frames_(frames) {}

    // Reads particle/default under the data folder and every definition.
    void check(const std::string& dataFolder);
    // Event lists against the definitions; call after check.
    void checkEvents();
    // A spawn line of a frame or an event list; spawned: the game does
    // spawn from it (a missing definition then is an error).
    void checkSpawn(const std::string& file, const spawnLine& spawn, const std::string& context,
                    bool spawned = true);

    // The game's look-up: the last definition loaded under that name.
    const particleDef* find(const std::string& name) const;
    const std::vector<particleDef>& definitions() const { return defs_; }
    const std::string& listPath() const { return listPath_; }

  private:
    void readDefinition(particleDef& def, const std::string& folder);
    void checkSizes(const frameFolder& set);
    // "OnDeath" lists that lead back to their own definition.
    void checkSpawnCycles();
    // Spawn trees without a loop whose last generation passes the limit.
    // The loop, if any, within one group of definitions that lead to
    // each other (group g, its members).
    void reportSpawnLoop(const std::vector<std::vector<size_t>>& spawns,
                         const std::vector<size_t>& group, const std::vector<size_t>& members,
                         size_t g);
    void checkSpawnTrees(const std::vector<std::vector<size_t>>& spawns,
                         const std::vector<size_t>& group,
                         const std::vector<std::vector<size_t>>& membersOf);

    diagnostics& report_;
    frameFolderChecker& frames_;
    std::vector<particleDef> defs_;
    std::unordered_map<std::string, size_t> byName_; // the last definition of each name
    std::string listPath_;
};
