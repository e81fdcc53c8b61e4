#include "AdapterList.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::string BusSetting(const I2cBusInfo& bus, const std::vector<I2cBusInfo>& buses)
{
    const std::string stable = StableBusName(bus.name);
    const std::string wanted = Lower(stable);
    const auto named = std::count_if(buses.begin(), buses.end(), [&](const I2cBusInfo& other) {
        return Lower(other.name).find(wanted) != std::string::npos;
    });
    return stable.empty() || named != 1 ? bus.node : "i2c:" + stable;
}

std::vector<AdapterListEntry> ListAdapters(const std::string& sysClassDir)
{
    std::vector<I2cBusInfo> buses = ListI2cBuses(sysClassDir);
    std::stable_partition(buses.begin(), buses.end(),
                          [](const I2cBusInfo& bus) { return bus.usbBridge; });
    std::vector<AdapterListEntry> entries{{kSimSetting, "Simulated Board", {}, false, {}}};
    for (const I2cBusInfo& bus : buses)
        entries.push_back(
            {BusSetting(bus, buses), DescribeI2cBus(bus), bus.node, bus.usbBridge, bus.name});
    entries.push_back({kDumpFileSetting, "Register Dump File", {}, false, {}});
    entries.push_back({kNoAdapterSetting, "No Adapter", {}, false, {}});
    return entries;
}
