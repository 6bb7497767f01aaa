// The game's one source of random integers.
#pragma once

class randomNumber {
  public:
    randomNumber(); // seeds the C library generator from the clock
    // 0 ... n - 1; 0 when n <= 0.
    int getNumber(int n);
};

extern randomNumber g_randomNumber;
