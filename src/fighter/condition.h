// The condition a move may carry ("ground <any> true" and friends), tested
// against the fighter when its command is recognised.
#pragma once

#include <string>

class Fighter;
class Target;

class Condition {
  public:
    std::string words[3];
    Fighter* fighter = nullptr;
    Target* target = nullptr;

    bool getResult(const std::string& text, Fighter* who, Target* opponent);
    bool ground() const;
};
