// replay TRACE [--dry-run]: the writes of a recorded session, once more.
#include "Commands.h"
#include "HexInput.h"
#include "Presets.h"
#include "Tool.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
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
    if (*reg == kBurnRegister)
        return "writes the EEPROM burn register 72, which replay never does; burn with "
               "'zr5130ctl burn prepare' and 'zr5130ctl burn complete'";
    if (ok) writes.push_back({number, *reg, *value});
    return {};
}

// The whole file is checked before anything is written.
bool ReadTrace(const std::string& path, std::vector<RecordedWrite>& writes)
{
    std::ifstream file(path);
    if (!file) {
        Problem("replay: " + path + ": cannot open: " + std::strerror(errno));
        return false;
    }
    std::string raw;
    int number = 0;
    while (std::getline(file, raw)) {
        ++number;
        std::string_view line = raw;
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
            line.remove_suffix(1);
        if (line.empty()) continue;
        if (const std::string error = ReadLine(line, number, writes); !error.empty()) {
            Problem("replay: " + path + ":" + std::to_string(number) + ": '" + std::string(line) +
                    "' " + error + "; nothing was written");
            return false;
        }
    }
    if (file.bad()) {
        Problem("replay: " + path + ": read error: " + std::strerror(errno));
        return false;
    }
    return true;
}

int RunReplay(Tool& tool, const ReplayArgs& args)
{
    std::vector<RecordedWrite> writes;
    if (!ReadTrace(args.file, writes)) return kExitBadInput;
    if (args.dryRun) {
        std::string text;
        for (const RecordedWrite& w : writes)
            text += "W " + HexByteText(w.reg) + " " + HexByteText(w.value) + '\n';
        std::fputs(text.c_str(), stdout);
        return kExitDone;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    for (size_t i = 0; i < writes.size(); ++i) {
        const RecordedWrite& w = writes[i];
        if (tool.Write(w.reg, w.value)) continue;
        Problem("replay: " + args.file + ":" + std::to_string(w.line) + ": the write of " +
                HexByteText(w.value) + " to register " + HexByteText(w.reg) +
                " failed; stopped after " + std::to_string(i) + " of " +
                std::to_string(writes.size()) + " writes");
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace

void AddReplayCommand(CLI::App& app, Tool& tool, Commands& commands)
{
    auto args = std::make_shared<ReplayArgs>();
    CLI::App* replay = app.add_subcommand(
        "replay", "make the successful writes of a trace (ZR5130_TRACE or --trace) again, in "
                  "order, stopping at the first that fails; the whole file is checked first");
    replay->add_option("TRACE", args->file, "trace file ('W A5 3C ok' lines)")->required();
    replay->add_flag("--dry-run", args->dryRun, "list the writes instead of making them");
    commands.push_back({replay, [&tool, args] { return RunReplay(tool, *args); }});
}
