// dump, restore FILE
#include "ChipImage.h"
#include "Commands.h"
#include "Confirm.h"
#include "HexInput.h"
#include "ImageRead.h"
#include "JsonReport.h"
#include "Output.h"
#include "RegisterImage.h"
#include "Restore.h"
#include "StandardOutput.h"
#include "TextInput.h"
#include "Tool.h"
#include "WriteLog.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

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
        HoldJsonResult(ReadingsJson(readings));
    } else {
        Print(FormatRegisterImage(image));
    }
    return HoldsAll(image, MapRegisters()) ? kExitDone : kExitFailed;
}

int RunRestore(Tool& tool, const RestoreArgs& args)
{
    RegisterImage image;
    if (const int status = LoadDump(tool, args.file, "restore", image); status != kExitDone)
        return status;
    const std::vector<RegisterValue> restored = RestoreWrites(image.values);
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

    // Like the panel's own writes, every register is tried and each
    // difference listed; only a stuck bus ends it early.
    WriteLog log(tool);
    for (const RegisterValue& r : restored)
        if (!tool.BusStuck()) log.Make(r.reg, r.value);
    std::vector<const WriteLog::Write*> differing;
    for (const WriteLog::Write& write : log.Writes())
        if (write.check.outcome == WriteCheck::Outcome::Differs ||
            write.check.outcome == WriteCheck::Outcome::ReadFailed)
            differing.push_back(&write);
    if (tool.json) {
        Json json = log.ToJson();
        Json list = Json::array();
        for (const WriteLog::Write* w : differing)
            list.push_back({{"address", HexByteText(w->reg)},
                            {"wrote", HexByteText(w->value)},
                            {"reads", ValueJson(w->check.read)}});
        json["differing"] = list;
        HoldJsonResult(json);
    } else {
        std::string report;
        for (const WriteLog::Write* w : differing)
            report += HexByteText(w->reg) + ": wrote " + HexByteText(w->value) + ", reads " +
                      ValueText(w->check.read) + '\n';
        Print(report);
    }
    for (const WriteLog::Write& write : log.Writes())
        if (write.check.outcome == WriteCheck::Outcome::WriteFailed)
            Problem("restore: " + write.cause, write.reg);
    const bool allWritten = log.Writes().size() == restored.size() &&
                            std::ranges::all_of(log.Writes(), &WriteLog::Write::Ok);
    if (!differing.empty())
        Problem("restore: " + std::to_string(differing.size()) + " of " +
                std::to_string(restored.size()) + " registers do not read back as written");
    return allWritten ? kExitDone : kExitFailed;
}

}  // namespace

void AddDumpCommands(Tool& tool, Commands& commands)
{
    commands.push_back({"dump",
                        "read every register of the register map (the panel's readback grid and "
                        "the LED enables 16) and print them as i2cdump's byte table (XX: not "
                        "read); the output loads as --adapter sim:FILE",
                        {},
                        [&tool] { return RunDump(tool); }});

    auto restoreArgs = std::make_shared<RestoreArgs>();
    commands.push_back(
        {"restore",
         "write every register the panel writes from a dump (never 02 or the burn "
         "register 72), read them back and list each difference; asks first at a "
         "terminal unless --yes",
         {{.name = "FILE",
           .help = "register dump (i2cdump's byte table); - reads standard input",
           .target = &restoreArgs->file,
           .required = true}},
         [&tool, restoreArgs] { return RunRestore(tool, *restoreArgs); }});
}
