// dump, restore FILE
#include "ChipImage.h"
#include "Commands.h"
#include "Confirm.h"
#include "HexInput.h"
#include "ImageRead.h"
#include "Output.h"
#include "RegisterImage.h"
#include "StandardOutput.h"
#include "TextInput.h"
#include "Tool.h"
#include "WriteLog.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <optional>
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
    const RegisterImage image = ReadChipImage(tool);
    if (tool.json) {
        std::vector<RegisterReading> readings;
        for (uint8_t reg : MapRegisters()) readings.push_back({reg, image.values[reg]});
        PrintJson(ReadingsJson(readings));
    } else {
        Print(FormatRegisterImage(image));
    }
    return HoldsAll(image, MapRegisters()) ? kExitDone : kExitFailed;
}

// A register that does not hold what restore wrote to it.
struct Mismatch {
    uint8_t reg;
    uint8_t wrote;
    std::optional<uint8_t> reads;
};

std::vector<Mismatch> Mismatches(const WriteLog& log)
{
    std::vector<Mismatch> mismatches;
    const std::vector<WriteLog::Write> writes = log.LastWrites();
    for (const RegisterReading& reading : log.ReadBacks()) {
        const auto write = std::ranges::find(writes, reading.reg, &WriteLog::Write::reg);
        if (reading.value != write->value) mismatches.push_back({reading.reg, write->value, reading.value});
    }
    return mismatches;
}

int RunRestore(Tool& tool, const RestoreArgs& args)
{
    RegisterImage image;
    if (const int status = LoadDump(tool, args.file, "restore", image); status != kExitDone)
        return status;
    std::vector<RegisterReading> restored;
    for (uint8_t reg : kRestoreOrder)
        if (const std::optional<uint8_t> value = image.values[reg]) restored.push_back({reg, value});
    if (restored.empty()) {
        Problem("restore: " + TextInputName(args.file, Dash::IsStandardInput) +
                " holds none of the registers the panel writes (every one of them is XX)");
        return kExitBadInput;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    if (!Confirmed(tool, "restore",
                   "write " + std::to_string(restored.size()) + " registers from " +
                       TextInputName(args.file, Dash::IsStandardInput) + " to the chip on " +
                       tool.AdapterName() + "?"))
        return kExitBadInput;

    WriteLog log(tool);
    for (const RegisterReading& r : restored)
        if (!tool.BusStuck()) log.Make(r.reg, *r.value);
    log.ReadBack();
    const std::vector<Mismatch> mismatches = Mismatches(log);
    if (tool.json) {
        Json json = log.ToJson();
        Json differing = Json::array();
        for (const Mismatch& m : mismatches)
            differing.push_back({{"address", HexByteText(m.reg)},
                                 {"wrote", HexByteText(m.wrote)},
                                 {"reads", ValueJson(m.reads)}});
        json["differing"] = differing;
        PrintJson(json);
    } else {
        std::string report;
        for (const Mismatch& m : mismatches)
            report += HexByteText(m.reg) + ": wrote " + HexByteText(m.wrote) + ", reads " +
                      ValueText(m.reads) + '\n';
        Print(report);
    }
    log.TellFailedWrites("restore: ");
    const bool allWritten = log.Writes().size() == restored.size() &&
                            std::ranges::all_of(log.Writes(), &WriteLog::Write::ok);
    if (!mismatches.empty())
        Problem("restore: " + std::to_string(mismatches.size()) + " of " +
                std::to_string(restored.size()) + " registers do not read back as written");
    return allWritten && mismatches.empty() ? kExitDone : kExitFailed;
}

}  // namespace

void AddDumpCommands(CLI::App& app, Tool& tool, Commands& commands)
{
    CLI::App* dump = app.add_subcommand(
        "dump", "read every register of the register map (the panel's readback grid and the "
                "LED enables 16) and print them as i2cdump's byte table (XX: not read); the "
                "output loads as --adapter sim:FILE");
    commands.push_back({dump, [&tool] { return RunDump(tool); }});

    auto restoreArgs = std::make_shared<RestoreArgs>();
    CLI::App* restore = app.add_subcommand(
        "restore", "write every register the panel writes from a dump (never 02 or the burn "
                   "register 72), read them back and list each difference; asks first at a "
                   "terminal unless --yes");
    restore->add_option("FILE", restoreArgs->file, "register dump (i2cdump's byte table); - reads "
                                                   "standard input")
        ->required();
    commands.push_back({restore, [&tool, restoreArgs] { return RunRestore(tool, *restoreArgs); }});
}
