#include "I2cBuses.h"

#include "Quote.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <regex>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBusPrefix = "i2c-";

bool ParseBusNumber(std::string_view entry, int& number)
{
    if (!entry.starts_with(kBusPrefix)) return false;
    const std::string_view digits = entry.substr(kBusPrefix.size());
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return ec == std::errc() && end == digits.data() + digits.size() && !digits.empty();
}

std::string ReadFirstLine(const fs::path& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

// i2cdetect takes the name from the class entry, or from the adapter device
// behind it on kernels that keep it only there.
std::string AdapterName(const fs::path& entry)
{
    std::string name = ReadFirstLine(entry / "name");
    return name.empty() ? ReadFirstLine(entry / "device" / "name") : name;
}

// A USB bridge's bus sits below the host controller's root hub, "usbN", in
// the device tree, whatever the bridge's driver.
bool BelowUsbDevice(const fs::path& entry)
{
    std::error_code ec;
    const fs::path device = fs::canonical(entry, ec);
    if (ec) return false;
    return std::any_of(device.begin(), device.end(), [](const fs::path& part) {
        const std::string text = part.string();
        return text.size() > 3 && text.starts_with("usb") &&
               std::all_of(text.begin() + 3, text.end(),
                           [](unsigned char c) { return std::isdigit(c) != 0; });
    });
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ListText(const std::vector<I2cBusInfo>& buses)
{
    std::string text;
    for (const I2cBusInfo& bus : buses) {
        if (!text.empty()) text += "; ";
        text += DescribeI2cBus(bus);
    }
    return text;
}

}  // namespace

std::vector<I2cBusInfo> ListI2cBuses(const std::string& sysClassDir)
{
    std::vector<I2cBusInfo> buses;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(sysClassDir, ec)) {
        I2cBusInfo bus;
        if (!ParseBusNumber(entry.path().filename().string(), bus.number)) continue;
        bus.node = "/dev/i2c-" + std::to_string(bus.number);
        bus.name = AdapterName(entry.path());
        bus.usbBridge = BelowUsbDevice(entry.path());
        buses.push_back(std::move(bus));
    }
    std::sort(buses.begin(), buses.end(),
              [](const I2cBusInfo& a, const I2cBusInfo& b) { return a.number < b.number; });
    return buses;
}

std::string DescribeI2cBus(const I2cBusInfo& bus)
{
    return bus.node + ": " + bus.name;
}

std::string StableBusName(const std::string& name)
{
    static const std::regex kPlugSuffix(R"( +(on [A-Za-z_-]*[0-9]+|at bus [0-9]+ device [0-9]+)$)");
    return std::regex_replace(name, kPlugSuffix, "");
}

I2cBusLookup FindI2cBusByName(const std::string& namePart, const std::string& sysClassDir)
{
    I2cBusLookup lookup;
    const std::vector<I2cBusInfo> buses = ListI2cBuses(sysClassDir);
    if (buses.empty()) {
        lookup.error = "no I2C bus named like " + Quoted(namePart) + ": no buses in " + sysClassDir +
                       "; plug in the adapter and load i2c-dev (sudo modprobe i2c-dev)";
        return lookup;
    }
    const std::string wanted = Lower(namePart);
    std::vector<I2cBusInfo> matches;
    std::copy_if(buses.begin(), buses.end(), std::back_inserter(matches),
                 [&](const I2cBusInfo& bus) { return Lower(bus.name).find(wanted) != std::string::npos; });
    if (matches.size() == 1) {
        lookup.bus = matches.front();
    } else if (matches.empty()) {
        lookup.error = "no I2C bus named like " + Quoted(namePart) + "; buses found: " + ListText(buses);
    } else {
        lookup.error = Quoted(namePart) + " names " + std::to_string(matches.size()) +
                       " I2C buses: " + ListText(matches) +
                       "; give more of the name, or /dev/i2c-N";
    }
    return lookup;
}
