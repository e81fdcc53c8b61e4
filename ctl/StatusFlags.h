#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The status register's flags that turned on and off between two reads, by
// name. A register not read before counts as all flags off; one not read now
// tells nothing.
struct FlagChange {
    std::vector<std::string> on;
    std::vector<std::string> off;
};

FlagChange StatusFlagChange(std::optional<uint8_t> before, std::optional<uint8_t> now);
