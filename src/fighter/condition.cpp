#include "fighter/condition.h"

#include "base/seams.h"
#include "base/textFile.h"
#include "fighter/fighter.h"

#include <vector>

bool Condition::getResult(const std::string& text, Fighter* who, Target* opponent) {
    fighter = who;
    target = opponent;
    for (std::string& word : words)
        word.clear();

    // Up to three words; anything after the third is not part of the rule.
    std::vector<std::string> found = text::splitWords(text, 3);
    for (size_t i = 0; i < found.size(); ++i) {
        words[i] = found[i];
        seams::trace() << "BIT[" << i << "]: " << words[i] << '\n';
    }

    if (words[0] != "ground") return false;
    return ground();
}

// "ground <any> true" holds on the ground; "ground" with any other third word,
// or none at all, holds in the air.  Intended: the second word is never read,
// so "ground true" holds in the air.
bool Condition::ground() const {
    if (!fighter) return false;
    bool onGround = fighter->onGround;
    return words[2] == "true" ? onGround : !onGround;
}
