#include "HexText.h"

#include <array>

namespace {

const std::array<QString, 256>& ByteTexts()
{
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> t;
        for (unsigned v = 0; v < t.size(); ++v)
            t[v] = QString::asprintf("%.2X", v);
        return t;
    }();
    return texts;
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

bool IsCSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

struct HexReading {
    uint32_t magnitude = 0;
    bool negative = false;
};

HexReading ReadHex(const QString& text)
{
    HexReading r;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsCSpace(text[i])) ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        r.negative = text[i] == u'-';
        ++i;
    }
    // "0x" counts as a prefix only when a hex digit follows it.
    if (i + 2 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')
        && HexDigit(text[i + 2]) >= 0)
        i += 2;
    uint64_t value = 0;
    bool overflow = false;
    for (; i < n; ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0) break;
        value = value * 16 + unsigned(d);
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    r.magnitude = uint32_t(value);
    if (overflow) r.negative = false;  // strtoul answers ULONG_MAX whatever the sign
    return r;
}

}  // namespace

QString HexText(unsigned value)
{
    if (value < 256) return ByteTexts()[value];
    return QString::asprintf("%.2X", value);
}

uint32_t ParseHex(const QString& text)
{
    const HexReading r = ReadHex(text);
    return r.negative ? uint32_t(0u - r.magnitude) : r.magnitude;
}

std::optional<uint32_t> ParseHexUpTo(const QString& text, uint32_t max)
{
    qsizetype i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    if (i < text.size() && text[i] == u'-') return std::nullopt;
    const uint32_t value = ParseHex(text);
    if (value > max) return std::nullopt;
    return value;
}
