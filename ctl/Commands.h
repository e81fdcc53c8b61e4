#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

class Tool;

// Where the command line puts what it took for an argument: a bool is a
// flag, a vector takes every value given.
using ArgumentTarget =
    std::variant<bool*, unsigned*, long long*, double*, std::string*, std::vector<std::string>*>;

// An option ("--interval") or, without dashes, a positional argument ("REG").
struct Argument {
    std::string name;
    std::string help;
    ArgumentTarget target;
    std::string typeName = {};  // what --help shows for the value (MS); empty: the type's own
    bool required = false;
    std::vector<std::string> choices = {};                  // empty: any value
    std::optional<std::pair<double, double>> range = {};    // a number's least and greatest
};

// A subcommand, its arguments, and what runs when it was given; run answers
// the exit status. The arguments' targets live as long as run does.
struct Command {
    std::string name;
    std::string help;
    std::vector<Argument> arguments;
    std::function<int()> run;
};
using Commands = std::vector<Command>;

// One group of commands per source file, described as data: only main.cpp
// includes the command line parser, which costs every file that includes it
// about 15 s of compiling.
void AddRegisterCommands(Tool& tool, Commands& commands);  // read, write
void AddDumpCommands(Tool& tool, Commands& commands);      // dump, restore
void AddDecodeCommands(Tool& tool, Commands& commands);    // decode, diff
void AddConfigCommands(Tool& tool, Commands& commands);    // load, burn
void AddWatchCommand(Tool& tool, Commands& commands);      // watch
void AddReplayCommand(Tool& tool, Commands& commands);     // replay
void AddAdaptersCommand(Tool& tool, Commands& commands);   // adapters
void AddFieldCommands(Tool& tool, Commands& commands);     // get, set
void AddFieldsCommand(Tool& tool, Commands& commands);     // fields
