// zr5130ctl: the chip from the shell and from scripts.
#include "Commands.h"
#include "HexInput.h"
#include "ProgramName.h"
#include "RegisterMap.h"
#include "Tool.h"
#include "zr5130_version.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv)
{
    LinkSetProgramName(kProgramName);
    Tool tool;
    CLI::App app("Reads, writes, dumps and watches the ZR5130 LED backlight driver at I2C "
                 "address 0x" + HexByteText(chip::kChipAddress) + ".",
                 kProgramName);
    app.set_version_flag("--version", std::string(kProgramName) + " " + kZr5130Version);
    app.require_subcommand(1);
    app.add_option("--adapter", tool.adapter,
                   "sim (default), sim:FILE, none, /dev/i2c-N or i2c:NAME; overrides ZR5130_ADAPTER")
        ->type_name("ADAPTER");
    app.add_option("--trace", tool.trace,
                   "append every register access to FILE (as ZR5130_TRACE does)")
        ->type_name("FILE");
    app.add_flag("--json", tool.json, "print JSON (read, dump, decode, diff, watch, adapters)");

    Commands commands;
    AddRegisterCommands(app, tool, commands);
    AddDumpCommands(app, tool, commands);
    AddDecodeCommands(app, tool, commands);
    AddConfigCommands(app, tool, commands);
    AddWatchCommand(app, tool, commands);
    AddReplayCommand(app, tool, commands);
    AddAdaptersCommand(app, tool, commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help and --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        if (app.get_subcommands().empty() && !app.remaining().empty()) {
            Problem("unknown command '" + app.remaining().front() + "'; see " + kProgramName +
                    " --help");
            return kExitBadInput;
        }
        const std::string command =
            app.get_subcommands().empty() ? "" : app.get_subcommands().front()->get_name() + " ";
        Problem(std::string(e.what()) + "; see " + kProgramName + " " + command + "--help");
        return kExitBadInput;
    }

    for (const Command& command : commands)
        if (command.cli->parsed()) return command.run();
    return kExitBadInput;
}
