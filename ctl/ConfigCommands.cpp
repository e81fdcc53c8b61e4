// load ENTRY, burn prepare|complete: what the panel's Load button and EEPROM
// burn helper write, with the status texts the panel shows.
#include "Commands.h"
#include "ConfigLoad.h"
#include "HexInput.h"
#include "Presets.h"
#include "Tool.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

struct LoadArgs {
    std::string entry;
};

struct BurnArgs {
    std::string step;
};

// "E00" to "E15", as the Config list names its entries.
std::optional<int> ConfigEntry(const std::string& text)
{
    if (text.size() != 3 || (text[0] != 'E' && text[0] != 'e')) return std::nullopt;
    if (text[1] < '0' || text[1] > '9' || text[2] < '0' || text[2] > '9') return std::nullopt;
    const int entry = (text[1] - '0') * 10 + (text[2] - '0');
    if (entry >= kConfigEntries) return std::nullopt;
    return entry;
}

void PrintLine(const char* text) { std::printf("%s\n", text); }

int RunLoad(Tool& tool, const LoadArgs& args)
{
    const std::optional<int> entry = ConfigEntry(args.entry);
    if (!entry) {
        Problem("load: unknown configuration '" + args.entry + "' (use E00 to E15)");
        return kExitBadInput;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;

    // The panel clears the backlight bit in its copy of register 01; the
    // tool keeps no copy, so it reads the register, and writes nothing
    // when it cannot.
    uint8_t control = 0;
    if (!tool.Read(chip::kEnableBacklight.reg, control)) {
        Problem("load: cannot read register 01 (brightness control); nothing was written");
        return kExitFailed;
    }
    const LoadResult load = LoadConfig(
        *entry, control, [&tool](uint8_t reg, uint8_t value) { return tool.Write(reg, value); });
    PrintLine(load.StatusText());
    if (!load.FirstFailed()) return kExitDone;
    std::string failed;
    for (const LoadWrite& write : load.writes)
        if (!write.ok) failed += (failed.empty() ? "" : " ") + HexByteText(write.reg);
    Problem("load: the chip did not acknowledge the writes to register " + failed);
    return kExitFailed;
}

int RunBurn(Tool& tool, const BurnArgs& args)
{
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    const bool prepare = args.step == "prepare";
    const bool written = tool.Write(kBurnRegister, kBurnValue);
    if (written) {
        PrintLine(prepare ? "Apply 6V to VLDO" : "Remove 6V from VLDO");
        return kExitDone;
    }
    PrintLine(prepare ? "Prepare Write failed" : "Complete Write failed");
    Problem("burn: the chip did not acknowledge the write of 80 to register 72");
    return kExitFailed;
}

}  // namespace

void AddConfigCommands(CLI::App& app, Tool& tool, Commands& commands)
{
    auto loadArgs = std::make_shared<LoadArgs>();
    CLI::App* load = app.add_subcommand(
        "load", "make the panel's Load writes for a Config list entry: register 01 with the "
                "backlight bit cleared, then the entry's preset (E00, E08, E09)");
    load->add_option("ENTRY", loadArgs->entry, "Config list entry, E00 to E15")->required();
    commands.push_back({load, [&tool, loadArgs] { return RunLoad(tool, *loadArgs); }});

    auto burnArgs = std::make_shared<BurnArgs>();
    CLI::App* burn = app.add_subcommand(
        "burn", "EEPROM burn helper: 'prepare', apply 6V to VLDO, 'complete', remove the 6V");
    burn->add_option("STEP", burnArgs->step, "prepare or complete")
        ->required()
        ->check(CLI::IsMember({"prepare", "complete"}));
    commands.push_back({burn, [&tool, burnArgs] { return RunBurn(tool, *burnArgs); }});
}
