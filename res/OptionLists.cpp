#include "OptionLists.h"

#include "ControlIds.h"
#include "ValueNames.h"

namespace {

// Columns line up under the words of the label "Config Strings Vmax".
constexpr const char* kConfig[] = {
    "E00   5     34.5V", "E01   x     xx", "E02   x     xx", "E03   x     xx",
    "E04   x     xx",    "E05   x     xx", "E06   x     xx", "E07   x     xx",
    "E08   4     34.5V", "E09   6     34.5V", "E10   x   xx", "E11   x   xx",
    "E12   x   xx",      "E13   x   xx",   "E14   x   xx",   "E15   x   xx",
};

constexpr OptionList kLists[] = {
    {idc::kMode, chip::kModeNames},
    {idc::kCurrentScale, chip::kCurrentScaleNames},
    {idc::kPwmSlope, chip::kPwmSlopeNames},
    {idc::kFilter, chip::kFilterNames},
    {idc::kPwmHysteresis, chip::kPwmHysteresisNames},
    {idc::kDimThreshold, chip::kDimThresholdNames},
    {idc::kPhaseShift, chip::kPhaseShiftNames},
    {idc::kPwmFreq, chip::kPwmFreqNames},
    {idc::kVboostMax, chip::kVboostMaxNames},
    {idc::kBoostFreq, chip::kBoostFreqNames},
    {idc::kPfmThreshold, chip::kPfmThresholdNames},
    {idc::kCurrentLimit, chip::kCurrentLimitNames},
    {idc::kConfig, kConfig},
};

}  // namespace

constinit const std::span<const OptionList> kOptionLists{kLists};

