// A box in screen pixels; all four edges belong to the box.
#pragma once

#include <cstdint>

struct colBox {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
