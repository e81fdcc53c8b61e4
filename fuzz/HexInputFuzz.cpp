// Fuzzes the reading of typed hex text (Reg Addr, Data, Target) and the text
// form of register values. The C library's strtoull is the reference for
// ParseHex, narrowed to the 32-bit strtoul that the panel's parsing mimics.
#include "HexText.h"

#include <QString>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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

bool StartsNegative(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() < 0x80 && IsCSpace(char(text[i].unicode()))) ++i;
    return i < text.size() && text[i] == u'-';
}

void CheckRange(const QString& text, uint32_t parsed, uint32_t max)
{
    const std::optional<uint32_t> got = ParseHexUpTo(text, max);
    const bool accept = !StartsNegative(text) && parsed <= max;
    if (got.has_value() != accept)
        Fail(text, accept ? "ParseHexUpTo refused a value in range"
                          : "ParseHexUpTo accepted a value out of range",
             got.value_or(0), max);
    if (got && *got != parsed) Fail(text, "ParseHexUpTo disagrees with ParseHex", *got, parsed);
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
    CheckRange(text, parsed, 0xFF);   // Reg Addr and Data
    CheckRange(text, parsed, 0xFFF);  // Target
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
        CheckRange(HexText(value), value, value);  // every value is in its own range
        if (value > 0) CheckRange(HexText(value), value, value - 1);
    }
    return 0;
}
