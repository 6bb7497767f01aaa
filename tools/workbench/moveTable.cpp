#include "moveTable.h"

#include "frameData.h"

#include "base/gamepad.h"
#include "base/textFile.h"

#include <cctype>

namespace {

// The name of a bound key as printed on the keyboard: letters upper case.
std::string keyName(int binding) {
    if (binding > ' ' && binding < 127)
        return std::string(1, static_cast<char>(std::toupper(binding)));
    return "key " + std::to_string(binding);
}

} // namespace

std::string moveTable::keys(const std::string& command) {
    if (command.empty()) return "";
    const char last = command.back();
    if (last != 'A' && last != 'B' && last != 'C') return "";
    gamePad pad;
    pad.setPlayerOneDefaults();
    std::string out;
    for (char letter : command) {
        std::string name;
        switch (letter) {
        case 'U':
            name = "Up";
            break;
        case 'D':
            name = "Down";
            break;
        case 'R':
            name = "Forward";
            break;
        case 'L':
            name = "Back";
            break;
        case 'A':
            name = keyName(pad.buttonA);
            break;
        case 'B':
            name = keyName(pad.buttonB);
            break;
        case 'C':
            name = keyName(pad.buttonC);
            break;
        default:
            // A letter no key records: nothing the player types matches it.
            return "";
        }
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

std::string moveTable::place(const std::string& condition) {
    if (condition == "null") return "ground or air";
    std::vector<std::string> words = text::splitWords(condition, 3);
    if (words.empty() || words[0] != "ground") return "never";
    return words.size() > 2 && words[2] == "true" ? "ground" : "air";
}

std::string moveTable::where(const moveInfo& move) {
    if (move.linkMove != "NULL") return "after " + move.linkMove + " (link)";
    if (move.fromMove != "NULL") return "during " + move.fromMove + " (cancel)";
    return place(move.condition);
}

std::string moveTable::markdown(moveSet& moves) {
    std::string out = "| move | keys | where | startup ms | damage | on hit ms |\n"
                      "|---|---|---|---|---|---|\n";
    for (const moveInfo& move : moves.moves) {
        const std::string keysText = keys(move.command);
        if (keysText.empty()) continue;
        const moveTiming t = frameData::of(move, moves);
        std::string startup = "-", damage = "-", onHit = "-";
        if (t.hurts) {
            startup = std::to_string(t.startup);
            damage = std::to_string(t.damage);
            onHit = frameData::signedMs(t.onHit);
        } else if (!t.thrown.empty()) {
            startup = std::to_string(t.throwAt);
            damage = "(" + t.thrown + ")";
        }
        out += "| `" + move.name + "` | " + keysText + " | " + where(move) + " | " + startup +
               " | " + damage + " | " + onHit + " |\n";
    }
    return out;
}

std::string moveTable::html(moveSet& moves) {
    std::string out;
    for (const moveInfo& move : moves.moves) {
        const std::string keysText = keys(move.command);
        if (keysText.empty()) continue;
        std::string cells;
        size_t at = 0;
        while (at <= keysText.size()) {
            size_t comma = keysText.find(", ", at);
            if (comma == std::string::npos) comma = keysText.size();
            std::string key = keysText.substr(at, comma - at);
            if (key == "Down")
                key = "&darr;";
            else if (key == "Up")
                key = "&uarr;";
            else if (key == "Forward")
                key = "&rarr;";
            else if (key == "Back")
                key = "&larr;";
            cells += (cells.empty() ? "" : " ") + std::string("<kbd>") + key + "</kbd>";
            at = comma + 2;
        }
        out += "      <tr><td>" + cells + "</td><td>" + move.name + ": " + where(move) +
               "</td></tr>\n";
    }
    return out;
}
