// zr5130ctl: the chip from the shell and from scripts.
#include "Commands.h"
#include "HexInput.h"
#include "JsonReport.h"
#include "OptionHint.h"
#include "ProgramName.h"
#include "Quote.h"
#include "RegisterMap.h"
#include "StandardOutput.h"
#include "StopSignals.h"
#include "Tool.h"
#include "Output.h"
#include "zr5130_version.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <span>
#include <string_view>
#include <sstream>

namespace {

// What the exit status says about standard output and the trace, too: a
// result that did not reach its reader, or a trace that stopped, is no
// success.
int Finished(Tool& tool, int status)
{
    tool.CloseTrace();
    if (OutputFailed()) {
        Problem("standard output: " + OutputFailure());
        return kExitFailed;
    }
    return status == kExitDone && tool.TraceLost() ? kExitFailed : status;
}

// The command on each board in turn: the worst status of them all. A
// command that never asks for the chip runs once.
int RunOnBoards(Tool& tool, const Command& command)
{
    int worst = kExitDone;
    for (size_t board = 0; board < tool.Boards(); ++board) {
        tool.SelectBoard(board);
        TagJsonWithAdapter(tool.BoardLabel());
        StartJsonRun();
        const int status = command.run();
        tool.TellFailedReads();
        if (tool.json) FinishJsonRun(status);
        worst = std::max(worst, status);
        if (!tool.BoardTried(board) || tool.AllDone()) break;
    }
    return worst;
}

// A run that ends before any command: under --json its error object too.
// The arguments are searched when parsing failed before --json was taken.
int EndedEarly(const Tool& tool, std::span<char*> args, int status)
{
    if (tool.json || std::ranges::any_of(args, [](const char* arg) {
            return std::string_view(arg) == "--json";
        }))
        FinishJsonRun(status);
    return status;
}

int Run(int argc, char** argv)
{
    Tool tool;
    const std::span<char*> args(argv + 1, size_t(argc > 0 ? argc - 1 : 0));
    CLI::App app("Reads, writes, dumps and watches the ZR5130 LED backlight driver at I2C "
                 "address 0x" + HexByteText(chip::kChipAddress) + ".",
                 kProgramName);
    app.footer(
        "The adapter is --adapter, else ZR5130_ADAPTER, else the one chosen under Adapter in "
        "zr5130-eval's window menu; with none of them, commands that need the chip stop "
        "(--adapter sim is the simulated board). Every write is read back: a register that "
        "reads otherwise fails the command (exit status 1), and a command of several writes "
        "stops there. A dump or trace file named - is standard "
        "input.\n"
        "Exit status: 0 done (diff: equal), 1 the chip, the bus or standard output failed (diff: "
        "they differ), 2 bad input or not confirmed: nothing was written.");
    app.set_version_flag("--version", std::string(kProgramName) + " " + kZr5130Version);
    app.require_subcommand(1);
    // Options may stand before or after the command; given twice, the last counts.
    app.fallthrough();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    const CLI::Option* adapter =
        app.add_option("--adapter", tool.adapter,
                       "sim, sim:FILE (sim:- reads standard input), none, /dev/i2c-N or "
                       "i2c:NAME; over ZR5130_ADAPTER and the panel's choice")
            ->type_name("ADAPTER");
    app.add_option("--each", tool.each,
                   "run the command on this board, and on each board given so in turn (text "
                   "under a line ==> ADAPTER <== per board; JSON one line per board with an "
                   "adapter member); not with --adapter")
        ->type_name("ADAPTER")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--trace", tool.trace,
                   "append every register access to FILE (as ZR5130_TRACE does), which may be "
                   "a pipe (>(grep W)); - is standard output, not with --json")
        ->type_name("FILE");
    app.add_flag("--json", tool.json, "print JSON");
    app.add_flag("-y,--yes", tool.yes, "burn and restore: do not ask first at a terminal");

    Commands commands;
    AddRegisterCommands(app, tool, commands);
    AddDumpCommands(app, tool, commands);
    AddDecodeCommands(app, tool, commands);
    AddConfigCommands(app, tool, commands);
    AddWatchCommand(app, tool, commands);
    AddReplayCommand(app, tool, commands);
    AddAdaptersCommand(app, tool, commands);
    AddFieldCommands(app, tool, commands);
    AddFieldsCommand(app, tool, commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help and --version
        std::ostringstream out;
        std::ostringstream err;
        const int status = app.exit(e, out, err);
        Print(out.str());
        return Finished(tool, status);
    } catch (const CLI::ParseError& e) {
        if (const std::string line = UnknownOptionLine(app, args); !line.empty()) {
            Problem(line + "; see " + kProgramName + " --help");
            return EndedEarly(tool, args, kExitBadInput);
        }
        if (app.get_subcommands().empty() && !app.remaining().empty()) {
            Problem("unknown command " + Quoted(app.remaining().front()) + "; see " +
                    kProgramName + " --help");
            return EndedEarly(tool, args, kExitBadInput);
        }
        const std::string command =
            app.get_subcommands().empty() ? "" : app.get_subcommands().front()->get_name() + " ";
        Problem(std::string(e.what()) + "; see " + kProgramName + " " + command + "--help");
        return EndedEarly(tool, args, kExitBadInput);
    }
    tool.adapterGiven = adapter->count() > 0;
    if (const int status = tool.CheckOptions(); status != kExitDone)
        return EndedEarly(tool, args, status);

    for (const Command& command : commands)
        if (command.cli->parsed()) return Finished(tool, RunOnBoards(tool, command));
    return kExitBadInput;
}

}  // namespace

int main(int argc, char** argv)
{
    KeepStandardDescriptorsOpen();
    LinkSetProgramName(kProgramName);
    const int status = Run(argc, argv);
    EndByStopSignal();
    return status;
}
