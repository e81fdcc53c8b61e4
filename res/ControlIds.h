#pragma once

// The panel's control IDs, named once: the template, the panel's tables and
// the tests all use these names.
namespace idc {

inline constexpr int kExit = 2;  // the dialog's cancel command
inline constexpr int kAboutOk = 1;  // the About box's OK
inline constexpr int kReadbackAll = 1020;
inline constexpr int kVersionLine = 1056;
inline constexpr int kStatusLine = 1057;

// Brightness Mode and Control
inline constexpr int kFastResume = 1078;
inline constexpr int kEnableBacklight = 1044;
inline constexpr int kMode = 1046;
inline constexpr int kBrightness = 1047;
inline constexpr int kBrightnessPct = 1117;

// Status Register (read only)
inline constexpr int kOpen = 1071;
inline constexpr int kShort = 1074;
inline constexpr int kVrefOk = 1021;
inline constexpr int kVboostOk = 1022;
inline constexpr int kOverVoltage = 1023;
inline constexpr int kOverCurrent = 1024;
inline constexpr int kTsd = 1025;
inline constexpr int kUvlo = 1026;

// LED Enables
inline constexpr int kLed1 = 1039;
inline constexpr int kLed2 = 1027;
inline constexpr int kLed3 = 1028;
inline constexpr int kLed4 = 1029;
inline constexpr int kLed5 = 1030;
inline constexpr int kLed6 = 1031;
inline constexpr int kAllOn = 1036;
inline constexpr int kAllOff = 1037;

// Current Value
inline constexpr int kCurrent = 1054;
inline constexpr int kTarget = 1102;
inline constexpr int kSet = 1077;
inline constexpr int kCurrentScale = 1070;
inline constexpr int kPdetStandby = 1103;

// Config Register A2
inline constexpr int kUvloEnable = 1111;
inline constexpr int kUvloLevel = 1110;
inline constexpr int kBacklightOn = 1109;
inline constexpr int kIsetEn = 1108;
inline constexpr int kBoostFsetEn = 1107;
inline constexpr int kPwmFsetEn = 1106;
inline constexpr int kUpdateA2 = 1066;

// Config Register A3
inline constexpr int kPwmSlope = 1125;
inline constexpr int kFilter = 1127;
inline constexpr int kPwmHysteresis = 1128;
inline constexpr int kUpdateA3 = 1126;

// Config Registers A4 and A5
inline constexpr int kDimThreshold = 1123;
inline constexpr int kPwmDirect = 1120;
inline constexpr int kPhaseShift = 1121;
inline constexpr int kPwmFreq = 1122;

// Vboost
inline constexpr int kVboost = 1113;
inline constexpr int kVboostCode = 1116;
inline constexpr int kVboostMax = 1114;
inline constexpr int kBoostFreq = 1119;
inline constexpr int kSsEn = 1131;
inline constexpr int kAdaptive = 1115;

// Config Register A7
inline constexpr int kDrv3Enable = 1105;
inline constexpr int kDrv2Enable = 1104;
inline constexpr int kPfmThreshold = 1050;
inline constexpr int kCurrentLimit = 1049;
inline constexpr int kUpdateA7 = 1052;

// Configuration Selection and Config Eprom Burn Helper
inline constexpr int kConfig = 1134;
inline constexpr int kLoad = 1135;
inline constexpr int kPrepareWrite = 1136;
inline constexpr int kCompleteWrite = 1137;

// IBoost Range 98 and Vboost Range 9E
inline constexpr int kIboostLow = 1140;
inline constexpr int kIboostHigh = 1141;
inline constexpr int kVboostLow = 1132;
inline constexpr int kVboostHigh = 1133;

// Manual Control
inline constexpr int kRegAddr = 1016;
inline constexpr int kData = 1017;
inline constexpr int kManualWrite = 1018;
inline constexpr int kManualRead = 1019;

// Readback grid: one box per register.
inline constexpr int kReg00 = 1006;
inline constexpr int kReg01 = 1040;
inline constexpr int kReg02 = 1041;
inline constexpr int kReg03 = 1042;
inline constexpr int kReg04 = 1043;
inline constexpr int kReg05 = 1045;
inline constexpr int kReg06 = 1048;
inline constexpr int kRegA0 = 1053;
inline constexpr int kRegA1 = 1007;
inline constexpr int kRegA2 = 1055;
inline constexpr int kRegA3 = 1065;
inline constexpr int kRegA4 = 1058;
inline constexpr int kRegA5 = 1059;
inline constexpr int kRegA6 = 1060;
inline constexpr int kRegA7 = 1061;
inline constexpr int kRegA8 = 1062;
inline constexpr int kRegA9 = 1063;
inline constexpr int kRegAA = 1064;
inline constexpr int kRegAB = 1079;
inline constexpr int kRegAC = 1080;
inline constexpr int kRegAD = 1081;
inline constexpr int kRegAE = 1082;
inline constexpr int kRegAF = 1083;
inline constexpr int kReg72 = 1129;
inline constexpr int kReg98 = 1130;
inline constexpr int kReg9E = 1142;

}  // namespace idc
