// replay TRACE [--dry-run]: the writes of a recorded session, once more.
#include "Commands.h"
#include "HexInput.h"
#include "Output.h"
#include "Presets.h"
#include "Quote.h"
#include "StandardOutput.h"
#include "TextInput.h"
#include "Tool.h"
#include "WriteLog.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct ReplayArgs {
    std::string file;
    bool dryRun = false;
};

struct RecordedWrite {
    int line;
    uint8_t reg;
    uint8_t value;
};

std::optional<uint8_t> TwoHexDigits(std::string_view text)
{
    if (text.size() != 2) return std::nullopt;
    const HexReading r = ReadHex(text);
    if (r.digits != 2 || r.end != 2) return std::nullopt;
    return uint8_t(r.magnitude);
}

// "R A5 3C ok", "R A5 -- fail", "W A5 3C ok", "W A5 3C fail". A recorded
// write that failed did not change the first board, so it is not repeated.
// Answers an error text for a line that is none of these.
std::string ReadLine(std::string_view line, int number, std::vector<RecordedWrite>& writes)
{
    const std::string_view kFormat =
        "is not a trace line ('W A5 3C ok', 'W A5 3C fail', 'R A5 3C ok' or 'R A5 -- fail')";
    if (line.size() < 9 || line[1] != ' ' || line[4] != ' ' || line[7] != ' ')
        return std::string(kFormat);
    const char op = line[0];
    const std::optional<uint8_t> reg = TwoHexDigits(line.substr(2, 2));
    const std::string_view valueText = line.substr(5, 2);
    const std::optional<uint8_t> value = TwoHexDigits(valueText);
    const std::string_view outcome = line.substr(8);
    const bool ok = outcome == "ok";
    if ((op != 'R' && op != 'W') || !reg || (!ok && outcome != "fail"))
        return std::string(kFormat);
    if (op == 'R') {
        if (ok ? !value : valueText != "--") return std::string(kFormat);
        return {};
    }
    if (!value) return std::string(kFormat);
    if (!ReadOnlyRefusal(*reg).empty())
        return "writes " + RegisterNamed(*reg) + ", which is read-only";
    if (*reg == kBurnRegister)
        return "writes the EEPROM burn register 72, which replay never does; burn with "
               "'zr5130ctl burn prepare' and 'zr5130ctl burn complete'";
    if (ok) writes.push_back({number, *reg, *value});
    return {};
}

// The whole file is read and checked before anything is written; it is
// read as register dumps are, so a named pipe, a device or a file far too
// large for a trace is refused at once.
bool ReadTrace(Tool& tool, const std::string& path, std::vector<RecordedWrite>& writes)
{
    if (path == kStandardInputPath && !tool.ClaimStandardInput("replay -")) return false;
    const std::string name = TextInputName(path, Dash::IsStandardInput);
    std::string text;
    std::string error;
    if (!ReadTextInput(path, Dash::IsStandardInput, text, error)) {
        Problem("replay: " + error);
        return false;
    }
    if (text.size() > kMaxTextInputBytes) {
        Problem("replay: " + name + ": too large for a trace (over 1 MiB); nothing was written");
        return false;
    }
    std::string_view rest = text;
    for (int number = 1; !rest.empty(); ++number) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.size() > kMaxTextInputLine) {
            Problem("replay: " + name + ":" + std::to_string(number) +
                    ": line longer than 4096 characters; not a trace; nothing was written");
            return false;
        }
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
            line.remove_suffix(1);
        if (line.empty()) continue;
        if (const std::string problem = ReadLine(line, number, writes); !problem.empty()) {
            Problem("replay: " + name + ":" + std::to_string(number) + ": " + Quoted(line) + " " +
                    problem + "; nothing was written");
            return false;
        }
    }
    return true;
}

Json PlannedJson(const std::vector<RecordedWrite>& writes)
{
    Json planned = Json::array();
    for (const RecordedWrite& w : writes)
        planned.push_back(
            {{"line", w.line}, {"address", HexByteText(w.reg)}, {"value", HexByteText(w.value)}});
    return Json{{"writes", planned}};
}

int RunReplay(Tool& tool, const ReplayArgs& args)
{
    std::vector<RecordedWrite> writes;
    if (!ReadTrace(tool, args.file, writes)) return kExitBadInput;
    if (args.dryRun) {
        if (tool.json) {
            PrintJson(PlannedJson(writes));
            return kExitDone;
        }
        std::string text;
        for (const RecordedWrite& w : writes)
            text += "W " + HexByteText(w.reg) + " " + HexByteText(w.value) + '\n';
        Print(text);
        return kExitDone;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    WriteLog log(tool);
    const RecordedWrite* failed = nullptr;
    for (const RecordedWrite& w : writes) {
        if (log.Make(w.reg, w.value)) continue;
        failed = &w;
        break;
    }
    if (tool.json) PrintJson(log.ToJson());
    if (!failed) return kExitDone;
    log.TellFailure("replay: " + TextInputName(args.file, Dash::IsStandardInput) + ":" +
                        std::to_string(failed->line) + ": ",
                    writes.size());
    return kExitFailed;
}

}  // namespace

void AddReplayCommand(Tool& tool, Commands& commands)
{
    auto args = std::make_shared<ReplayArgs>();
    commands.push_back(
        {"replay",
         "make the successful writes of a trace (ZR5130_TRACE or --trace) again, in "
         "order, each read back, stopping at the first that fails or reads otherwise; "
         "the whole file is checked first (a read-only register is refused)",
         {{.name = "TRACE",
           .help = "trace file ('W A5 3C ok' lines); - reads standard input",
           .target = &args->file,
           .required = true},
          {"--dry-run", "list the writes instead of making them", &args->dryRun}},
         [&tool, args] { return RunReplay(tool, *args); }});
}
