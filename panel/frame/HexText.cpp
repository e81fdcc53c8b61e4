#include "HexText.h"

#include "HexInput.h"

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

std::u16string_view View(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

}  // namespace

QString HexText(unsigned value)
{
    if (value < 256) return ByteTexts()[value];
    return QString::asprintf("%.2X", value);
}

uint32_t ParseHex(const QString& text) { return ReadHex(View(text)).Value(); }

std::optional<uint32_t> ParseWholeHex(const QString& text) { return ReadWholeHex(View(text)); }
