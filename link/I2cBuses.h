#pragma once

#include <string>
#include <vector>

// The Linux I2C buses as `i2cdetect -l` lists them, read from sysfs only: no
// bus node is opened, so listing is safe whatever sits on the buses.

struct I2cBusInfo {
    int number = 0;          // N of /dev/i2c-N
    std::string node;        // "/dev/i2c-N"
    std::string name;        // the adapter's name, "CP2112 SMBus Bridge on hidraw0"
    bool usbBridge = false;  // the bus's device sits below a USB device
};

inline constexpr const char* kSysClassI2cDev = "/sys/class/i2c-dev";

// Every bus under sysClassDir, by bus number; none when the directory is
// missing (no bus, or the i2c-dev module not loaded).
std::vector<I2cBusInfo> ListI2cBuses(const std::string& sysClassDir = kSysClassI2cDev);

// "/dev/i2c-7: CP2112 SMBus Bridge on hidraw0"
std::string DescribeI2cBus(const I2cBusInfo& bus);

// The part of an adapter's name that survives a replug: the kernel appends
// what the bridge was plugged into ("on hidraw0", "at bus 001 device 005"),
// and that changes. "CP2112 SMBus Bridge on hidraw0" -> "CP2112 SMBus Bridge".
std::string StableBusName(const std::string& name);

// The one bus whose adapter name contains namePart, ignoring case. When none
// or several do, error says so and lists the buses found.
struct I2cBusLookup {
    I2cBusInfo bus;
    std::string error;
};
I2cBusLookup FindI2cBusByName(const std::string& namePart,
                              const std::string& sysClassDir = kSysClassI2cDev);
