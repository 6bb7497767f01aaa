#include "control/inputChecker.h"

#include "base/seams.h"
#include "fighter/condition.h"
#include "fighter/fighter.h"

#include <iterator>

int32_t inputDelay = 60;

namespace {

// The move the fighter is performing, "NULL" when it performs none.
std::string runningMove(const Fighter* fighter) {
    return fighter ? fighter->returnMoveName() : std::string("NULL");
}

int runningFrame(const Fighter* fighter) {
    return fighter ? fighter->frame : 0;
}

bool expired(const inputKeys& entry, int now) {
    // The age is taken modulo 2^32 so that it stays right when the
    // millisecond counter wraps; a press stamped after `now` has a negative
    // age and stays.
    const int32_t age =
        static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(entry.time));
    return static_cast<int64_t>(age) > static_cast<int64_t>(inputDelay) * 10;
}

} // namespace

inputChecker::inputChecker(moveSet* moves, Fighter* who) {
    seams::trace() << "Lets start this up\n";
    keys.clear();
    keyCount = 0;
    getMoveLists(moves);
    pending = nullptr;
    fighter = who;
}

void inputChecker::getMoveLists(moveSet* moves) {
    seams::trace() << "A LIST TIME!!!\n";
    listA = moves ? moves->returnMoveList("A") : moveList{};
    seams::trace() << "B LIST TIME!!!\n";
    listB = moves ? moves->returnMoveList("B") : moveList{};
    seams::trace() << "C LIST TIME!!!\n";
    listC = moves ? moves->returnMoveList("C") : moveList{};
}

void inputChecker::acceptInput(const inputKeys& press) {
    keys.push_back(press);
    keyCount++;
}

moveInfo* inputChecker::update(int now) {
    if (pending) {
        seams::trace() << "We have a move, watch out\n";
        std::string cur = runningMove(fighter);
        if (cur == "NULL") {
            // The move it was queued behind has played to its end.
            seams::trace() << "Starting the link " << pending->name << "\n";
            moveInfo* link = pending;
            pending = nullptr;
            return link;
        }
        if (cur != pending->linkMove) {
            seams::trace() << "Link waits for " << pending->linkMove << " but have " << cur << "\n";
            // Anything but the linked-from move (or the link itself) means
            // the fighter was interrupted: forget the link.
            if (cur != pending->name) pending = nullptr;
        }
    }

    if (keys.empty()) return nullptr;

    shaveOff(now);
    return findButton();
}

void inputChecker::shaveOff(int now) {
    // Oldest first; the newest entry stays whatever its age.
    auto it = keys.begin();
    while (it != keys.end() && std::next(it) != keys.end()) {
        if (expired(*it, now)) {
            seams::trace() << "Lets try deleting!\n";
            it = keys.erase(it);
            keyCount--;
        } else {
            ++it;
        }
    }
}

moveInfo* inputChecker::findButton() {
    std::string letters;
    int position = 0;
    int time = 0;
    int index = 0;
    for (const inputKeys& entry : keys) {
        index++;
        letters += entry.key;
        if (entry.key == 'A' || entry.key == 'B' || entry.key == 'C') {
            position = index;
            time = entry.time;
        }
    }
    if (position == 0) return nullptr;
    return checkList(position, time, letters);
}

moveInfo* inputChecker::checkList(int position, int /*time*/, const std::string& letters) {
    if (position < 1 || position > static_cast<int>(letters.size())) {
        deleteList();
        seams::trace() << "Got nothing\n";
        return nullptr;
    }
    const char button = letters[position - 1];
    const moveList* list = nullptr;
    if (button == 'A')
        list = &listA;
    else if (button == 'B')
        list = &listB;
    else if (button == 'C')
        list = &listC;

    if (list && !list->empty()) {
        seams::trace() << "Not empty, lucky!\n";
        bool first = true;
        for (moveInfo* move : *list) {
            if (!move) continue;
            if (!first) seams::trace() << "Next -> \n";
            first = false;
            seams::trace() << "searched " << move->command << "|| Against " << letters << "\n";
            // Intended: the command may stand anywhere among the presses.
            if (move->command.empty() || letters.find(move->command) == std::string::npos) continue;

            seams::trace() << "Found a move!\n";
            const std::string cur = runningMove(fighter);
            const int f = runningFrame(fighter);
            seams::trace() << "Link comparing - " << move->linkMove << " To " << cur << "\n";

            if (move->linkMove != "NULL") {
                if (cur == move->linkMove && f >= move->linkFrame) {
                    pending = move;
                    // Intended: the trace says "uppercut" whatever the link is.
                    seams::trace() << "Adding uppercut to the LIST\n";
                    deleteList();
                    return nullptr;
                }
                continue;
            }

            if (cur != move->fromMove || f < move->fromFrame) continue;

            if (move->condition != "null") {
                seams::trace() << "Condition much!\n";
                Condition test;
                if (!test.getResult(move->condition, fighter, target)) continue;
            }
            seams::trace() << "Have Move - " << move->name << "!\n";
            deleteList();
            return move;
        }
    }

    deleteList();
    seams::trace() << "Got nothing\n";
    return nullptr;
}

// Intended: the first press of a pair becomes "-", so the second can pair with
// a third; when several pairs are found, the last one decides.
char inputChecker::checkRun() {
    char result = 'N';
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        auto next = std::next(it);
        if (next == keys.end()) break;
        if (it->key == 'L' && next->key == 'L') {
            result = 'L';
            it->key = '-';
        }
        if (it->key == 'R' && next->key == 'R') {
            result = 'R';
            it->key = '-';
        }
    }
    return result;
}

void inputChecker::printB() {
    seams::trace() << "====================\n";
    seams::trace() << "B LIST\n";
    seams::trace() << "====================\n";
    for (const moveInfo* move : listB) {
        if (move) seams::trace() << "Move: " << move->name << "\n";
    }
}

void inputChecker::print() {
    seams::trace() << "Printing\n";
    for (const inputKeys& entry : keys) {
        seams::trace() << "Info: " << entry.key << " " << entry.time << " " << entry.state << "\n";
    }
}

void inputChecker::deleteList() {
    keys.clear();
    keyCount = 0;
    seams::trace() << "DELETING HAHAHAHA\n";
}
