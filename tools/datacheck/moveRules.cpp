#include "moveRules.h"

#include "base/textFile.h"

#include <cctype>

namespace {

bool isButton(char c) {
    return c == 'A' || c == 'B' || c == 'C';
}

bool isLink(const moveRecord& move) {
    return move.linkMove != "NULL";
}

// The move that must be running, and from which frame, for the move's own
// rule (link or plain) to pass.
const std::string& keyMove(const moveRecord& move) {
    return isLink(move) ? move.linkMove : move.fromMove;
}
int keyFrame(const moveRecord& move) {
    return isLink(move) ? move.linkFrame : move.fromFrame;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The last frame of a set that announces count frames; the count is any
// int, so no arithmetic on it may overflow.
std::string lastFrame(int count) {
    if (count <= 0) return "it has no frames";
    return "frame " + std::to_string(static_cast<long long>(count) - 1);
}

} // namespace

bool moveRules::engineName(const std::string& name) {
    static const std::set<std::string> names = {"hit1",     "blockHi", "blockLo",   "blockAir",
                                                "backJump", "airBack", "airForward"};
    return names.count(name) > 0;
}

conditionKind moveRules::classify(const std::string& condition) {
    if (condition == "null") return conditionKind::always;
    std::vector<std::string> words = text::splitWords(condition, 3);
    if (words.empty() || words[0] != "ground") return conditionKind::never;
    return words.size() > 2 && words[2] == "true" ? conditionKind::onGround : conditionKind::inAir;
}

void moveRules::checkReferences() {
    const std::string& path = moves_.path();
    for (const moveRecord& move : moves_.moves()) {
        if (!move.complete) continue;
        std::string who = "move \"" + move.name + "\": ";
        auto reference = [&](const std::string& target, int line, int frame, const char* role,
                             const char* consequence) {
            // An empty reference is a blank line, which the reader reported.
            if (target == "NULL" || target.empty()) return;
            const moveRecord* found = moves_.find(target);
            if (!found) {
                report_.error(path, line,
                              who + role + " move \"" + target + "\" is not a move; " +
                                  consequence +
                                  (lower(target) == "null" ? " (write NULL for none)" : ""));
                return;
            }
            if (found->frames && found->frames->opened && frame >= found->frames->count)
                report_.warning(path, line + 1,
                                who + role + " frame " + std::to_string(frame) +
                                    " is past the last frame of \"" + target + "\" (" +
                                    lastFrame(found->frames->count) + "); " + consequence);
        };
        reference(move.linkMove, move.linkLine, move.linkFrame, "link",
                  "the link can never be queued");
        reference(move.fromMove, move.fromLine, move.fromFrame, "from",
                  "the command is never accepted");
        if (!isLink(move) && move.fromMove == "NULL" && move.fromFrame > 0)
            report_.warning(path, move.fromLine + 1,
                            who + "from frame " + std::to_string(move.fromFrame) +
                                " without a from move: the command is only accepted from that "
                                "frame of whatever animation shows");
        if (isLink(move) && move.fromMove != "NULL" && move.fromMove != move.linkMove)
            report_.warning(path, move.fromLine,
                            who + "from move \"" + move.fromMove +
                                "\" is ignored: a link move is accepted during its link move \"" +
                                move.linkMove + "\"");
    }
}

void moveRules::checkConditions() {
    const std::string& path = moves_.path();
    for (const moveRecord& move : moves_.moves()) {
        if (!move.complete || move.condition == "null") continue;
        std::string who = "move \"" + move.name + "\": ";
        bool recognised = !move.command.empty() && isButton(move.command.back());
        if (isLink(move)) {
            report_.warning(path, move.conditionLine,
                            who + "the condition of a link move is never evaluated");
            continue;
        }
        if (!recognised) continue; // only command recognition asks for conditions
        std::vector<std::string> words = text::splitWords(move.condition, 4);
        std::string shown = "condition \"" + move.condition + "\"";
        if (words.empty())
            report_.warning(path, move.conditionLine,
                            who + "an empty condition is always false, so the move can never be "
                                  "performed (write null for none)");
        else if (words[0] != "ground")
            report_.warning(path, move.conditionLine,
                            who + shown + " is always false (only \"ground\" is understood" +
                                (lower(words[0]) == "null"
                                     ? std::string(", and none is written null")
                                     : std::string()) +
                                "), so the move can never be performed");
        else if (words.size() == 2 && words[1] == "true")
            report_.warning(path, move.conditionLine,
                            who + shown +
                                " has no third word: it holds in the air, not on the ground "
                                "(write \"ground is true\")");
        else if (words.size() > 3)
            report_.warning(path, move.conditionLine,
                            who + shown + ": words after the third are ignored");
    }
}

bool moveRules::canPass(const moveRecord& move) const {
    if (keyMove(move) != "NULL" && !moves_.find(keyMove(move))) return false;
    if (isLink(move)) return true;
    return classify(move.condition) != conditionKind::never;
}

bool moveRules::covers(const moveRecord& first, const moveRecord& later) const {
    if (!canPass(first)) return false;
    if (keyMove(first) != keyMove(later) || keyFrame(first) > keyFrame(later)) return false;
    if (isLink(first)) return true; // a recognised link ends the search, whatever the state
    conditionKind mine = classify(first.condition);
    if (mine == conditionKind::always) return true;
    // A link is accepted on the ground and in the air alike.
    return !isLink(later) && classify(later.condition) == mine;
}

void moveRules::checkCommands(const std::set<std::string>& opponentMoves) {
    const std::string& path = moves_.path();
    const std::vector<moveRecord>& all = moves_.moves();
    for (const moveRecord& move : all) {
        if (!move.complete || move.command.empty()) continue;
        std::string who = "move \"" + move.name + "\": ";
        if (isButton(move.command.back()))
            for (char c : move.command)
                if (std::string("ABCUDLR-").find(c) == std::string::npos) {
                    report_.warning(path, move.commandLine,
                                    who + "command \"" + move.command + "\" holds '" +
                                        std::string(1, c) +
                                        "', which no key produces; it can never match");
                    break;
                }
        if (isButton(move.command.back()) || engineName(move.name)) continue;
        std::string message = who + "command \"" + move.command +
                              "\" does not end in A, B or C: player 1 can never perform it";
        if (opponentMoves.count(move.name))
            report_.note(path, move.commandLine, message + " (the computer opponent can)");
        else
            report_.warning(path, move.commandLine, message);
    }

    for (char button : {'A', 'B', 'C'}) {
        std::vector<const moveRecord*> list;
        for (const moveRecord& move : all)
            if (move.complete && !move.command.empty() && move.command.back() == button)
                list.push_back(&move);
        for (size_t j = 0; j < list.size(); ++j) {
            const moveRecord& later = *list[j];
            if (!canPass(later)) continue; // reported as a reference or condition problem
            for (size_t i = 0; i < j; ++i) {
                const moveRecord& first = *list[i];
                if (later.command.find(first.command) == std::string::npos) continue;
                if (!covers(first, later)) continue;
                report_.warning(path, later.commandLine,
                                "move \"" + later.name + "\": command \"" + later.command +
                                    "\" can never be recognised: move \"" + first.name +
                                    "\" (line " + std::to_string(first.commandLine) +
                                    ", command \"" + first.command +
                                    "\") stands before it in the " + std::string(1, button) +
                                    " list and its rules pass whenever these do");
                break;
            }
        }
    }
}
