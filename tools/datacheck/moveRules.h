// The rules between the moves of a move file that the engine applies
// silently: references to other moves, conditions the evaluator cannot
// read, commands no key sequence reaches, and commands that an earlier,
// shorter command always takes first in command recognition.
#pragma once

#include "diagnostics.h"
#include "movesetChecker.h"

#include <set>
#include <string>

// What a condition text amounts to for the evaluator.
enum class conditionKind { always, onGround, inAir, never };

class moveRules {
  public:
    moveRules(diagnostics& report, const movesetChecker& moves) : report_(report), moves_(moves) {}

    // linkMove and fromMove name moves; their frames exist.
    void checkReferences();
    // Conditions outside the evaluator's vocabulary.
    void checkConditions();
    // Command letters, commands no button completes, shadowed commands.
    // opponentMoves: the moves the attack file names.
    void checkCommands(const std::set<std::string>& opponentMoves);

    static conditionKind classify(const std::string& condition);
    // The names the engine asks for by itself.
    static bool engineName(const std::string& name);

  private:
    // True when recognition can ever pick this move (its own rules can pass).
    bool canPass(const moveRecord& move) const;
    // True when `first`, standing earlier in the same list, passes in every
    // state in which `later` would.
    bool covers(const moveRecord& first, const moveRecord& later) const;

    diagnostics& report_;
    const movesetChecker& moves_;
};
