#pragma once

#include "Fields.h"
#include "RegisterValue.h"

#include <array>
#include <optional>
#include <string_view>

// A configuration that Load writes into the chip, in table order.
struct Preset {
    const char* name;  // "E0", "E8", "E9"
    ConfigurationTable values;
};

extern const Preset kPresetE0;
extern const Preset kPresetE8;
extern const Preset kPresetE9;

// What Load does for a Config list entry.
struct ConfigChoice {
    const Preset* preset;  // nullptr: nothing but register 0x01 is written
    const char* loadedText;
    const char* failedText;  // when a write of the load failed
};

// The Config list's entries, E00 to E15.
inline constexpr int kConfigEntries = 16;

// entry is the Config list's selected index, or -1 when none is selected.
ConfigChoice ChooseConfig(int entry);

// An entry as the Config list names it, "E00" to "E15" (or "e08"); nothing
// for any other text.
std::optional<int> ConfigEntryNamed(std::string_view text);

// What the burn helper writes to store the configuration in the EEPROM.
inline constexpr uint8_t kBurnRegister = chip::kBurn.reg;
inline constexpr uint8_t kBurnValue = chip::WithField(chip::kBurn, 0, 1);
