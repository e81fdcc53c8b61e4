#include "FieldValues.h"

#include "Likeness.h"
#include "Quote.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace chip {
namespace {

constexpr std::string_view kBlanks = " \t\n\v\f\r";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A label is typed as the map writes it, case aside, except that where it
// has blanks any number of them will do, none included ("9616hz" for "9616
// Hz"). A blank where the label has none, as in "0 11", makes no match.
bool TypedAs(std::string_view typed, std::string_view label)
{
    size_t t = 0;
    for (size_t l = 0; l < label.size();) {
        if (IsBlank(label[l])) {
            while (l < label.size() && IsBlank(label[l])) ++l;
            while (t < typed.size() && IsBlank(typed[t])) ++t;
        } else if (t < typed.size() && Lower(typed[t]) == Lower(label[l])) {
            ++t;
            ++l;
        } else {
            return false;
        }
    }
    return t == typed.size();
}

// Each way a label may be typed: whole, and either side of its " = ".
std::vector<std::string_view> LabelForms(std::string_view label)
{
    std::vector<std::string_view> forms{label};
    if (const size_t equals = label.find(" = "); equals != std::string_view::npos) {
        forms.push_back(Trimmed(label.substr(0, equals)));
        forms.push_back(Trimmed(label.substr(equals + 3)));
    }
    return forms;
}

// Decimal digits, or hex digits after 0x, and nothing else; nothing when the
// text is not such a number, UINT64_MAX when it is beyond 64 bits.
std::optional<uint64_t> Number(std::string_view text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && Lower(text[1]) == 'x';
    const std::string_view digits = text.substr(hex ? 2 : 0);
    uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (digits.empty() || end != digits.data() + digits.size()) return std::nullopt;
    return error == std::errc::result_out_of_range ? UINT64_MAX : value;
}

std::string Range(const NamedField& field) { return "0-" + std::to_string(field.Max()); }

std::string ValueList(const std::vector<unsigned>& values)
{
    std::string text;
    for (unsigned value : values)
        text += (text.empty()                 ? ""
                     : value == values.back() ? " and "
                                              : ", ") +
            std::to_string(value);
    return text;
}

std::string NotAValue(const NamedField& field, std::string_view value)
{
    std::string blankless(value);
    std::erase_if(blankless, IsBlank);
    if (Number(blankless))
        return Quoted(value) + " has blanks inside; a number for " + field.name +
            " is written whole (" + Range(field) + ", decimal or hex after 0x)";
    const std::span<const char* const> labels = field.ValueNames();
    if (labels.empty())
        return Quoted(value) + " is not a number for " + field.name + " (" + Range(field) +
            ", decimal or hex after 0x)";
    std::vector<std::string> keys;
    for (const char* label : labels) keys.push_back(ValueKey(label));
    const std::optional<size_t> closest = Closest(ValueKey(value), keys);
    if (!closest)
        return Quoted(value) + " is not a value of " + field.name +
            "; give one of its labels or a number " + Range(field);
    return Quoted(value) + " is not a value of " + field.name + "; did you mean '" +
        labels[*closest] + "'? (or a number " + Range(field) + ")";
}

}  // namespace

ValueReading ReadFieldValue(const NamedField& field, std::string_view typed)
{
    const std::string_view value = Trimmed(typed);
    if (value.empty()) return {std::nullopt, "no value given for " + std::string(field.name)};

    // A label stands for each value it is printed for: value n by fields
    // (label n), and each value get prints it for. Where that is several
    // values (a label listed twice, or read for several codes as "PWM
    // Always" is for 10 to 15), no choice among them would give back the
    // bits that were printed.
    const auto names = [value](const char* label) {
        return label && std::ranges::any_of(LabelForms(label), [value](std::string_view form) {
                   return TypedAs(value, form);
               });
    };
    const std::span<const char* const> labels = field.ValueNames();
    std::vector<unsigned> named;
    for (unsigned n = 0; n <= field.Max() && !labels.empty(); ++n)
        if ((n < labels.size() && names(labels[n])) || names(ValueNameOf(field, n)))
            named.push_back(n);
    if (named.size() == 1) return {named.front(), {}};
    if (named.size() > 1)
        return {std::nullopt,
                Quoted(value) + " names values " + ValueList(named) + " of " + field.name +
                    "; give the number"};

    if (const std::optional<uint64_t> number = Number(value)) {
        if (*number <= field.Max()) return {unsigned(*number), {}};
        return {std::nullopt,
                std::string(value) + " is out of range for " + field.name + " (" + Range(field) +
                    ")"};
    }
    return {std::nullopt, NotAValue(field, value)};
}

}  // namespace chip
