#pragma once

#include <functional>
#include <vector>

namespace CLI {
class App;
}
class Tool;

// A subcommand and what runs when it was given; run answers the exit status.
struct Command {
    CLI::App* cli;
    std::function<int()> run;
};
using Commands = std::vector<Command>;

// One group of commands per source file.
void AddRegisterCommands(CLI::App& app, Tool& tool, Commands& commands);  // read, write
void AddDumpCommands(CLI::App& app, Tool& tool, Commands& commands);      // dump, restore
void AddDecodeCommands(CLI::App& app, Tool& tool, Commands& commands);    // decode, diff
void AddConfigCommands(CLI::App& app, Tool& tool, Commands& commands);    // load, burn
void AddWatchCommand(CLI::App& app, Tool& tool, Commands& commands);      // watch
void AddReplayCommand(CLI::App& app, Tool& tool, Commands& commands);     // replay
void AddAdaptersCommand(CLI::App& app, Tool& tool, Commands& commands);   // adapters
void AddFieldCommands(CLI::App& app, Tool& tool, Commands& commands);     // get, set
void AddFieldsCommand(CLI::App& app, Tool& tool, Commands& commands);     // fields
