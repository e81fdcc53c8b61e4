// load ENTRY, burn prepare|complete: what the panel's Load button and EEPROM
// burn helper write, with the status texts the panel shows.
#include "Commands.h"
#include "ConfigLoad.h"
#include "Confirm.h"
#include "JsonReport.h"
#include "Output.h"
#include "Presets.h"
#include "Quote.h"
#include "StandardOutput.h"
#include "Tool.h"
#include "WriteLog.h"

#include <algorithm>
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

// The status text on standard output, or with --json beside the writes.
void Report(const Tool& tool, const WriteLog& log, const char* statusText, Json json = Json::object())
{
    if (!tool.json) {
        Print(std::string(statusText) + '\n');
        return;
    }
    json["status"] = statusText;
    json.update(log.ToJson());
    HoldJsonResult(json);
}

int RunLoad(Tool& tool, const LoadArgs& args)
{
    const std::optional<int> entry = ConfigEntryNamed(args.entry);
    if (!entry) {
        Problem("load: unknown configuration " + Quoted(args.entry) + " (use E00 to E15)");
        return kExitBadInput;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;

    // The panel clears the backlight bit in its copy of register 01; the
    // tool keeps no copy, so it reads the register, and writes nothing
    // when it cannot.
    const std::optional<uint8_t> control = tool.Read(chip::kEnableBacklight.reg);
    if (!control) {
        Problem("load: cannot read register 01 (brightness control): " + tool.FailureCause() +
                    "; nothing was written",
                chip::kEnableBacklight.reg);
        tool.ForgetFailedReads();
        return kExitFailed;
    }
    // The panel makes every write of a Load; here the first that fails ends it.
    WriteLog log(tool);
    const LoadResult load =
        LoadConfig(*entry, *control, [&log](uint8_t reg, uint8_t value) {
            return !log.Failed() && log.Make(reg, value);
        });

    const bool written = !load.FirstFailed();
    std::string entryName = args.entry;  // e08 is E08
    entryName.front() = 'E';
    Report(tool, log, load.StatusText(), Json{{"entry", entryName}});
    if (written) return kExitDone;
    log.TellFailure("load: ", load.writes.size());
    return kExitFailed;
}

int RunBurn(Tool& tool, const BurnArgs& args)
{
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    const bool prepare = args.step == "prepare";
    const std::string question =
        prepare ? "write 80 to the EEPROM burn register 72 of the chip on " + tool.AdapterName() +
                      ", to prepare the burn?"
                : "write 80 to register 72 of the chip on " + tool.AdapterName() +
                      ", burning its configuration into the EEPROM for good (6V on VLDO)?";
    if (!Confirmed(tool, "burn " + args.step, question)) return kExitBadInput;

    // The burn register is not compared with what was written (a burned chip
    // reads 83 after 80); its value after the write is reported.
    WriteLog log(tool);
    const bool written = log.Make(kBurnRegister, kBurnValue);
    log.ReadBack();
    const char* text = written ? (prepare ? "Apply 6V to VLDO" : "Remove 6V from VLDO")
                               : (prepare ? "Prepare Write failed" : "Complete Write failed");
    Report(tool, log, text, Json{{"step", args.step}});
    if (written) return kExitDone;
    log.TellFailure("burn: ");
    return kExitFailed;
}

}  // namespace

void AddConfigCommands(Tool& tool, Commands& commands)
{
    auto loadArgs = std::make_shared<LoadArgs>();
    commands.push_back(
        {"load",
         "make the panel's Load writes for a Config list entry: register 01 with the "
         "backlight bit cleared, then the entry's preset (E00, E08, E09), each read "
         "back; the first that fails or reads otherwise ends it with exit status 1",
         {{.name = "ENTRY", .help = "Config list entry, E00 to E15", .target = &loadArgs->entry,
           .required = true}},
         [&tool, loadArgs] { return RunLoad(tool, *loadArgs); }});

    auto burnArgs = std::make_shared<BurnArgs>();
    commands.push_back(
        {"burn",
         "EEPROM burn helper: 'prepare', apply 6V to VLDO, 'complete', remove the 6V; "
         "asks first at a terminal unless --yes",
         {{.name = "STEP", .help = "prepare or complete", .target = &burnArgs->step,
           .required = true, .choices = {"prepare", "complete"}}},
         [&tool, burnArgs] { return RunBurn(tool, *burnArgs); }});
}
