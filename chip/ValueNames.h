#pragma once

// What the values of the map's named fields mean, entry n naming value n:
// the words every decoded field shows and the panel's lists offer.
namespace chip {

inline constexpr const char* kModeNames[] = {
    "PWM input only",
    "PWM and Brightness reg pre",
    "Brightness reg only",
    "PWM and Brightness reg post",
};

inline constexpr const char* kCurrentScaleNames[] = {
    "000 = 5mA", "001 = 10mA", "010 = 15mA", "011 = 20mA",
    "100 = 23mA", "101 = 25mA", "110 = 30mA", "111 = 50mA",
};

inline constexpr const char* kPwmSlopeNames[] = {
    "Immediate", "1 ms", "2 ms", "50 ms", "100 ms", "200 ms", "300 ms", "500 ms",
};

inline constexpr const char* kFilterNames[] = {"None", "Light", "Medium", "Heavy"};

inline constexpr const char* kPwmHysteresisNames[] = {
    "None",
    "1-bit with 13-bit res",
    "1-bit with 12-bit res",
    "1-bit with 8-bit res",
};

// Twelve entries for a 4-bit field: codes 12 to 15 have no entry of their own.
inline constexpr const char* kDimThresholdNames[] = {
    "100% Current Dim", "PWM Below 10%",   "PWM Below 12.5%", "PWM Below 15%",
    "PWM Below 17.5%",  "PWM Below 20%",   "PWM Below 22.5%", "PWM Below 25%",
    "PWM Below 33.3%",  "PWM Below 41.6%", "PWM Below 50%",   "PWM Always",
};

inline constexpr const char* kPhaseShiftNames[] = {
    "6 PH 6 DR", "5 PH 5 DR", "4 PH 4 DR", "3 PH 3 DR",
    "2 PH 2 DR", "3 PH 6 DR", "2 PH 6 DR", "1 PH 6 DR",
};

inline constexpr const char* kPwmFreqNames[] = {
    "4808 Hz",  "6010 Hz",  "7212 Hz",  "8414 Hz",  "9616 Hz",  "12020 Hz",
    "13222 Hz", "14424 Hz", "15626 Hz", "16828 Hz", "18030 Hz", "19232 Hz",
    "24040 Hz", "28848 Hz", "33656 Hz", "38464 Hz",
};

// Codes 0 and 1 read the same; the index, not the text, tells them apart.
inline constexpr const char* kVboostMaxNames[] = {
    "NA / NA",     "NA / NA",       "NA / 21 V",   "NA / 25 V",
    "21 V / 30 V", "25 V / 34.5 V", "30 V / 39 V", "34 V / 43 V",
};

inline constexpr const char* kBoostFreqNames[] = {"312kHz", "625kHz", "1250kHz"};

inline constexpr const char* kPfmThresholdNames[] = {"14 uA", "27 uA", "39 uA", "49 uA"};

inline constexpr const char* kCurrentLimitNames[] = {
    "0.9 A / 1.6 A", "1.2 A / 2.1 A", "1.5 A / 2.6 A", "1.8 A / NA",
};

}  // namespace chip
