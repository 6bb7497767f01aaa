#include "base/randomNumber.h"

#include "base/seams.h"

#include <cstdlib>
#include <ctime>

randomNumber g_randomNumber;

randomNumber::randomNumber() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

int randomNumber::getNumber(int n) {
    if (n <= 0) return 0;
    return seams::rawRandom() % n;
}
