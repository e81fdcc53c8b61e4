#include "HexArgs.h"

#include "HexInput.h"
#include "Quote.h"
#include "Tool.h"

namespace {

constexpr const char* kHint = " (write it as A5, 0xA5 or a5h)";
constexpr std::string_view kBlanks = " \t\n\v\f\r";

}  // namespace

// The panel's rule for typed numbers, without the blanks around them: an
// argument holds nothing but the number.
std::optional<uint8_t> ParseByteArg(std::string_view text, std::string& error)
{
    if (text.starts_with('-')) {
        error = "is negative; registers and values are 00 to FF";
        return std::nullopt;
    }
    const std::optional<uint32_t> number =
        text.find_first_of(kBlanks) == std::string_view::npos ? ReadWholeHex(text) : std::nullopt;
    if (!number) {
        error = "is not a hex number" + std::string(kHint);
        return std::nullopt;
    }
    if (*number > 0xFF) {
        error = "has more than 8 bits; registers and values are 00 to FF";
        return std::nullopt;
    }
    return uint8_t(*number);
}

std::optional<uint8_t> ParseByteArgOrTell(const std::string& text, const std::string& what)
{
    std::string error;
    const std::optional<uint8_t> value = ParseByteArg(text, error);
    if (!value) Problem(what + " " + Quoted(text) + " " + error);
    return value;
}

std::optional<std::vector<uint8_t>> ParseByteArgs(const std::vector<std::string>& texts,
                                                  const std::string& what)
{
    std::vector<uint8_t> values;
    for (const std::string& text : texts) {
        const std::optional<uint8_t> value = ParseByteArgOrTell(text, what);
        if (!value) return std::nullopt;
        values.push_back(*value);
    }
    return values;
}
