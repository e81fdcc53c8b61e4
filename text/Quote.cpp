#include "Quote.h"

std::string Quoted(std::string_view text, std::size_t limit)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "'";
    for (const char c : text.substr(0, limit)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (byte < 0x20 || byte >= 0x7F)
            out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0x0F]};
        else
            out += c;
    }
    out += '\'';
    if (text.size() > limit)
        out += "...";
    return out;
}
