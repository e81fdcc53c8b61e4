#include "IniText.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kEscapeLetters = "abfnrtv";
constexpr std::string_view kEscapedControls = "\a\b\f\n\r\t\v";
// Escapes that stand for the character after the backslash.
constexpr std::string_view kEscapedThemselves = "\"?'\\";
constexpr std::string_view kLineBlanks = " \t";
constexpr std::string_view kSpaces = " \t\n\v\f\r";

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

int DigitValue(char c)
{
    if (c >= 'a') return c - 'a' + 10;
    if (c >= 'A') return c - 'A' + 10;
    return c - '0';
}

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

bool IsGeneral(std::string_view name)
{
    return std::ranges::equal(name, std::string_view(kIniGeneral), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
            std::tolower(static_cast<unsigned char>(b));
    });
}

void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | ((code >> 12) & 0x0F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The escape whose letter is at text[i], appended to out; answers where the
// text goes on. Qt keeps a character code in 16 bits.
size_t AppendEscaped(std::string& out, std::string_view text, size_t i)
{
    const char c = text[i++];
    if (const size_t letter = kEscapeLetters.find(c); letter != std::string_view::npos) {
        out += kEscapedControls[letter];
    } else if (kEscapedThemselves.find(c) != std::string_view::npos) {
        out += c;
    } else if ((c == 'x' && i < text.size() && IsHexDigit(text[i])) || IsOctalDigit(c)) {
        const bool hex = c == 'x';
        unsigned code = hex ? 0 : DigitValue(c);
        for (; i < text.size() && (hex ? IsHexDigit(text[i]) : IsOctalDigit(text[i])); ++i)
            code = ((code << (hex ? 4 : 3)) + DigitValue(text[i])) & 0xFFFF;
        AppendUtf8(out, code);
    } else if ((c == '\n' || c == '\r') && i < text.size() &&
               (text[i] == '\n' || text[i] == '\r') && text[i] != c) {
        ++i;  // a line carried on, its CR LF or LF CR as one
    }
    return i;
}

size_t SkipLineBlanks(std::string_view text, size_t i)
{
    const size_t next = text.find_first_not_of(kLineBlanks, i);
    return next == std::string_view::npos ? text.size() : next;
}

}  // namespace

std::string IniValueText(const std::string& value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string plain = value.starts_with('@') ? "@" + value : value;
    std::string out;
    // A hex digit right after a \x escape is escaped too, so that it is not
    // read as part of it.
    bool escapeHexDigit = false;
    bool needsQuotes = false;
    for (const char c : plain) {
        const auto byte = static_cast<unsigned char>(c);
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        const size_t control = c == '\0' ? std::string_view::npos : kEscapedControls.find(c);
        const bool escape = byte < 0x20 || byte == 0x7F || (escapeHexDigit && IsHexDigit(c));
        escapeHexDigit = escape && control == std::string_view::npos;
        if (escape && control != std::string_view::npos) {
            out += {'\\', kEscapeLetters[control]};
        } else if (escape) {
            out += "\\x";
            if (byte >= 0x10) out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else if (c == '"' || c == '\\') {
            out += {'\\', c};
        } else {
            out += c;
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = '"' + out + '"';
    return out;
}

std::string IniValueFromText(std::string_view text)
{
    std::string out;
    bool quoted = false;
    bool hadQuotes = false;
    // Blanks at the end go down to here: one from an escape stays.
    size_t keptLength = 0;
    size_t i = SkipLineBlanks(text, 0);
    while (i < text.size()) {
        const char c = text[i++];
        if (c == '\\') {
            if (i < text.size()) i = AppendEscaped(out, text, i);
            keptLength = out.size();
        } else if (c == '"') {
            quoted = !quoted;
            hadQuotes = true;
            if (!quoted) {
                i = SkipLineBlanks(text, i);
                keptLength = out.size();
            }
        } else if (c == ',' && !quoted) {
            return {};
        } else {
            out += c;
        }
    }
    if (!hadQuotes)
        while (out.size() > keptLength && kLineBlanks.find(out.back()) != std::string_view::npos)
            out.pop_back();
    return out.starts_with("@@") ? out.substr(1) : out;
}

std::vector<IniLine> SplitIniLines(std::string_view text)
{
    constexpr size_t npos = std::string_view::npos;
    std::vector<IniLine> lines;
    std::string section = kIniGeneral;
    size_t start = 0;
    while (start < text.size()) {
        size_t equals = npos;
        // A comment, or the CR of a CR LF: what follows is no part of the line.
        size_t rest = npos;
        bool quoted = false;
        size_t i = start;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\n' && (rest != npos || !quoted)) break;
            if (rest != npos) continue;
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = !quoted;
            } else if ((c == ';' || c == '\r') && !quoted) {
                rest = i;
            } else if (c == '=' && !quoted && equals == npos) {
                equals = i;
            }
        }
        const size_t contentEnd = std::min({rest, i, text.size()});
        const size_t end = std::min(i + 1, text.size());
        IniLine line;
        line.text = text.substr(start, end - start);
        const std::string_view content = Trimmed(text.substr(start, contentEnd - start));
        if (content.starts_with('[')) {
            const std::string_view name = Trimmed(content.substr(1, content.find(']') - 1));
            section = IsGeneral(name) ? kIniGeneral : std::string(name);
            line.header = true;
        } else if (equals != npos) {
            line.key = Trimmed(text.substr(start, equals - start));
            line.valueText = text.substr(equals + 1, contentEnd - equals - 1);
        }
        line.section = section;
        lines.push_back(std::move(line));
        start = end;
    }
    return lines;
}
