#include "Shown.h"

#include <cstdint>

namespace {

// The length of the valid UTF-8 sequence at the start of text (not an
// overlong form, a surrogate or beyond U+10FFFF), 0 when there is none.
std::size_t SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) return 0;
    uint32_t code = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    const uint32_t lowest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool c1Control = code >= 0x80 && code <= 0x9F;
    return code < lowest || surrogate || c1Control || code > 0x10FFFF ? 0 : length;
}

void AppendEscaped(std::string& out, unsigned char byte)
{
    static constexpr char kHex[] = "0123456789abcdef";
    switch (byte) {
    case '\n': out += "\\n"; break;
    case '\t': out += "\\t"; break;
    case '\r': out += "\\r"; break;
    case '\\': out += "\\\\"; break;
    default: out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0x0F]};
    }
}

}  // namespace

std::string Shown(std::string_view text)
{
    std::string out;
    std::size_t characters = 0;
    while (!text.empty()) {
        if (characters == kShownLimit) return out + "…";
        const auto byte = static_cast<unsigned char>(text.front());
        std::size_t taken = 1;
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += char(byte);
        } else if (const std::size_t length = byte >= 0x80 ? SequenceLength(text) : 0) {
            out += text.substr(0, length);
            taken = length;
        } else {
            AppendEscaped(out, byte);
        }
        text.remove_prefix(taken);
        ++characters;
    }
    return out;
}
