// watch [--interval MS] [--count N] [--csv] [--until FIELD=VALUE] [--timeout SECONDS]
// [REG...]: a line for every change, or a CSV row for every read.
#include "Commands.h"
#include "FieldCondition.h"
#include "HexArgs.h"
#include "HexInput.h"
#include "Output.h"
#include "Quote.h"
#include "RegisterMap.h"
#include "StandardOutput.h"
#include "StopSignals.h"
#include "Tool.h"
#include "WatchClock.h"
#include "WatchLines.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct WatchArgs {
    unsigned intervalMs = 500;
    long long count = 0;  // reads to make; 0: until interrupted
    bool csv = false;
    std::string until;    // FIELD=VALUE; empty: none
    double timeoutS = 0;  // 0: none
    std::vector<std::string> regs;
};

// After a failed attempt the bus is given this long before the next: a
// stuck bus takes the bridge's timeout (a second or more) for every try.
constexpr unsigned kRetryMs = 5000;

// One reading of every watched register. An attempt fails when the adapter
// does not come up again or no register answers: the bus or the board is
// gone, not one register.
struct Attempt {
    std::vector<std::optional<uint8_t>> values;
    bool failed = false;
    std::string cause;
};

Attempt Read(Tool& tool, const std::vector<uint8_t>& regs, bool reopen)
{
    Attempt attempt;
    tool.ClearStuck();
    if (reopen && !tool.Reopen(attempt.cause)) {
        attempt.values.resize(regs.size());
        attempt.failed = true;
        return attempt;
    }
    attempt.failed = true;
    for (uint8_t reg : regs) {
        attempt.values.push_back(tool.Read(reg));
        if (attempt.values.back()) attempt.failed = false;
    }
    return attempt;
}

// What is known of one board between its reads.
struct Watched {
    std::vector<std::optional<uint8_t>> last;
    bool lastFailed = false;
    bool seen = false;  // --until held: the board is watched no more
};

// One read of a board's registers and its lines; false when standard output
// failed. more: another read follows.
bool WatchOnce(Tool& tool, WatchLines& lines, const std::vector<uint8_t>& regs, Watched& board,
               long long reads, bool more, bool& anyFailed)
{
    const std::string label = tool.BoardLabel();
    const Attempt attempt = Read(tool, regs, board.lastFailed);
    bool newlyFailed = false;
    for (size_t i = 0; i < regs.size(); ++i) {
        const std::optional<uint8_t> now = attempt.values[i];
        anyFailed = anyFailed || !now;
        newlyFailed = newlyFailed || (!now && (reads == 0 || board.last[i]));
        if (!lines.Reading(label, regs[i], reads == 0, board.last[i], now)) return false;
        board.last[i] = now;
    }
    const std::string when = (label.empty() ? "" : label + " ") + lines.TimeNow() + ": ";
    const std::string retry =
        more ? "; trying again in " + std::to_string(kRetryMs / 1000) + " s" : "";
    if (attempt.failed && !attempt.cause.empty())
        Problem(when + attempt.cause + retry);
    else if (attempt.failed || newlyFailed)
        tool.TellFailedReads(when, attempt.failed ? retry : "");
    tool.ForgetFailedReads();
    board.lastFailed = attempt.failed;
    return true;
}

// --until's FIELD=VALUE, read as set reads a field and its value.
std::optional<std::vector<chip::FieldCondition>> ReadUntil(const std::string& text)
{
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        Problem("watch: --until " + Quoted(text) +
                " is not FIELD=VALUE (for example over-voltage=1)");
        return std::nullopt;
    }
    const chip::FieldText field{text.substr(0, equals), text.substr(equals + 1)};
    chip::ConditionReading reading = chip::ReadConditions({&field, 1});
    if (!reading.error.empty()) {
        Problem("watch: --until: " + reading.error);
        return std::nullopt;
    }
    return std::move(reading.conditions);
}

// What the board's registers read last, those that answered.
chip::RegisterValues LastValues(const std::vector<uint8_t>& regs, const Watched& board)
{
    chip::RegisterValues values;
    for (size_t i = 0; i < regs.size(); ++i)
        if (board.last[i]) values[regs[i]] = *board.last[i];
    return values;
}

// With --each every board is read in each round, its lines starting with its
// adapter; --until waits for every board to show it, and a board that has
// is read no more.
int RunWatch(Tool& tool, const WatchArgs& args)
{
    auto regs = ParseByteArgs(args.regs, "watch: register");
    if (!regs) return kExitBadInput;
    std::vector<chip::FieldCondition> until;
    if (!args.until.empty()) {
        auto conditions = ReadUntil(args.until);
        if (!conditions) return kExitBadInput;
        until = std::move(*conditions);
    }
    for (const uint8_t reg : chip::ConditionRegisters(until))
        if (std::ranges::find(*regs, reg) == regs->end()) regs->push_back(reg);
    if (regs->empty()) regs->push_back(chip::kStatusRegister);
    if (args.csv && tool.json) {
        Problem("watch: --csv and --json are two formats; give one");
        return kExitBadInput;
    }
    tool.AllBoardsDone();
    for (size_t b = 0; b < tool.Boards(); ++b) {
        tool.SelectBoard(b);
        if (const int status = tool.OpenChip(); status != kExitDone) return status;
    }

    CatchStopSignals();
    using Format = WatchLines::Format;
    WatchLines lines(args.csv ? Format::Csv : tool.json ? Format::Json : Format::Text,
                     tool.Each());
    if (!lines.Start()) return kExitFailed;
    std::vector<Watched> boards(tool.Boards(),
                                Watched{std::vector<std::optional<uint8_t>>(regs->size())});
    bool anyFailed = false;
    WatchClock clock(args.timeoutS > 0
                         ? std::optional(std::chrono::duration<double>(args.timeoutS))
                         : std::nullopt);
    long long reads = 0;
    for (; !StopSignal(); ++reads) {
        if (reads > 0) {
            const bool failing = std::ranges::any_of(boards, &Watched::lastFailed);
            if (!clock.Wait(std::chrono::milliseconds(failing ? kRetryMs : args.intervalMs))) {
                OutputReaderGone();
                return kExitFailed;
            }
            if (StopSignal()) break;
        }
        const bool last = (args.count > 0 && reads + 1 >= args.count) || clock.PastEnd();
        for (size_t b = 0; b < boards.size(); ++b) {
            if (boards[b].seen) continue;
            tool.SelectBoard(b);
            TagJsonWithAdapter(tool.BoardLabel());
            if (!WatchOnce(tool, lines, *regs, boards[b], reads, !last, anyFailed))
                return kExitFailed;
            boards[b].seen =
                !until.empty() && chip::ConditionsHold(until, LastValues(*regs, boards[b]));
        }
        if (!until.empty() && std::ranges::all_of(boards, &Watched::seen)) return kExitDone;
        if (last) {
            ++reads;
            break;
        }
    }
    if (until.empty() || StopSignal()) return anyFailed ? kExitFailed : kExitDone;
    char within[48];
    if (args.timeoutS > 0)
        std::snprintf(within, sizeof within, "within %g s", args.timeoutS);
    else
        std::snprintf(within, sizeof within, "in %lld reads", reads);
    for (size_t b = 0; b < boards.size(); ++b) {
        tool.SelectBoard(b);
        const std::string label = tool.BoardLabel();
        if (!boards[b].seen)
            Problem("watch: " + (label.empty() ? "" : label + ": ") +
                    chip::NotSeenText(until, LastValues(*regs, boards[b]), within));
    }
    return kExitFailed;
}

}  // namespace

void AddWatchCommand(Tool& tool, Commands& commands)
{
    auto args = std::make_shared<WatchArgs>();
    commands.push_back(
        {"watch",
         "read the status register 02 (or the named ones) every MS milliseconds and "
         "print a timestamped line for each value that changes (with --csv a row for "
         "every read); when the bus fails, a line on standard error and another try "
         "every 5 s; Ctrl+C ends it, and so does the end of a pipe's reader",
         {{.name = "--interval",
           .help = "milliseconds between reads (default 500)",
           .target = &args->intervalMs,
           .typeName = "MS",
           .range = std::pair(1.0, 3600000.0)},
          {.name = "--count",
           .help = "end after N reads",
           .target = &args->count,
           .typeName = "N",
           .range = std::pair(1.0, 1e12)},
          {"--csv",
           "a CSV row for every read: time,kind,register,value and one column per "
           "status flag, as the panel's Timeline saves them (with --each, an adapter "
           "column first)",
           &args->csv},
          {.name = "--until",
           .help = "end with status 0 once the chip shows the field at this value, after "
                   "its line (over-voltage=1); field and value as set takes them, the "
                   "field's register watched too; with --each, once every board has shown "
                   "it",
           .target = &args->until,
           .typeName = "FIELD=VALUE"},
          {.name = "--timeout",
           .help = "end after SECONDS (decimals allowed); with --until, status 1 and a line "
                   "saying so when it was not seen by then",
           .target = &args->timeoutS,
           .typeName = "SECONDS",
           .range = std::pair(0.001, 10000000.0)},
          {"REG", "registers to watch, in hex (default 02)", &args->regs}},
         [&tool, args] { return RunWatch(tool, *args); }});
}
