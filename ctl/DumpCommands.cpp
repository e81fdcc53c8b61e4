// dump, restore FILE
#include "Commands.h"
#include "HexInput.h"
#include "Output.h"
#include "RegisterImage.h"
#include "RegisterMap.h"
#include "Tool.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// The registers the panel itself writes, without the EEPROM burn register:
// the configuration first, in the presets' order, then LED enables,
// brightness and last the brightness control, so that the backlight comes on
// only once everything else is in place.
constexpr uint8_t kRestoreOrder[] = {
    0x98, 0x9E, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
    0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0x16, 0x00, 0x01,
};

struct RestoreArgs {
    std::string file;
};

int RunDump(Tool& tool)
{
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    RegisterImage image;
    std::vector<RegisterReading> readings;
    bool allRead = true;
    for (uint8_t reg : chip::ReadbackRegisters()) {
        RegisterReading reading{reg, std::nullopt};
        uint8_t value = 0;
        if (tool.Read(reg, value)) {
            reading.value = value;
            image.values[reg] = value;
        } else {
            allRead = false;
        }
        readings.push_back(reading);
    }
    if (tool.json)
        PrintJson(ReadingsJson(readings));
    else
        std::fputs(FormatRegisterImage(image).c_str(), stdout);
    return allRead ? kExitDone : kExitFailed;
}

struct Restored {
    uint8_t reg;
    uint8_t value;
};

int RunRestore(Tool& tool, const RestoreArgs& args)
{
    RegisterImage image;
    std::string error;
    if (!LoadRegisterImage(args.file, image, error)) {
        Problem("restore: " + error);
        return kExitBadInput;
    }
    std::vector<Restored> restored;
    for (uint8_t reg : kRestoreOrder)
        if (image.values[reg]) restored.push_back({reg, *image.values[reg]});
    if (restored.empty()) {
        Problem("restore: " + args.file + " holds none of the registers the panel writes "
                "(every one of them is XX)");
        return kExitBadInput;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;

    for (const Restored& r : restored) tool.Write(r.reg, r.value);
    if (tool.BusStuck()) return kExitFailed;
    int differing = 0;
    std::string report;
    for (const Restored& r : restored) {
        uint8_t value = 0;
        const bool read = tool.Read(r.reg, value);
        if (read && value == r.value) continue;
        ++differing;
        report += HexByteText(r.reg) + ": wrote " + HexByteText(r.value) + ", reads " +
                  ValueText(read ? std::optional<uint8_t>(value) : std::nullopt) + '\n';
    }
    std::fputs(report.c_str(), stdout);
    if (differing == 0) return kExitDone;
    Problem("restore: " + std::to_string(differing) + " of " + std::to_string(restored.size()) +
            " registers do not read back as written");
    return kExitFailed;
}

}  // namespace

void AddDumpCommands(CLI::App& app, Tool& tool, Commands& commands)
{
    CLI::App* dump = app.add_subcommand(
        "dump", "read the 26 registers of the panel's readback grid and print them as "
                "i2cdump's byte table (XX: not read); the output loads as --adapter sim:FILE");
    commands.push_back({dump, [&tool] { return RunDump(tool); }});

    auto restoreArgs = std::make_shared<RestoreArgs>();
    CLI::App* restore = app.add_subcommand(
        "restore", "write every register the panel writes from a dump (never 02 or the burn "
                   "register 72), read them back and list each difference");
    restore->add_option("FILE", restoreArgs->file, "register dump (i2cdump's byte table)")
        ->required();
    commands.push_back({restore, [&tool, restoreArgs] { return RunRestore(tool, *restoreArgs); }});
}
