#include "AdapterMemory.h"

#include "AdapterList.h"
#include "LinuxI2cAdapter.h"
#include "Quote.h"
#include "RegisterImage.h"
#include "SettingsFile.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr const char* kAdapterKey = "adapter";
constexpr const char* kAdapterNameKey = "adapterName";
constexpr const char* kHowToChoose =
    "; choose the adapter again under Adapter in zr5130-eval's window menu, or set ZR5130_ADAPTER";

std::optional<I2cBusInfo> BusAt(const std::string& node, const std::string& sysClassDir)
{
    for (const I2cBusInfo& bus : ListI2cBuses(sysClassDir))
        if (bus.node == node) return bus;
    return std::nullopt;
}

std::string SettingsFileProblem(const std::string& path, const std::string& reason)
{
    return "settings file " + Quoted(path, kWholeText) + ": " + reason +
        "; the adapter choice is not remembered";
}

// Why the remembered adapter may not be used now; empty when it may.
std::string Refusal(const std::string& remembered, const std::string& busName,
                    const AdapterOptions& options)
{
    if (remembered.starts_with('/')) {
        const std::optional<I2cBusInfo> bus = BusAt(remembered, options.sysClassDir);
        if (busName.empty())
            return "it was kept without the name of its bus, so it could now be another bus";
        if (!bus) return "the bus " + Quoted(busName) + " is not among the I2C buses now";
        if (bus->name != busName)
            return remembered + " is now " + Quoted(bus->name) + ", not " + Quoted(busName);
        return {};
    }
    if (remembered.starts_with("i2c:")) {
        const I2cBusLookup found = FindI2cBusByName(remembered.substr(4), options.sysClassDir);
        return found.error;
    }
    if (remembered.starts_with("sim:") && remembered.size() > 4) {
        RegisterImage image;
        std::string error;
        return LoadRegisterImage(remembered.substr(4), image, error) ? std::string() : error;
    }
    if (remembered == kSimSetting || remembered == kNoAdapterSetting) return {};
    return "not an adapter this program knows";
}

}  // namespace

RecalledAdapter RecallAdapter(const AdapterOptions& options)
{
    RecalledAdapter recalled;
    const SettingsLocation location = UserSettingsLocation();
    if (location.path.empty()) {
        recalled.note = location.problem + "; the adapter choice is not remembered";
        return recalled;
    }
    SettingsValues values;
    if (std::string reason; !ReadSettingsFile(location.path, values, reason)) {
        recalled.refusal = SettingsFileProblem(location.path, reason);
        recalled.problem = recalled.refusal + "; move it away" + kHowToChoose;
        return recalled;
    }
    const std::string remembered = values[kAdapterKey];
    if (remembered.empty()) return recalled;
    const std::string busName = remembered.starts_with('/') ? values[kAdapterNameKey] : "";
    if (const std::string why = Refusal(remembered, busName, options); !why.empty()) {
        recalled.refusal =
            "remembered adapter " + Quoted(remembered, kWholeText) + " not used: " + why;
        recalled.problem = recalled.refusal + kHowToChoose;
        return recalled;
    }
    recalled.setting = remembered;
    recalled.busName = busName;
    return recalled;
}

AdapterChoice ChooseRecalledAdapter(const std::string& setting, const std::string& busName,
                                    const AdapterOptions& options, const std::string& source)
{
    AdapterChoice choice = ChooseAdapter(setting.c_str(), options, source);
    if (auto* bus = dynamic_cast<LinuxI2cAdapter*>(choice.adapter.get()); bus && !busName.empty())
        bus->RequireBusName(busName, options.sysClassDir);
    return choice;
}

std::string RememberAdapter(const std::string& setting, const AdapterOptions& options)
{
    const SettingsLocation location = UserSettingsLocation();
    if (location.path.empty()) return location.problem + "; the adapter choice is not remembered";
    SettingsChanges changes{{kAdapterKey, setting}, {kAdapterNameKey, std::nullopt}};
    if (setting.starts_with('/'))
        if (const std::optional<I2cBusInfo> bus = BusAt(setting, options.sysClassDir))
            changes[kAdapterNameKey] = bus->name;
    if (std::string reason; !UpdateSettingsFile(location.path, changes, reason))
        return SettingsFileProblem(location.path, reason);
    return {};
}
