#pragma once

#include <cstdint>

struct RegisterValue {
    uint8_t reg;
    uint8_t value;
};
