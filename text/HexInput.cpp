#include "HexInput.h"

#include <algorithm>
#include <cstdio>

namespace {

template <class Char>
int HexDigit(Char c)
{
    if (c >= '0' && c <= '9') return int(c - '0');
    if (c >= 'a' && c <= 'f') return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
    return -1;
}

template <class Char>
bool IsCSpace(Char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

template <class Char>
HexReading Read(std::basic_string_view<Char> text)
{
    HexReading r;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsCSpace(text[i])) ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        r.negative = r.minusSign = text[i] == '-';
        ++i;
    }
    // "0x" counts as a prefix only when a hex digit follows it.
    if (i + 2 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && HexDigit(text[i + 2]) >= 0)
        i += 2;
    uint64_t value = 0;
    bool overflow = false;
    for (; i < n; ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0) break;
        ++r.digits;
        value = value * 16 + unsigned(d);
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    r.magnitude = uint32_t(value);
    r.end = i;
    if (overflow) r.negative = false;  // strtoul answers ULONG_MAX whatever the sign
    return r;
}

template <class Char>
std::optional<uint32_t> ReadWhole(std::basic_string_view<Char> text)
{
    while (!text.empty() && IsCSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsCSpace(text.back())) text.remove_suffix(1);
    const bool prefixed = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (prefixed)
        text.remove_prefix(2);
    else if (!text.empty() && (text.back() == 'h' || text.back() == 'H'))
        text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (const Char c : text) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        value = std::min<uint64_t>(value * 16 + unsigned(d), 0xFFFFFFFFu);
    }
    return uint32_t(value);
}

}  // namespace

HexReading ReadHex(std::string_view text) { return Read(text); }

HexReading ReadHex(std::u16string_view text) { return Read(text); }

std::optional<uint32_t> ReadWholeHex(std::string_view text) { return ReadWhole(text); }

std::optional<uint32_t> ReadWholeHex(std::u16string_view text) { return ReadWhole(text); }

std::string HexByteText(unsigned value)
{
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%.2X", value);
    return std::string(text, size_t(length));
}
