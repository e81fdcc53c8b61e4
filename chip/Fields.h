#pragma once

#include "RegisterMap.h"
#include "ValueNames.h"

// The named fields of the ZR5130's registers. The register table and the
// panel's actions and readback all take their bits from these.
namespace chip {

// 0x00 Brightness
inline constexpr FieldInfo kBrightness{0x00, "Brightness", 0, 8, "brightness, 0-255 (0-100 %)"};

// 0x01 Brightness control; bits 6-3 are always written as 0.
inline constexpr FieldInfo kFastResume{0x01, "Fast Resume", 7, 1, "1 = fast resume on"};
inline constexpr FieldInfo kMode{0x01, "Mode", 1, 2, "brightness source", kModeNames};
inline constexpr FieldInfo kEnableBacklight{0x01, "Enable Backlight", 0, 1,
                                            "1 = backlight enabled"};

// 0x02 Status (read only)
inline constexpr FieldInfo kOpen{kStatusRegister, "Open", 7, 1, "1 = open flag set"};
inline constexpr FieldInfo kShort{kStatusRegister, "Short", 6, 1, "1 = short flag set"};
inline constexpr FieldInfo kVrefOk{kStatusRegister, "VRef OK", 5, 1, "1 = VRef OK"};
inline constexpr FieldInfo kVboostOk{kStatusRegister, "VBoost OK", 4, 1, "1 = VBoost OK"};
inline constexpr FieldInfo kOverVoltage{kStatusRegister, "Over Voltage", 3, 1,
                                        "1 = over-voltage flag set"};
inline constexpr FieldInfo kOverCurrent{kStatusRegister, "Over Current", 2, 1,
                                        "1 = over-current flag set"};
inline constexpr FieldInfo kTsd{kStatusRegister, "TSD", 1, 1, "1 = TSD flag set"};
inline constexpr FieldInfo kUvlo{kStatusRegister, "UVLO", 0, 1, "1 = UVLO flag set"};

// 0x16 LED enables; bits 7-6 are always written as 0.
inline constexpr FieldInfo kLed1{0x16, "LED 1", 0, 1, "1 = LED output 1 on"};
inline constexpr FieldInfo kLed2{0x16, "LED 2", 1, 1, "1 = LED output 2 on"};
inline constexpr FieldInfo kLed3{0x16, "LED 3", 2, 1, "1 = LED output 3 on"};
inline constexpr FieldInfo kLed4{0x16, "LED 4", 3, 1, "1 = LED output 4 on"};
inline constexpr FieldInfo kLed5{0x16, "LED 5", 4, 1, "1 = LED output 5 on"};
inline constexpr FieldInfo kLed6{0x16, "LED 6", 5, 1, "1 = LED output 6 on"};
// Register 0x16 with every LED output on.
inline constexpr uint8_t kAllLedsOn =
    Compose({{kLed1, 1}, {kLed2, 1}, {kLed3, 1}, {kLed4, 1}, {kLed5, 1}, {kLed6, 1}});

// 0xA0 and 0xA1: the 12-bit LED current value, scale and PDET standby.
inline constexpr FieldInfo kCurrentLow{0xA0, "Current Low", 0, 8,
                                       "low byte of the 12-bit LED current"};
inline constexpr FieldInfo kPdetStandby{0xA1, "PDET Standby", 7, 1, "1 = PDET standby on"};
inline constexpr FieldInfo kCurrentScale{0xA1, "Current Scale", 4, 3, "full-scale LED current",
                                         kCurrentScaleNames};
inline constexpr FieldInfo kCurrentHigh{0xA1, "Current High", 0, 4,
                                        "bits 11-8 of the 12-bit LED current"};
// The whole current as one field: A0 first, then A1, as the panel writes it.
inline constexpr FieldPart kLedCurrentParts[] = {{&kCurrentLow, 0}, {&kCurrentHigh, 8}};
inline constexpr CompoundField kLedCurrent{"LED Current", "12-bit LED current", kLedCurrentParts};

// 0xA2 Enables; bits 7-6 have no control.
inline constexpr FieldInfo kUvloEnable{0xA2, "UVLO Enable", 5, 1, "1 = UVLO enabled"};
inline constexpr FieldInfo kUvloLevel{0xA2, "UVLO Level", 4, 1, "UVLO level select"};
inline constexpr FieldInfo kBacklightOn{0xA2, "Backlight On", 3, 1, "1 = backlight on"};
inline constexpr FieldInfo kIsetEn{0xA2, "Iset EN", 2, 1, "1 = Iset enabled"};
inline constexpr FieldInfo kBoostFsetEn{0xA2, "Boost FSET EN", 1, 1,
                                        "1 = boost frequency set enabled"};
inline constexpr FieldInfo kPwmFsetEn{0xA2, "PWM FSET EN", 0, 1, "1 = PWM frequency set enabled"};

// 0xA3 PWM input; bit 7 has no control.
inline constexpr FieldInfo kPwmSlope{0xA3, "PWM Slope", 4, 3, "PWM slope time",
                                     kPwmSlopeNames};
inline constexpr FieldInfo kFilter{0xA3, "Filter", 2, 2, "PWM input filter", kFilterNames};
inline constexpr FieldInfo kPwmHysteresis{0xA3, "PWM Hysteresis", 0, 2, "PWM input hysteresis",
                                          kPwmHysteresisNames};

// 0xA4 Dimming threshold; bits 3-0 have no control. Threshold values 10-15
// all read as "PWM Always".
inline constexpr FieldInfo kDimThreshold{0xA4,  "PWM / Current Dimming Threshold",
                                         4,     4,
                                         "where PWM dimming takes over from current dimming",
                                         kDimThresholdNames,
                                         10,    11};

// 0xA5 PWM dimming
inline constexpr FieldInfo kPwmDirect{0xA5, "PWM Direct", 7, 1, "1 = direct PWM"};
inline constexpr FieldInfo kPhaseShift{0xA5, "Phase Shift Mode", 4, 3, "phase shift mode",
                                       kPhaseShiftNames};
inline constexpr FieldInfo kPwmFreq{0xA5, "PWM Frequency", 0, 4, "PWM dimming frequency",
                                    kPwmFreqNames};

// 0xA6 Boost; boost frequency 3 has no name.
inline constexpr FieldInfo kBoostFreq{0xA6, "Frequency", 6, 2, "boost frequency",
                                      kBoostFreqNames};
inline constexpr FieldInfo kVboostCode{0xA6, "Vboost", 0, 6, "boost voltage code, 0-63"};

// 0xA7 Drivers and limits; bits 7-6 have no control.
inline constexpr FieldInfo kDrv3Enable{0xA7, "DRV3 Enable", 5, 1, "1 = driver 3 on"};
inline constexpr FieldInfo kDrv2Enable{0xA7, "DRV2 Enable", 4, 1, "1 = driver 2 on"};
inline constexpr FieldInfo kPfmThreshold{0xA7, "PFM Threshold", 2, 2, "PFM threshold",
                                         kPfmThresholdNames};
inline constexpr FieldInfo kCurrentLimit{0xA7, "Current Limit", 0, 2,
                                         "boost current limit (low / high range)",
                                         kCurrentLimitNames};

// 0xA9 Vboost maximum; bits 4-0 have no control.
inline constexpr FieldInfo kVboostMax{0xA9, "Vboost Maximum", 5, 3,
                                      "maximum boost voltage (low / high range)",
                                      kVboostMaxNames};

// 0xAA Boost enables; bits 6-4 and 2-0 have no control.
inline constexpr FieldInfo kSsEn{0xAA, "SS EN", 7, 1, "1 = SS enabled"};
inline constexpr FieldInfo kAdaptive{0xAA, "Adaptive", 3, 1, "1 = adaptive enabled"};

// 0x72 EEPROM burn
inline constexpr FieldInfo kBurn{0x72, "Burn", 7, 1, "1 = written by the burn helper"};
inline constexpr FieldInfo kProgrammed{0x72, "Programmed", 0, 4, "all 0 on a blank chip"};

// 0x98 and 0x9E: the boost current and voltage ranges; other bits written as 0.
inline constexpr FieldInfo kIboostRange{0x98, "IBoost Range", 7, 1,
                                        "0 = 0.9-1.8 A, 1 = 1.6-2.6 A"};
inline constexpr FieldInfo kVboostRange{0x9E, "Vboost Range", 5, 1, "0 = 7-34 V, 1 = 16-43 V"};

}  // namespace chip
