#include "OptionLists.h"

#include "ControlIds.h"

namespace {

constexpr const char* kMode[] = {
    "PWM input only",
    "PWM and Brightness reg pre",
    "Brightness reg only",
    "PWM and Brightness reg post",
};

constexpr const char* kCurrentScale[] = {
    "000 = 5mA", "001 = 10mA", "010 = 15mA", "011 = 20mA",
    "100 = 23mA", "101 = 25mA", "110 = 30mA", "111 = 50mA",
};

constexpr const char* kPwmSlope[] = {
    "Immediate", "1 ms", "2 ms", "50 ms", "100 ms", "200 ms", "300 ms", "500 ms",
};

constexpr const char* kFilter[] = {"None", "Light", "Medium", "Heavy"};

constexpr const char* kPwmHysteresis[] = {
    "None",
    "1-bit with 13-bit res",
    "1-bit with 12-bit res",
    "1-bit with 8-bit res",
};

// Twelve entries for a 4-bit field: codes 12 to 15 have no entry of their own.
constexpr const char* kDimThreshold[] = {
    "100% Current Dim", "PWM Below 10%",   "PWM Below 12.5%", "PWM Below 15%",
    "PWM Below 17.5%",  "PWM Below 20%",   "PWM Below 22.5%", "PWM Below 25%",
    "PWM Below 33.3%",  "PWM Below 41.6%", "PWM Below 50%",   "PWM Always",
};

constexpr const char* kPhaseShift[] = {
    "6 PH 6 DR", "5 PH 5 DR", "4 PH 4 DR", "3 PH 3 DR",
    "2 PH 2 DR", "3 PH 6 DR", "2 PH 6 DR", "1 PH 6 DR",
};

constexpr const char* kPwmFreq[] = {
    "4808 Hz",  "6010 Hz",  "7212 Hz",  "8414 Hz",  "9616 Hz",  "12020 Hz",
    "13222 Hz", "14424 Hz", "15626 Hz", "16828 Hz", "18030 Hz", "19232 Hz",
    "24040 Hz", "28848 Hz", "33656 Hz", "38464 Hz",
};

// Codes 0 and 1 read the same; the index, not the text, tells them apart.
constexpr const char* kVboostMax[] = {
    "NA / NA",     "NA / NA",       "NA / 21 V",   "NA / 25 V",
    "21 V / 30 V", "25 V / 34.5 V", "30 V / 39 V", "34 V / 43 V",
};

constexpr const char* kBoostFreq[] = {"312kHz", "625kHz", "1250kHz"};

constexpr const char* kPfmThreshold[] = {"14 uA", "27 uA", "39 uA", "49 uA"};

constexpr const char* kCurrentLimit[] = {
    "0.9 A / 1.6 A", "1.2 A / 2.1 A", "1.5 A / 2.6 A", "1.8 A / NA",
};

// Columns line up under the words of the label "Config Strings Vmax".
constexpr const char* kConfig[] = {
    "E00   5     34.5V", "E01   x     xx", "E02   x     xx", "E03   x     xx",
    "E04   x     xx",    "E05   x     xx", "E06   x     xx", "E07   x     xx",
    "E08   4     34.5V", "E09   6     34.5V", "E10   x   xx", "E11   x   xx",
    "E12   x   xx",      "E13   x   xx",   "E14   x   xx",   "E15   x   xx",
};

constexpr OptionList kLists[] = {
    {idc::kMode, kMode},
    {idc::kCurrentScale, kCurrentScale},
    {idc::kPwmSlope, kPwmSlope},
    {idc::kFilter, kFilter},
    {idc::kPwmHysteresis, kPwmHysteresis},
    {idc::kDimThreshold, kDimThreshold},
    {idc::kPhaseShift, kPhaseShift},
    {idc::kPwmFreq, kPwmFreq},
    {idc::kVboostMax, kVboostMax},
    {idc::kBoostFreq, kBoostFreq},
    {idc::kPfmThreshold, kPfmThreshold},
    {idc::kCurrentLimit, kCurrentLimit},
    {idc::kConfig, kConfig},
};

}  // namespace

constinit const std::span<const OptionList> kOptionLists{kLists};

constinit const std::span<const char* const> kModeEntries{kMode};
constinit const std::span<const char* const> kCurrentScaleEntries{kCurrentScale};
constinit const std::span<const char* const> kPwmSlopeEntries{kPwmSlope};
constinit const std::span<const char* const> kFilterEntries{kFilter};
constinit const std::span<const char* const> kPwmHysteresisEntries{kPwmHysteresis};
constinit const std::span<const char* const> kDimThresholdEntries{kDimThreshold};
constinit const std::span<const char* const> kPhaseShiftEntries{kPhaseShift};
constinit const std::span<const char* const> kPwmFreqEntries{kPwmFreq};
constinit const std::span<const char* const> kVboostMaxEntries{kVboostMax};
constinit const std::span<const char* const> kBoostFreqEntries{kBoostFreq};
constinit const std::span<const char* const> kPfmThresholdEntries{kPfmThreshold};
constinit const std::span<const char* const> kCurrentLimitEntries{kCurrentLimit};
