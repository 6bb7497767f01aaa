#include "fighter/moveFile.h"

#include "base/textFile.h"
#include "base/writtenText.h"

bool moveFile::open(const std::string& characterFolder) {
    header_ = countHeader();
    cut_ = ended_ = false;
    names_.clear();
    if (!lines_.open(characterFolder + "/moveset")) return false;
    header_.read(lines_, "ANIMS:", "the game loads no moves");
    return true;
}

// The next line of the record.  Once the file has ended the line stays
// empty and every field keeps its value; the cut is reported once.
bool moveFile::recordLine(std::string& line, const char* what) {
    if (cut_) return false;
    if (lines_.readLine(line)) return true;
    cut_ = true;
    lines_.error(lines_.line(), where_ + "record cut short: the file ends where " +
                                    std::string(what) + " belongs");
    return false;
}

// A word line: its first word, or the field as it was when the line has none.
void moveFile::word(std::string& field, int& at, const char* what) {
    std::string line;
    if (!recordLine(line, what)) return;
    at = lines_.line();
    const std::string found = text::firstWord(line);
    if (found.empty())
        lines_.error(at, where_ + "expected " + std::string(what) + ", found an empty line");
    else
        field = found;
}

// A number line: the number it starts with, or the field as it was.  The
// reserved lines (no field) are only checked.
void moveFile::number(int32_t* field, const char* what) {
    std::string line;
    if (!recordLine(line, what)) return;
    int value = 0;
    if (text::scanInts(line, &value, 1) == 1) {
        if (field) *field = value;
        return;
    }
    lines_.error(lines_.line(), where_ + "expected " + std::string(what) + ", found \"" +
                                    text::withoutLineEnd(line) + "\"");
}

bool moveFile::next(moveEntry& entry) {
    entry = moveEntry();
    entry.linkMove.clear();
    entry.fromMove.clear();
    entry.condition.clear();
    std::string line;
    // Past the announced records, or past the end once it was met, there is
    // nothing more to read and nothing more to report.
    if (cut_ || ended_ || static_cast<int>(names_.size()) >= announced()) return false;
    if (!lines_.readLine(line)) {
        ended_ = true;
        header_.reportHeld(lines_, names_.size(), "moves");
        return false;
    }
    entry.line = lines_.line();
    entry.name = text::firstWord(line);
    where_ = "move " + std::to_string(names_.size() + 1) +
             (entry.name.empty() ? "" : " \"" + entry.name + "\"") + ": ";
    if (entry.name.empty()) {
        lines_.error(entry.line, where_ + "expected the move name, found an empty line");
    } else {
        for (const auto& [name, at] : names_) {
            if (name != entry.name) continue;
            lines_.warning(entry.line,
                           "move \"" + entry.name + "\" is defined twice (first at line " +
                               std::to_string(at) + "); look-ups by name always find the first");
            break;
        }
    }
    names_.emplace_back(entry.name, entry.line);

    word(entry.command, entry.commandLine, "the command");
    number(nullptr, "a reserved number");
    word(entry.linkMove, entry.linkLine, "the move it links from, or NULL");
    number(&entry.linkFrame, "the link frame (a number)");
    number(nullptr, "a reserved number");
    word(entry.fromMove, entry.fromLine, "the move it must follow, or NULL");
    number(&entry.fromFrame, "the from frame (a number)");
    number(nullptr, "a reserved number");
    number(nullptr, "a reserved number");
    if (recordLine(line, "the condition")) {
        entry.condition = text::withoutLineEnd(line);
        entry.conditionLine = lines_.line();
        entry.complete = true;
    }
    return true;
}

void moveFile::finish() {
    if (!header_.wasRead() || cut_) return;
    lines_.warnTextAfter("the " + std::to_string(announced()) + " moves");
}

std::string moveFile::recordText(const moveEntry& move) {
    writtenText::refuse(unreadable(move));
    return move.name + "\n" + move.command + "\n0\n" + move.linkMove + "\n" +
           std::to_string(move.linkFrame) + "\n0\n" + move.fromMove + "\n" +
           std::to_string(move.fromFrame) + "\n0\n0\n" + move.condition + "\n";
}

std::string moveFile::text(const std::vector<moveEntry>& moves) {
    std::string text = "ANIMS: " + std::to_string(moves.size()) + "\n";
    for (size_t i = 0; i < moves.size(); ++i) {
        writtenText::refuse("move", i + 1, unreadable(moves[i]));
        text += recordText(moves[i]);
    }
    return text;
}

std::string moveFile::unreadable(const moveEntry& move) {
    const std::pair<const char*, const std::string*> words[] = {{"name", &move.name},
                                                                {"command", &move.command},
                                                                {"link move", &move.linkMove},
                                                                {"from move", &move.fromMove}};
    for (const auto& [what, text] : words) {
        const std::string problem = writtenText::word(what, *text);
        if (!problem.empty()) return problem;
    }
    return writtenText::line("condition", move.condition);
}
