#include "attackFileChecker.h"

#include <cctype>
#include <map>

namespace {

const char* const sectionNames[6] = {"ground", "second", "aerial", "fourth", "cancel", "link"};

std::string sectionName(int section) {
    return std::string("section ") + std::to_string(section + 1) + " (" + sectionNames[section] +
           ")";
}

// Position of a range letter in the band order S, M, L, U, D; -1: none.
int band(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'S':
        return 0;
    case 'M':
        return 1;
    case 'L':
        return 2;
    case 'U':
        return 3;
    case 'D':
        return 4;
    }
    return -1;
}

} // namespace

void attackFileChecker::check(const std::string& aiFolder) {
    attackFile file;
    path_ = aiFolder + "/attack";
    report_.reading(path_);
    if (!file.open(aiFolder)) {
        report_.error(path_, 0, "cannot open the attack file; the computer opponent never attacks");
        return;
    }
    for (std::vector<attackEntry>& section : sections_)
        section = file.readEntries(file.readCount());
    file.finish();
    for (const finding& found : file.findings())
        report_.add(path_, found.line, diagnostics::levelOf(found), found.message);
    checkBands(0);
    checkBands(2);
    checkKeys(4, false);
    checkKeys(5, true);
}

void attackFileChecker::checkBands(int section) {
    static const char order[] = "SMLUD";
    int highest = -1;
    for (const attackEntry& entry : sections_[section]) {
        if (entry.range.empty()) continue;
        int at = band(entry.range[0]);
        if (at < 0) {
            report_.warning(path_, entry.line + 1,
                            "range \"" + entry.range +
                                "\" is none of S, M, L, U, D: it is counted in no band, yet "
                                "lookups by position can pick this entry for another band");
            continue;
        }
        if (at < highest) {
            report_.warning(path_, entry.line + 1,
                            sectionName(section) + ": range " + std::string(1, order[at]) +
                                " after range " + std::string(1, order[highest]) +
                                "; entries must be grouped S, M, L, U, D because lookups pick "
                                "them by position");
            continue;
        }
        highest = at;
    }
}

void attackFileChecker::checkKeys(int section, bool links) {
    const std::vector<attackEntry>& entries = sections_[section];
    std::map<std::string, int> firstRun; // key -> line of its first entry
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& key = links ? entries[i].linkFrom : entries[i].cancelFrom;
        int keyLine = entries[i].line + (links ? 2 : 3);
        bool continuesRun =
            i > 0 && (links ? entries[i - 1].linkFrom : entries[i - 1].cancelFrom) == key;
        // A blank key line (reported by the reader) is never looked up.
        if (continuesRun || key.empty()) continue;
        auto seen = firstRun.find(key);
        if (seen != firstRun.end()) {
            report_.warning(path_, keyLine,
                            std::string(links ? "link" : "cancel") + " key \"" + key +
                                "\" already had entries (from line " +
                                std::to_string(seen->second) +
                                "); entries with the same key must stand together, lookups only "
                                "reach the first group");
            continue;
        }
        firstRun[key] = entries[i].line;
    }
}

void attackFileChecker::checkNames(const movesetChecker& moves) {
    for (int section = 0; section < 6; ++section) {
        bool used = section != 1 && section != 3;
        for (const attackEntry& entry : sections_[section]) {
            if (!entry.moveName.empty() && !moves.find(entry.moveName)) {
                std::string message = "move \"" + entry.moveName + "\" is not in " + moves.path();
                if (used)
                    report_.error(path_, entry.line,
                                  message + "; the opponent would perform the first move of the "
                                            "file instead");
                else
                    report_.note(path_, entry.line,
                                 message + " (" + sectionName(section) + " is never read)");
            }
            if (section == 4 || section == 5) {
                const std::string& key = section == 5 ? entry.linkFrom : entry.cancelFrom;
                int keyLine = entry.line + (section == 5 ? 2 : 3);
                if (!key.empty() && !moves.find(key))
                    report_.warning(path_, keyLine,
                                    std::string(section == 5 ? "link" : "cancel") + " key \"" +
                                        key + "\" is not a move; this entry is never picked");
            }
        }
    }
}

std::set<std::string> attackFileChecker::performedMoves() const {
    std::set<std::string> names;
    for (int section : {0, 2, 4, 5})
        for (const attackEntry& entry : sections_[section])
            names.insert(entry.moveName);
    return names;
}
