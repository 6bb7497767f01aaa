// Command recognition: the input is cut at "\n====\n" into moves (one a
// line: name, command, then optionally the move it links from and the move
// it must follow, and a condition) and a key sequence (byte pairs: time step
// in milliseconds, key).  Every press is fed in and checked as the game does.
#include "base/textFile.h"
#include "control/inputChecker.h"
#include "fuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietGame();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [moveText, keyText] = fuzz::splitInput(data, size);
    moveSet moves;
    std::istringstream lines(moveText);
    std::string line;
    while (std::getline(lines, line) && moves.moves.size() < 64) {
        std::vector<std::string> words = text::splitWords(line, 5);
        if (words.size() < 2) continue;
        moveInfo move;
        move.name = words[0];
        move.command = words[1];
        if (words.size() > 2) move.linkMove = words[2];
        if (words.size() > 3) move.fromMove = words[3];
        if (words.size() > 4) move.condition = words[4];
        moves.moves.push_back(std::move(move));
    }
    moves.count = static_cast<int32_t>(moves.moves.size());

    static const char keyLetters[] = "ABCUDRL-";
    inputChecker checker(&moves, nullptr);
    int32_t now = 0;
    volatile long sum = 0;
    for (size_t i = 0; i + 1 < keyText.size(); i += 2) {
        now += static_cast<uint8_t>(keyText[i]);
        inputKeys press;
        press.time = now;
        press.key = keyLetters[static_cast<uint8_t>(keyText[i + 1]) % 8];
        checker.acceptInput(press);
        sum = sum + checker.checkRun();
        if (moveInfo* found = checker.update(now))
            sum = sum + static_cast<long>(found->name.size());
    }
    checker.print();
    checker.printB();
    if (moveInfo* found = checker.update(now + 1000))
        sum = sum + static_cast<long>(found->name.size());
    return 0;
}
