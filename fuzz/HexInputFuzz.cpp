// Fuzzes the reading of typed hex text (Reg Addr, Data, Target) and the text
// form of register values. The C library's strtoull is the reference for
// ParseHex, narrowed to the 32-bit strtoul that the panel's parsing mimics;
// a regular expression of the rule is the reference for ParseWholeHex.
#include "HexText.h"

#include <QString>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

namespace {

[[noreturn]] void Fail(const QString& text, const char* what, unsigned long long got,
                       unsigned long long expected)
{
    std::fprintf(stderr, "%s for \"%s\": got 0x%llX, expected 0x%llX\n", what,
                 text.toUtf8().constData(), got, expected);
    std::abort();
}

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// strtoul(text, nullptr, 16) with a 32-bit unsigned long. Characters outside
// ASCII are neither digits, signs nor white space, so '#' stands in for them.
uint32_t ReferenceParse(const QString& text)
{
    std::string narrow;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0) break;  // the C string ends here
        narrow += u < 0x80 ? char(u) : '#';
    }
    size_t i = 0;
    while (i < narrow.size() && IsCSpace(narrow[i])) ++i;
    bool negative = false;
    if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) {
        negative = narrow[i] == '-';
        ++i;
    }
    // strtoull would skip white space or take a sign again; strtoul does not
    // after the first sign.
    if (i < narrow.size() && (IsCSpace(narrow[i]) || narrow[i] == '+' || narrow[i] == '-'))
        return 0;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(narrow.c_str() + i, nullptr, 16);
    if (errno == ERANGE || magnitude > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    return negative ? uint32_t(0u - uint32_t(magnitude)) : uint32_t(magnitude);
}

// Blanks, then "0x" and hex digits or hex digits and an optional "h", then
// blanks; characters outside ASCII (and NUL) match nothing, so '#' stands in.
std::optional<uint32_t> ReferenceWhole(const QString& text)
{
    std::string narrow;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        narrow += u > 0 && u < 0x80 ? char(u) : '#';
    }
    static const std::regex kWhole(
        R"([ \t\n\v\f\r]*(?:0[xX]([0-9A-Fa-f]+)|([0-9A-Fa-f]+)[hH]?)[ \t\n\v\f\r]*)");
    std::smatch m;
    if (!std::regex_match(narrow, m, kWhole)) return std::nullopt;
    const std::string digits = m[1].matched ? m[1].str() : m[2].str();
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, 16);
    if (errno == ERANGE || value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    return uint32_t(value);
}

void CheckWhole(const QString& text)
{
    const std::optional<uint32_t> got = ParseWholeHex(text);
    const std::optional<uint32_t> expected = ReferenceWhole(text);
    if (got.has_value() != expected.has_value())
        Fail(text, got ? "ParseWholeHex accepted what is not a whole hex number"
                       : "ParseWholeHex refused a whole hex number",
             got.value_or(0), expected.value_or(0));
    if (got && *got != *expected) Fail(text, "ParseWholeHex misread the number", *got, *expected);
}

void CheckText(uint32_t value)
{
    const QString text = HexText(value);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%.2X", value);
    if (text != QLatin1String(expected))
        Fail(text, "HexText is not \"%.2X\"", value, value);
    if (value <= 0xFF && text.size() != 2) Fail(text, "a byte's text is not two digits", value, value);
    const uint32_t back = ParseHex(text);
    if (back != value) Fail(text, "HexText does not read back", back, value);
}

void CheckInput(const QString& text)
{
    const uint32_t parsed = ParseHex(text);
    const uint32_t reference = ReferenceParse(text);
    if (parsed != reference) Fail(text, "ParseHex disagrees with strtoul", parsed, reference);
    CheckWhole(text);
    CheckText(parsed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The bytes as text typed on a keyboard (UTF-8), and as raw UTF-16 code
    // units, which may hold unpaired surrogates and NULs.
    CheckInput(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2);
    CheckInput(units);

    if (size >= 4) {
        uint32_t value = 0;
        std::memcpy(&value, data, sizeof value);
        CheckText(value);
        if (ParseWholeHex(HexText(value)) != value)
            Fail(HexText(value), "HexText is no whole hex number", 0, value);
    }
    return 0;
}
