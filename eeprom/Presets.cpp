#include "Presets.h"

namespace {

constexpr std::array<RegisterValue, 18> PresetValues(uint8_t a3, uint8_t a5)
{
    return {{{0x98, 0x1B}, {0x9E, 0x22}, {0xA0, 0xFF}, {0xA1, 0xCF}, {0xA2, 0x2F}, {0xA3, a3},
             {0xA4, 0x72}, {0xA5, a5},   {0xA6, 0x80}, {0xA7, 0xFE}, {0xA8, 0x00}, {0xA9, 0xA0},
             {0xAA, 0x0F}, {0xAB, 0x00}, {0xAC, 0x00}, {0xAD, 0x00}, {0xAE, 0x0F}, {0xAF, 0x00}}};
}

}  // namespace

// The presets differ only in registers 0xA3 and 0xA5.
const Preset kPresetE0{"E0", PresetValues(0x5E, 0x14)};
const Preset kPresetE8{"E8", PresetValues(0x5E, 0x24)};
const Preset kPresetE9{"E9", PresetValues(0x02, 0x04)};

ConfigChoice ChooseConfig(int entry)
{
    switch (entry) {
    case 0: return {&kPresetE0, "Config E0 loaded", "Config E0 load failed"};
    case 8: return {&kPresetE8, "Config E8 loaded", "Config E8 load failed"};
    case 9: return {&kPresetE9, "Config E9 loaded", "Config E9 load failed"};
    }
    if (entry >= 0 && entry < kConfigEntries) return {nullptr, "No Config loaded", "No Config loaded"};
    return {&kPresetE0, "Default Config E0 loaded", "Default Config E0 load failed"};
}
