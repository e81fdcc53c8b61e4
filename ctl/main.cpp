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
#include <string>
#include <string_view>
#include <sstream>
#include <type_traits>
#include <variant>
#include <vector>

namespace {

// A range check in the type of the option's value, as its messages print it.
template <typename T>
CLI::Range RangeOf(T*, std::pair<double, double> range)
{
    return CLI::Range(T(range.first), T(range.second));
}

// One argument of a command, as it described it.
void AddToParser(CLI::App& parser, const Argument& argument)
{
    CLI::Option* option = std::visit(
        [&](auto* target) {
            if constexpr (std::is_same_v<decltype(target), bool*>)
                return parser.add_flag(argument.name, *target, argument.help);
            else
                return parser.add_option(argument.name, *target, argument.help);
        },
        argument.target);
    if (!argument.typeName.empty()) option->type_name(argument.typeName);
    if (argument.required) option->required();
    if (!argument.choices.empty()) option->check(CLI::IsMember(argument.choices));
    if (argument.range)
        std::visit(
            [&](auto* target) {
                if constexpr (std::is_arithmetic_v<std::remove_pointer_t<decltype(target)>>)
                    option->check(RangeOf(target, *argument.range));
            },
            argument.target);
}

// A command as a subcommand of the parser; answers the subcommand, which
// tells after parsing whether it was given.
const CLI::App* AddToParser(CLI::App& parser, const Command& command)
{
    CLI::App* subcommand = parser.add_subcommand(command.name, command.help);
    for (const Argument& argument : command.arguments) AddToParser(*subcommand, argument);
    return subcommand;
}

// Every long name, without its dashes, of the program's options and its commands'.
std::vector<std::string> LongNames(const CLI::App& parser)
{
    std::vector<std::string> names;
    for (const CLI::Option* option : parser.get_options())
        for (const std::string& name : option->get_lnames()) names.push_back(name);
    for (const CLI::App* command : parser.get_subcommands({}))
        for (const std::string& name : LongNames(*command))
            if (std::ranges::find(names, name) == names.end()) names.push_back(name);
    return names;
}

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
    AddRegisterCommands(tool, commands);
    AddDumpCommands(tool, commands);
    AddDecodeCommands(tool, commands);
    AddConfigCommands(tool, commands);
    AddWatchCommand(tool, commands);
    AddReplayCommand(tool, commands);
    AddAdaptersCommand(tool, commands);
    AddFieldCommands(tool, commands);
    AddFieldsCommand(tool, commands);
    std::vector<const CLI::App*> parsers;
    for (const Command& command : commands) parsers.push_back(AddToParser(app, command));

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help and --version
        std::ostringstream out;
        std::ostringstream err;
        const int status = app.exit(e, out, err);
        Print(out.str());
        return Finished(tool, status);
    } catch (const CLI::ParseError& e) {
        if (const std::string line = UnknownOptionLine(LongNames(app), args); !line.empty()) {
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

    for (size_t i = 0; i < commands.size(); ++i)
        if (parsers[i]->parsed()) return Finished(tool, RunOnBoards(tool, commands[i]));
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
