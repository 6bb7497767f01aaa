#include "fighter/moveSet.h"

#include "base/platform.h"
#include "base/seams.h"
#include "base/textFile.h"

namespace {

// A word line: its first word, or the field's current value when the line
// has none (or the file ran out).
void readWord(textFile& file, std::string& field) {
    std::string line;
    if (!file.readLine(line)) return;
    std::string word = firstWord(line);
    if (!word.empty()) field = word;
}

// A number line: the number at its start; the field keeps its value when the
// line holds no number.
void readInt(textFile& file, int32_t& field) {
    std::string line;
    if (!file.readLine(line)) return;
    int value = 0;
    if (scanInts(line, &value, 1) == 1) field = value;
}

void skipLine(textFile& file) {
    std::string line;
    file.readLine(line);
}

} // namespace

int moveSet::loadAll(const char* folderPath) {
    folder = folderPath ? folderPath : "";
    std::string path = folder + "/moveset";
    textFile file(path);
    if (!file.isOpen()) {
        seams::trace() << "ERROR opening file " << path << "\n\n";
        return 1;
    }

    std::string line;
    int announced = 0;
    file.readLine(line);
    if (!scanHeader(line, "ANIMS:", announced)) announced = 0;

    // The header's count is only a promise: records are added as the file
    // really supplies them, so a wild count never allocates more than the
    // file holds.  Nobody holds pointers into the list while it grows.
    moves.clear();
    for (int i = 0; i < announced; ++i) {
        std::string nameLine;
        if (!file.readLine(nameLine)) break;
        moves.emplace_back();
        int index = static_cast<int>(moves.size()) - 1;
        // A record starts with every text empty: a word line left blank or
        // cut off leaves its field empty, which no running move or condition
        // ever matches, so a damaged record is never performed by accident.
        moves[index].linkMove.clear();
        moves[index].fromMove.clear();
        moves[index].condition.clear();
        std::string name = firstWord(nameLine);
        seams::trace() << "Lets Rock!: " << name << '\n';
        if (platform::nameStaysInside(name)) {
            loadAnim(index, name);
        } else {
            // A folder outside the character's is never read: the move has
            // no frames, as with a missing folder.
            moves[index].name = name;
            seams::trace() << path << ":" << file.lineNumber() << ": move \"" << name
                           << "\" leaves the character folder; treated as missing\n";
        }
        seams::trace() << "Loaded!\n";

        moveInfo& move = moves[index];
        readWord(file, move.command);
        seams::trace() << "Command: " << move.command << '\n';
        skipLine(file);
        readWord(file, move.linkMove);
        readInt(file, move.linkFrame);
        skipLine(file);
        readWord(file, move.fromMove);
        readInt(file, move.fromFrame);
        skipLine(file);
        skipLine(file);
        if (file.readLine(line)) move.condition = withoutLineEnd(line);
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
