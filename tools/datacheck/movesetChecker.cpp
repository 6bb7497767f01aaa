#include "movesetChecker.h"

#include "base/platform.h"
#include "base/textFile.h"
#include "lineReader.h"

const moveRecord* movesetChecker::find(const std::string& name) const {
    for (const moveRecord& move : moves_)
        if (move.name == name) return &move;
    return nullptr;
}

void movesetChecker::check(const std::string& characterFolder) {
    path_ = characterFolder + "/moveset";
    lineReader in(report_, path_);
    if (!in.open()) {
        report_.error(path_, 0, "cannot open the move file; the character has no moves");
        return;
    }
    std::string line;
    int count = 0;
    if (!in.next(line) || !scanHeader(line, "ANIMS:", count)) {
        report_.error(path_, in.line(),
                      "first line must be \"ANIMS: <count>\"; the game loads no moves");
        return;
    }
    headerLine_ = in.line();
    for (int index = 0; index < count; ++index) {
        if (!in.next(line)) {
            report_.error(path_, headerLine_,
                          "\"ANIMS: " + std::to_string(count) + "\" announces " +
                              std::to_string(count) + " moves but the file holds " +
                              std::to_string(moves_.size()));
            break;
        }
        moveRecord move;
        move.line = in.line();
        move.name = firstWord(line);
        std::string where = "move " + std::to_string(index + 1) +
                            (move.name.empty() ? "" : " \"" + move.name + "\"") + ": ";
        if (move.name.empty())
            report_.error(path_, in.line(), where + "expected the move name, found an empty line");
        else if (const moveRecord* earlier = find(move.name))
            report_.warning(path_, in.line(),
                            "move \"" + move.name + "\" is defined twice (first at line " +
                                std::to_string(earlier->line) +
                                "); look-ups by name always find the first");

        bool cut = false;
        auto next = [&](const char* what) {
            if (cut) return false;
            if (in.next(line)) return true;
            cut = true;
            report_.error(path_, in.line(),
                          where + "record cut short: the file ends where " + std::string(what) +
                              " belongs");
            return false;
        };
        auto word = [&](const char* what, std::string& out, int& at) {
            if (!next(what)) return;
            at = in.line();
            std::string found = firstWord(line);
            if (found.empty())
                report_.error(path_, at,
                              where + "expected " + std::string(what) + ", found an empty line");
            else
                out = found;
        };
        auto number = [&](const char* what, int& out, int* at = nullptr) {
            if (!next(what)) return;
            if (at) *at = in.line();
            if (scanInts(line, &out, 1) < 1)
                report_.error(path_, in.line(),
                              where + "expected " + std::string(what) + ", found \"" +
                                  withoutLineEnd(line) + "\"");
        };
        int reserved = 0, lineOf = 0;
        move.command.clear();
        word("the command", move.command, move.commandLine);
        number("a reserved number", reserved);
        word("the move it links from, or NULL", move.linkMove, move.linkLine);
        number("the link frame (a number)", move.linkFrame, &lineOf);
        number("a reserved number", reserved);
        word("the move it must follow, or NULL", move.fromMove, move.fromLine);
        number("the from frame (a number)", move.fromFrame, &lineOf);
        number("a reserved number", reserved);
        number("a reserved number", reserved);
        if (next("the condition")) {
            move.condition = withoutLineEnd(line);
            move.conditionLine = in.line();
            move.complete = true;
        }
        if (!move.name.empty() && !platform::nameStaysInside(move.name))
            report_.error(path_, move.line,
                          where + "the name leaves the character folder; the game never reads "
                                  "its frames and the move has none");
        else if (!move.name.empty())
            move.frames = &frames_.check(characterFolder + "/" + move.name, path_, move.line);
        moves_.push_back(move);
        if (cut) break;
    }
    while (in.next(line)) {
        if (firstWord(line).empty()) continue;
        report_.warning(path_, in.line(),
                        "text after the " + std::to_string(count) + " moves is ignored");
        break;
    }
}
