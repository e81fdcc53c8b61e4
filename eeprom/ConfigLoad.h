#pragma once

#include "Presets.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// One register write of a Load, and whether the chip acknowledged it.
struct LoadWrite {
    uint8_t reg;
    uint8_t value;
    bool ok;
};

// What a Load wrote, in order, and the status text it ends with.
struct LoadResult {
    ConfigChoice choice;
    uint8_t control;  // what the brightness control register was written
    std::vector<LoadWrite> writes;

    // The first write the chip did not acknowledge; nothing when all were.
    std::optional<LoadWrite> FirstFailed() const;
    // choice's loaded or failed text.
    const char* StatusText() const;
};

// Answers whether the chip acknowledged the write.
using RegisterWriter = std::function<bool(uint8_t reg, uint8_t value)>;

// Load of a Config list entry (-1: none selected): the brightness control
// register first, control as it holds now with the backlight-enable field
// cleared, so that the backlight stays off while the configuration changes;
// then the entry's preset. Every write is made, whatever the earlier ones
// answered.
LoadResult LoadConfig(int entry, uint8_t control, const RegisterWriter& write);
