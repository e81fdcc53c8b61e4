// adapters: what --adapter can name on this machine, as the panel lists it.
#include "AdapterList.h"
#include "Commands.h"
#include "Output.h"
#include "StandardOutput.h"
#include "Tool.h"

#include <algorithm>
#include <string>

namespace {

// One line each: the --adapter value, then the panel's entry, bridges marked.
int RunAdapters(const Tool& tool)
{
    const std::vector<AdapterListEntry> entries = ListAdapters(kSysClassI2cDev);
    if (tool.json) {
        Json list = Json::array();
        for (const AdapterListEntry& entry : entries) {
            Json item = {{"adapter", entry.setting}, {"name", entry.text}};
            if (!entry.node.empty()) {
                item["node"] = entry.node;
                item["usbBridge"] = entry.usbBridge;
            }
            list.push_back(item);
        }
        PrintJson({{"adapters", list}});
        return kExitDone;
    }
    size_t width = 0;
    for (const AdapterListEntry& entry : entries) width = std::max(width, entry.setting.size());
    std::string text;
    for (const AdapterListEntry& entry : entries)
        text += entry.setting + std::string(width - entry.setting.size() + 2, ' ') + entry.text +
                (entry.usbBridge ? " (USB bridge)" : "") + '\n';
    Print(text);
    return kExitDone;
}

}  // namespace

void AddAdaptersCommand(Tool& tool, Commands& commands)
{
    commands.push_back({"adapters",
                        "list the adapters --adapter can name here: the simulated board, the I2C "
                        "buses (USB bridges first, from sysfs; none is opened), a dump file, none",
                        {},
                        [&tool] { return RunAdapters(tool); }});
}
