#include "FieldValues.h"

#include "Likeness.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace chip {
namespace {

// Both ways a value name may be typed: whole, and after its "=" if it has one.
std::vector<std::string> NameForms(std::string_view name)
{
    std::vector<std::string> forms{ValueKey(name)};
    if (const size_t equals = name.find('='); equals != std::string_view::npos)
        forms.push_back(ValueKey(name.substr(equals + 1)));
    return forms;
}

std::optional<unsigned long long> Number(const std::string& key)
{
    const bool hex = key.starts_with("0x");
    const std::string_view digits = std::string_view(key).substr(hex ? 2 : 0);
    const auto isDigit = [hex](char c) {
        return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                   : std::isdigit(static_cast<unsigned char>(c)) != 0;
    };
    if (digits.empty() || !std::ranges::all_of(digits, isDigit)) return std::nullopt;
    constexpr unsigned long long kBeyondAnyField = 1ull << 32;
    unsigned long long value = 0;
    for (char c : digits) {
        const unsigned digit = std::isdigit(static_cast<unsigned char>(c)) ? unsigned(c - '0')
                                                                           : unsigned(c - 'a' + 10);
        value = std::min(value * (hex ? 16 : 10) + digit, kBeyondAnyField);
    }
    return value;
}

std::string Range(const NamedField& field) { return "0-" + std::to_string(field.Max()); }

std::string Quoted(std::string_view text)
{
    std::string quoted(1, '\'');
    quoted.append(text);
    return quoted += '\'';
}

}  // namespace

ValueReading ReadFieldValue(const NamedField& field, std::string_view typed)
{
    const std::string key = ValueKey(typed);
    if (key.empty()) return {std::nullopt, "no value given for " + std::string(field.name)};

    const std::span<const char* const> names = field.ValueNames();
    std::vector<std::string> forms;   // every way of typing a name
    std::vector<unsigned> formEntry;  // the entry each form names
    std::vector<unsigned> named;      // the entries key names
    for (unsigned entry = 0; entry < names.size(); ++entry)
        for (const std::string& form : NameForms(names[entry])) {
            forms.push_back(form);
            formEntry.push_back(entry);
            if (form == key && std::ranges::find(named, entry) == named.end())
                named.push_back(entry);
        }
    if (named.size() == 1) return {named.front(), {}};
    if (named.size() > 1) {
        std::string values;
        for (unsigned value : named)
            values += (values.empty()              ? ""
                           : value == named.back() ? " and "
                                                   : ", ") +
                std::to_string(value);
        return {std::nullopt,
                Quoted(typed) + " names values " + values + " of " + field.name +
                    "; give the number"};
    }

    if (const auto number = Number(key)) {
        if (*number <= field.Max()) return {unsigned(*number), {}};
        return {std::nullopt,
                std::string(typed) + " is out of range for " + field.name + " (" + Range(field) +
                    ")"};
    }
    if (forms.empty())
        return {std::nullopt,
                Quoted(typed) + " is not a number for " + field.name + " (" + Range(field) +
                    ", decimal or hex after 0x)"};
    const char* nearest = names[formEntry[MostLike(key, forms)]];
    return {std::nullopt,
            Quoted(typed) + " is not a value of " + field.name + "; did you mean '" + nearest +
                "'? (or a number " + Range(field) + ")"};
}

}  // namespace chip
