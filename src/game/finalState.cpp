#include "game/finalState.h"

#include "game/main.h"

#include <sstream>

namespace finalState {

namespace {

const char* stateName(aiState state) {
    static const char* names[] = {"THINK",       "GET_CLOSER", "ATTACK",  "RETREAT", "JUMP_UP_AT",
                                  "JUMP_IN_DIR", "DUCK",       "SPECIAL", "BUSY",    "NOTHING"};
    int index = static_cast<int>(state);
    return index >= 0 && index < 10 ? names[index] : "?";
}

void describeFighter(std::map<std::string, std::string>& out, const std::string& who,
                     const Fighter& f) {
    out[who + ".x"] = std::to_string(f.xPos);
    out[who + ".y"] = std::to_string(f.yPos);
    out[who + ".hp"] = std::to_string(f.hp);
    out[who + ".action"] = f.actionName.empty() ? "-" : f.actionName;
    out[who + ".move"] = f.returnMoveName();
    out[who + ".ground"] = f.onGround ? "1" : "0";
    out[who + ".jumps"] = std::to_string(f.jumpsLeft);
    out[who + ".facing"] = f.facingRight ? "right" : "left";
    out[who + ".frame"] = std::to_string(f.frame);
}

} // namespace

std::map<std::string, std::string> describe(std::uint32_t tick, long passes, bool ended,
                                            bool versus) {
    std::map<std::string, std::string> out;
    out["tick"] = std::to_string(tick);
    out["passes"] = std::to_string(passes);
    out["ended"] = ended ? "1" : "0";
    describeFighter(out, "p1", vikings1);
    describeFighter(out, "p2", fighter2);
    if (versus) {
        out["p2.blocking"] = player2.blocking ? "1" : "0";
    } else {
        out["ai.state"] = stateName(basicAI.state);
        out["ai.phase"] = std::to_string(basicAI.phase);
        out["ai.blocking"] = basicAI.blocking ? "1" : "0";
        out["ai.lastAttack"] = basicAI.lastAttack.empty() ? "-" : basicAI.lastAttack;
    }
    out["p1.blocking"] = player1.blocking ? "1" : "0";
    out["particles"] = std::to_string(pList.size());
    out["bar1"] = std::to_string(play1HPBar.value);
    out["bar2"] = std::to_string(play2HPBar.value);
    return out;
}

std::string text(const std::map<std::string, std::string>& state) {
    std::ostringstream out;
    for (const auto& [name, value] : state)
        out << name << " " << value << "\n";
    return out.str();
}

} // namespace finalState
