#pragma once

#include <span>

// The entries of the panel's drop-down lists, in list order.
struct OptionList {
    int controlId;
    std::span<const char* const> entries;
};

extern const std::span<const OptionList> kOptionLists;

// Each register field's list by name: the register map names field values
// with these entries.
extern const std::span<const char* const> kModeEntries;
extern const std::span<const char* const> kCurrentScaleEntries;
extern const std::span<const char* const> kPwmSlopeEntries;
extern const std::span<const char* const> kFilterEntries;
extern const std::span<const char* const> kPwmHysteresisEntries;
extern const std::span<const char* const> kDimThresholdEntries;
extern const std::span<const char* const> kPhaseShiftEntries;
extern const std::span<const char* const> kPwmFreqEntries;
extern const std::span<const char* const> kVboostMaxEntries;
extern const std::span<const char* const> kBoostFreqEntries;
extern const std::span<const char* const> kPfmThresholdEntries;
extern const std::span<const char* const> kCurrentLimitEntries;
