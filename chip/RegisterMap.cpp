#include "RegisterMap.h"

#include "Fields.h"

#include <algorithm>

namespace chip {
namespace {

constexpr FieldInfo kBrightnessFields[] = {kBrightness};
constexpr FieldInfo kControlFields[] = {kFastResume, kMode, kEnableBacklight};
constexpr FieldInfo kStatusFields[] = {kOpen,         kShort,        kVrefOk, kVboostOk,
                                       kOverVoltage, kOverCurrent, kTsd,    kUvlo};
constexpr FieldInfo kLedFields[] = {kLed6, kLed5, kLed4, kLed3, kLed2, kLed1};
constexpr FieldInfo kBurnFields[] = {kBurn, kProgrammed};
constexpr FieldInfo kIboostRangeFields[] = {kIboostRange};
constexpr FieldInfo kVboostRangeFields[] = {kVboostRange};
constexpr FieldInfo kCurrentLowFields[] = {kCurrentLow};
constexpr FieldInfo kCurrentConfigFields[] = {kPdetStandby, kCurrentScale, kCurrentHigh};
constexpr FieldInfo kEnableFields[] = {kUvloEnable, kUvloLevel,   kBacklightOn,
                                       kIsetEn,     kBoostFsetEn, kPwmFsetEn};
constexpr FieldInfo kPwmInputFields[] = {kPwmSlope, kFilter, kPwmHysteresis};
constexpr FieldInfo kThresholdFields[] = {kDimThreshold};
constexpr FieldInfo kPwmDimmingFields[] = {kPwmDirect, kPhaseShift, kPwmFreq};
constexpr FieldInfo kBoostFields[] = {kBoostFreq, kVboostCode};
constexpr FieldInfo kDriverFields[] = {kDrv3Enable, kDrv2Enable, kPfmThreshold, kCurrentLimit};
constexpr FieldInfo kVboostMaxFields[] = {kVboostMax};
constexpr FieldInfo kBoostEnableFields[] = {kSsEn, kAdaptive};

constexpr Access RW = Access::ReadWrite;

// In address order; fields from the highest bit down.
constexpr RegisterInfo kRegisters[] = {
    {0x00, "Brightness", RW, kBrightnessFields},
    {0x01, "Brightness control", RW, kControlFields},
    {kStatusRegister, "Status", Access::ReadOnly, kStatusFields},
    {0x03, "Unknown", RW, {}},
    {0x04, "Unknown", RW, {}},
    {0x05, "Unknown", RW, {}},
    {0x06, "Unknown", RW, {}},
    {0x16, "LED enables", RW, kLedFields},
    {0x72, "EEPROM burn", Access::EepromBurn, kBurnFields},
    {0x98, "IBoost range", RW, kIboostRangeFields},
    {0x9E, "Vboost range", RW, kVboostRangeFields},
    {0xA0, "LED current", RW, kCurrentLowFields},
    {0xA1, "LED current config", RW, kCurrentConfigFields},
    {0xA2, "Enables", RW, kEnableFields},
    {0xA3, "PWM slope and filter", RW, kPwmInputFields},
    {0xA4, "Dimming threshold", RW, kThresholdFields},
    {0xA5, "PWM dimming", RW, kPwmDimmingFields},
    {0xA6, "Boost", RW, kBoostFields},
    {0xA7, "Drivers and limits", RW, kDriverFields},
    {0xA8, "Unknown", RW, {}},
    {0xA9, "Vboost maximum", RW, kVboostMaxFields},
    {0xAA, "Boost enables", RW, kBoostEnableFields},
    {0xAB, "Unknown", RW, {}},
    {0xAC, "Unknown", RW, {}},
    {0xAD, "Unknown", RW, {}},
    {0xAE, "Unknown", RW, {}},
    {0xAF, "Unknown", RW, {}},
};
static_assert(std::ranges::is_sorted(kRegisters, {}, &RegisterInfo::address));

constexpr CompoundField kCompounds[] = {kLedCurrent};

constexpr uint8_t kReadback[] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
    0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0x72, 0x98, 0x9E,
};

}  // namespace

const RegisterInfo* FindRegister(uint8_t address)
{
    const auto it = std::ranges::lower_bound(kRegisters, address, {}, &RegisterInfo::address);
    return it != std::end(kRegisters) && it->address == address ? &*it : nullptr;
}

std::span<const RegisterInfo> AllRegisters() { return kRegisters; }

std::span<const CompoundField> CompoundFields() { return kCompounds; }

std::span<const uint8_t> ReadbackRegisters() { return kReadback; }

const char* AccessText(Access access)
{
    switch (access) {
    case Access::ReadWrite: return "read/write";
    case Access::ReadOnly: return "read only";
    case Access::EepromBurn: return "a write burns the EEPROM";
    }
    return "";
}

}  // namespace chip
