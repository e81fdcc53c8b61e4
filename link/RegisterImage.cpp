#include "RegisterImage.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>

namespace {

constexpr int kRows = 16;
constexpr int kBytesPerRow = 16;
// i2cdump prints 16 characters of ASCII after the bytes; they repeat the
// bytes, so they are not checked against them (a hand-edited image rarely
// keeps them in step).
constexpr size_t kAsciiColumnWidth = 16;

struct ParseFailure {
    int line = 0;
    std::string message;
};

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

size_t SkipSpaces(std::string_view s, size_t pos)
{
    while (pos < s.size() && IsSpace(s[pos]))
        ++pos;
    return pos;
}

size_t TokenEnd(std::string_view s, size_t pos)
{
    while (pos < s.size() && !IsSpace(s[pos]))
        ++pos;
    return pos;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string RowLabel(int row)
{
    static constexpr char kHex[] = "0123456789abcdef";
    return {kHex[row], '0', ':'};
}

// "0 1 2 ... f", optionally followed by "0123456789abcdef"; only the spacing
// is free.
bool IsHeader(std::string_view line)
{
    size_t pos = 0;
    for (int column = 0; column < kBytesPerRow; ++column) {
        pos = SkipSpaces(line, pos);
        const size_t end = TokenEnd(line, pos);
        if (end - pos != 1 || HexDigit(line[pos]) != column)
            return false;
        pos = end;
    }
    pos = SkipSpaces(line, pos);
    if (pos == line.size())
        return true;
    const std::string_view ascii = line.substr(pos);
    if (ascii.size() != kBytesPerRow)
        return false;
    for (int column = 0; column < kBytesPerRow; ++column) {
        if (HexDigit(ascii[column]) != column)
            return false;
    }
    return true;
}

bool ParseByte(std::string_view token, int& value)
{
    if (token.size() != 2)
        return false;
    if ((token[0] == 'X' || token[0] == 'x') && (token[1] == 'X' || token[1] == 'x')) {
        value = RegisterImage::kAbsent;
        return true;
    }
    const int high = HexDigit(token[0]);
    const int low = HexDigit(token[1]);
    if (high < 0 || low < 0)
        return false;
    value = high * 16 + low;
    return true;
}

// line has no trailing whitespace.
bool ParseRow(std::string_view line, int row, RegisterImage& image, std::string& error)
{
    const std::string label = RowLabel(row);
    const std::string_view found = line.substr(0, label.size());
    if (found.size() != label.size() || HexDigit(found[0]) != row || found[1] != '0' ||
        found[2] != ':') {
        error = "expected row '" + label + "', found '" + std::string(found) + "'";
        return false;
    }
    size_t pos = label.size();
    if (pos < line.size() && !IsSpace(line[pos])) {
        error = "expected a space after '" + label + "'";
        return false;
    }
    for (int column = 0; column < kBytesPerRow; ++column) {
        pos = SkipSpaces(line, pos);
        if (pos == line.size()) {
            error = "too few bytes in row '" + label + "' (" + std::to_string(column) + " of 16)";
            return false;
        }
        const size_t end = TokenEnd(line, pos);
        const std::string_view token = line.substr(pos, end - pos);
        if (!ParseByte(token, image.values[row * kBytesPerRow + column])) {
            error = "bad byte '" + std::string(token) + "'";
            return false;
        }
        pos = end;
    }
    // What follows can only be the ASCII column, set off by more than the
    // single space between bytes.
    const std::string_view rest = line.substr(pos);
    const size_t gap = SkipSpaces(rest, 0);
    if (!rest.empty() && (gap < 2 || rest.size() - gap > kAsciiColumnWidth)) {
        error = "unexpected text '" + std::string(rest.substr(gap)) +
                "' after the 16 bytes of row '" + label + "'";
        return false;
    }
    return true;
}

bool Parse(std::istream& in, RegisterImage& image, ParseFailure& failure)
{
    RegisterImage parsed;
    bool haveHeader = false;
    int rows = 0;
    int lineNumber = 0;
    std::string raw;
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string_view line = TrimRight(raw);
        if (line.empty())
            continue;
        if (!haveHeader) {
            if (!IsHeader(line)) {
                failure = {lineNumber, "expected the i2cdump column header '0  1  2 ... f'"};
                return false;
            }
            haveHeader = true;
            continue;
        }
        if (rows == kRows) {
            failure = {lineNumber, "unexpected text after row 'f0:'"};
            return false;
        }
        if (!ParseRow(line, rows, parsed, failure.message)) {
            failure.line = lineNumber;
            return false;
        }
        ++rows;
    }
    if (in.bad()) {
        failure = {lineNumber + 1, std::string("read error: ") + std::strerror(errno)};
        return false;
    }
    if (!haveHeader) {
        failure = {lineNumber + 1, "end of file before the column header"};
        return false;
    }
    if (rows < kRows) {
        failure = {lineNumber + 1, "end of file before row '" + RowLabel(rows) + "'"};
        return false;
    }
    image = parsed;
    return true;
}

}  // namespace

bool ParseRegisterImage(std::istream& in, RegisterImage& image, std::string& error)
{
    ParseFailure failure;
    if (Parse(in, image, failure))
        return true;
    error = "line " + std::to_string(failure.line) + ": " + failure.message;
    return false;
}

bool LoadRegisterImage(const std::string& path, RegisterImage& image, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    ParseFailure failure;
    if (Parse(file, image, failure))
        return true;
    error = path + ":" + std::to_string(failure.line) + ": " + failure.message;
    return false;
}

// i2cdump's ASCII column: '.' for 00 and FF, '?' for other unprintable bytes,
// 'X' for a register that does not answer.
std::string FormatRegisterImage(const RegisterImage& image)
{
    std::string text = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";
    static constexpr char kHex[] = "0123456789abcdef";
    for (int row = 0; row < kRows; ++row) {
        std::string ascii;
        text += RowLabel(row);
        for (int column = 0; column < kBytesPerRow; ++column) {
            const int value = image.values[row * kBytesPerRow + column];
            text += ' ';
            if (value == RegisterImage::kAbsent) {
                text += "XX";
                ascii += 'X';
                continue;
            }
            text += kHex[value >> 4];
            text += kHex[value & 0x0F];
            ascii += value == 0x00 || value == 0xFF ? '.'
                     : value < 0x20 || value >= 0x7F ? '?'
                                                     : static_cast<char>(value);
        }
        text += "    " + ascii + "\n";
    }
    return text;
}
