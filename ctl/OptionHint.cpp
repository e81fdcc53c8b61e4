#include "OptionHint.h"

#include "Likeness.h"
#include "Quote.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Every long name, without its dashes, of the program's options and its commands'.
std::vector<std::string> LongNames(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options())
        for (const std::string& name : option->get_lnames()) names.push_back(name);
    for (const CLI::App* command : app.get_subcommands({}))
        for (const std::string& name : LongNames(*command))
            if (std::ranges::find(names, name) == names.end()) names.push_back(name);
    return names;
}

}  // namespace

std::string UnknownOptionLine(const CLI::App& app, std::span<char* const> args)
{
    const std::vector<std::string> names = LongNames(app);
    for (const char* arg : args) {
        const std::string_view text(arg);
        if (text == "--") break;
        if (!text.starts_with("--")) continue;
        const std::string name(text.substr(2, text.find('=') - 2));
        if (std::ranges::find(names, name) != names.end()) continue;
        std::vector<std::string> keys;
        for (const std::string& known : names) keys.push_back(chip::NameKey(known));
        const std::optional<size_t> closest = chip::Closest(chip::NameKey(name), keys);
        return "unknown option " + Quoted(text.substr(0, text.find('='))) +
            (closest ? " (did you mean --" + names[*closest] + "?)" : "");
    }
    return {};
}
