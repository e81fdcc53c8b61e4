#pragma once

#include "RegisterMap.h"

#include <array>
#include <cstdint>

struct RegisterValue {
    uint8_t reg;
    uint8_t value;
};

using ConfigurationTable = std::array<RegisterValue, chip::kConfigurationRegisters.size()>;

// values for the configuration registers, each beside its register, in the
// order they are written.
constexpr ConfigurationTable
ConfigurationValues(const std::array<uint8_t, chip::kConfigurationRegisters.size()>& values)
{
    ConfigurationTable table{};
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = {chip::kConfigurationRegisters[i], values[i]};
    return table;
}
