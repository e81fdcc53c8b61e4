#include "HexArgs.h"

#include "HexInput.h"
#include "Tool.h"

namespace {

constexpr const char* kHint = " (write it as A5, 0xA5 or a5h)";

}  // namespace

std::optional<uint8_t> ParseByteArg(std::string_view text, std::string& error)
{
    const HexReading r = ReadHex(text);
    const std::string_view rest = text.substr(r.end);
    if (r.digits == 0 || !(rest.empty() || rest == "h" || rest == "H")) {
        error = "is not a hex number" + std::string(kHint);
        return std::nullopt;
    }
    if (r.minusSign) {
        error = "is negative; registers and values are 00 to FF";
        return std::nullopt;
    }
    if (r.magnitude > 0xFF) {
        error = "has more than 8 bits; registers and values are 00 to FF";
        return std::nullopt;
    }
    return uint8_t(r.magnitude);
}

std::optional<uint8_t> ParseByteArgOrTell(const std::string& text, const std::string& what)
{
    std::string error;
    const std::optional<uint8_t> value = ParseByteArg(text, error);
    if (!value) Problem(what + " '" + text + "' " + error);
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
