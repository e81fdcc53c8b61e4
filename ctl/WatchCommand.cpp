// watch [--interval MS] [--count N] [REG...]: a line for every change.
#include "Commands.h"
#include "HexArgs.h"
#include "HexInput.h"
#include "Output.h"
#include "RegisterMap.h"
#include "StandardOutput.h"
#include "StatusFlags.h"
#include "StopSignals.h"
#include "Tool.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {


struct WatchArgs {
    unsigned intervalMs = 500;
    long long count = 0;  // reads to make; 0: until interrupted
    std::vector<std::string> regs;
};

// After a failed attempt the bus is given this long before the next: a
// stuck bus takes the bridge's timeout (a second or more) for every try.
constexpr unsigned kRetryMs = 5000;

// Local time, ISO 8601 with milliseconds: 2025-03-14T09:26:53.589+01:00.
std::string Timestamp()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char date[32];
    char zone[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local);
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03ld%.3s:%.2s", date, now.tv_nsec / 1000000, zone,
                  zone + 3);
    return text;
}

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Prints the line for a change; false when standard output failed.
bool PrintChange(bool json, const std::string& prefix, uint8_t reg,
                 std::optional<uint8_t> before, bool first, std::optional<uint8_t> now)
{
    FlagChange flags;
    if (reg == chip::kStatusRegister) flags = StatusFlagChange(before, now);
    if (json) {
        Json line;
        line["time"] = Timestamp();
        line["address"] = HexByteText(reg);
        line["from"] = first ? Json(nullptr) : ValueJson(before);
        line["to"] = ValueJson(now);
        if (reg == chip::kStatusRegister) {
            line["on"] = flags.on;
            line["off"] = flags.off;
        }
        PrintJson(line);
        return !OutputFailed();
    }
    std::string text = prefix + Timestamp() + " " + HexByteText(reg) + " ";
    if (!first) text += ValueText(before) + " -> ";
    text += ValueText(now);
    if (!flags.on.empty()) text += " on: " + JoinNames(flags.on);
    if (!flags.off.empty()) text += (flags.on.empty() ? " off: " : "; off: ") + JoinNames(flags.off);
    // Each change reaches a log file or a pipe as it happens.
    return Print(text + '\n');
}

// Keeps to the interval's cadence; after a read that took longer than the
// interval it starts afresh from now rather than catching up in a burst.
void SleepUntilNext(timespec& next, unsigned intervalMs)
{
    next.tv_nsec += long(intervalMs % 1000) * 1000000;
    next.tv_sec += time_t(intervalMs / 1000) + next.tv_nsec / 1000000000;
    next.tv_nsec %= 1000000000;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec))
        next = now;
    while (!StopSignal() &&
           clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
    }
}

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
};

// One read of a board's registers and its lines; false when standard output
// failed. prefix starts each line: the adapter, with --each.
bool WatchOnce(Tool& tool, const std::vector<uint8_t>& regs, Watched& board, long long reads,
               bool more, bool& anyFailed)
{
    const std::string prefix = tool.Each() ? tool.BoardLabel() + " " : "";
    const Attempt attempt = Read(tool, regs, board.lastFailed);
    bool newlyFailed = false;
    for (size_t i = 0; i < regs.size(); ++i) {
        const std::optional<uint8_t> now = attempt.values[i];
        anyFailed = anyFailed || !now;
        newlyFailed = newlyFailed || (!now && (reads == 0 || board.last[i]));
        if ((reads == 0 || now != board.last[i]) &&
            !PrintChange(tool.json, prefix, regs[i], board.last[i], reads == 0, now))
            return false;
        board.last[i] = now;
    }
    const std::string when = prefix + Timestamp() + ": ";
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

// With --each every board is read in each round, its lines starting with its
// adapter.
int RunWatch(Tool& tool, const WatchArgs& args)
{
    auto regs = ParseByteArgs(args.regs, "watch: register");
    if (!regs) return kExitBadInput;
    if (regs->empty()) regs->push_back(chip::kStatusRegister);
    tool.AllBoardsDone();
    for (size_t b = 0; b < tool.Boards(); ++b) {
        tool.SelectBoard(b);
        if (const int status = tool.OpenChip(); status != kExitDone) return status;
    }

    CatchStopSignals();
    std::vector<Watched> boards(tool.Boards(), Watched{std::vector<std::optional<uint8_t>>(regs->size())});
    bool anyFailed = false;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (long long reads = 0; !StopSignal() && (args.count == 0 || reads < args.count); ++reads) {
        if (reads > 0) {
            const bool failing = std::ranges::any_of(boards, &Watched::lastFailed);
            SleepUntilNext(next, failing ? kRetryMs : args.intervalMs);
            if (StopSignal()) break;
        }
        const bool more = args.count == 0 || reads + 1 < args.count;
        for (size_t b = 0; b < boards.size(); ++b) {
            tool.SelectBoard(b);
            TagJsonWithAdapter(tool.BoardLabel());
            if (!WatchOnce(tool, *regs, boards[b], reads, more, anyFailed)) return kExitFailed;
        }
    }
    return anyFailed ? kExitFailed : kExitDone;
}

}  // namespace

void AddWatchCommand(CLI::App& app, Tool& tool, Commands& commands)
{
    auto args = std::make_shared<WatchArgs>();
    CLI::App* watch = app.add_subcommand(
        "watch", "read the status register 02 (or the named ones) every MS milliseconds and "
                 "print a timestamped line for each value that changes; when the bus fails, a "
                 "line on standard error and another try every 5 s; Ctrl+C ends it");
    watch->add_option("--interval", args->intervalMs, "milliseconds between reads (default 500)")
        ->type_name("MS")
        ->check(CLI::Range(1u, 3600000u));
    watch->add_option("--count", args->count, "end after N reads")
        ->type_name("N")
        ->check(CLI::Range(1LL, 1000000000000LL));
    watch->add_option("REG", args->regs, "registers to watch, in hex (default 02)");
    commands.push_back({watch, [&tool, args] { return RunWatch(tool, *args); }});
}
