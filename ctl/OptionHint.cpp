#include "OptionHint.h"

#include "Likeness.h"
#include "Quote.h"

#include <algorithm>
#include <string_view>
#include <vector>

std::string UnknownOptionLine(std::span<const std::string> names, std::span<char* const> args)
{
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
