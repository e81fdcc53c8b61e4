#pragma once

#include "I2cBuses.h"

#include <string>
#include <vector>

// The adapters a user can choose from, in the order the panel's Adapter list
// and `zr5130ctl adapters` show them: the simulated board, the Linux I2C
// buses (USB bridges first), a register dump file, no adapter. Read from
// sysfs only: no bus is opened.
struct AdapterListEntry {
    // As ZR5130_ADAPTER takes it: "sim", "i2c:CP2112 SMBus Bridge",
    // "/dev/i2c-0" (a bus whose name does not single it out), "sim:FILE",
    // "none".
    std::string setting;
    // "Simulated Board", "/dev/i2c-7: CP2112 SMBus Bridge on hidraw0",
    // "Register Dump File", "No Adapter".
    std::string text;
    std::string node;  // "/dev/i2c-7" for a bus, empty otherwise
    bool usbBridge = false;
    std::string busName;  // "CP2112 SMBus Bridge on hidraw0" for a bus, empty otherwise
};

inline constexpr const char* kSimSetting = "sim";
inline constexpr const char* kDumpFileSetting = "sim:FILE";
inline constexpr const char* kNoAdapterSetting = "none";

std::vector<AdapterListEntry> ListAdapters(const std::string& sysClassDir);

// How a bus is remembered: "i2c:" and the stable part of its name, so that a
// replug that renumbers it still finds it; its node when that name would
// also pick another bus of buses.
std::string BusSetting(const I2cBusInfo& bus, const std::vector<I2cBusInfo>& buses);
