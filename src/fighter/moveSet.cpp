#include "fighter/moveSet.h"

#include "base/dataLimits.h"
#include "base/seams.h"
#include "fighter/moveFile.h"

int moveSet::loadAll(const char* folderPath) {
    folder = folderPath ? folderPath : "";
    moveFile file;
    if (!file.open(folder)) {
        seams::trace() << "ERROR opening file " << file.path() << "\n\n";
        return 1;
    }

    // The header's count is only a promise: records are added as the file
    // really supplies them, so a wild count never allocates more than the
    // file holds.  Nobody holds pointers into the list while it grows.
    moves.clear();
    for (int i = 0; i < file.announced(); ++i) {
        moveEntry entry;
        if (!file.next(entry)) break;
        moves.emplace_back();
        int index = static_cast<int>(moves.size()) - 1;
        seams::trace() << "Lets Rock!: " << entry.name << '\n';
        if (dataLimits::nameStaysInside(entry.name)) {
            loadAnim(index, entry.name);
        } else {
            // A folder outside the character's is never read: the move has
            // no frames, as with a missing folder.
            moves[index].name = entry.name;
            seams::trace() << file.path() << ":" << entry.line << ": move \"" << entry.name
                           << "\" leaves the character folder; treated as missing\n";
        }
        seams::trace() << "Loaded!\n";

        // The texts of a record read start empty: a word line left blank or
        // cut off leaves its field empty, which no running move or condition
        // ever matches, so a damaged record is never performed by accident.
        moveInfo& move = moves[index];
        move.command = entry.command;
        seams::trace() << "Command: " << move.command << '\n';
        move.linkMove = entry.linkMove;
        move.linkFrame = entry.linkFrame;
        move.fromMove = entry.fromMove;
        move.fromFrame = entry.fromFrame;
        move.condition = entry.condition;
        seams::trace() << "Condition: " << move.condition << '\n';
    }
    count = static_cast<int32_t>(moves.size());
    return 1;
}

void moveSet::loadAnim(int index, const std::string& name) {
    if (index < 0 || index >= static_cast<int>(moves.size())) return;
    moveInfo& move = moves[index];
    move.name = name;
    std::string path = folder + "/" + name;
    seams::trace() << "load folder " << path << '\n';
    move.frameSet.initR(path.c_str());
}

int moveSet::find(const std::string& name) {
    for (size_t i = 0; i < moves.size(); ++i) {
        seams::trace() << "Comparing " << moves[i].name << " with " << name << '\n';
        if (moves[i].name == name) return static_cast<int>(i);
    }
    // Intended: an unknown name gives the first move of the file.
    return 0;
}

moveInfo& moveSet::returnMove(const std::string& name) {
    if (moves.empty()) return emptyMove_;
    return moves[find(name)];
}

CSpriteBase& moveSet::returnAnimation(const std::string& name) {
    return returnMove(name).frameSet;
}

moveList moveSet::returnMoveList(const std::string& key) {
    seams::trace() << "lets make a list, total is : " << count << '\n';
    moveList list;
    if (key.empty()) return list;
    for (moveInfo& move : moves) {
        seams::trace() << "check move " << move.name << '\n';
        // A move without a command cannot be completed by any button.
        if (move.command.empty() || move.command.back() != key[0]) continue;
        seams::trace() << key[0] << " based Attack\n";
        seams::trace() << (list.empty() ? "head added" : "new tailbit added") << '\n';
        list.push_back(&move);
    }
    return list;
}
