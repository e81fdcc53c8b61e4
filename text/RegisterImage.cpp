#include "RegisterImage.h"

#include "Quote.h"
#include "TextInput.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr int kRows = 16;
constexpr int kCells = 16;
// i2cdump's columns: "a0:", then " ff" per cell, then four spaces and 16
// characters that repeat the bytes (ignored: hand-edited dumps rarely keep
// them in step).
constexpr size_t kLabelWidth = 3;
constexpr size_t kCellPitch = 3;
constexpr size_t kCellsEnd = kLabelWidth + kCells * kCellPitch;
constexpr size_t kGapWidth = 4;
constexpr size_t kCharColumnWidth = 16;

constexpr char kHexDigits[] = "0123456789abcdef";

struct ParseFailure {
    size_t line = 0;  // 0: the file as a whole
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

std::string RowName(int row)
{
    return {'\'', kHexDigits[row], '0', ':', '\''};
}

std::string RegisterName(int reg)
{
    return std::string("register 0x") + kHexDigits[reg >> 4] + kHexDigits[reg & 0x0F];
}

// "0 1 2 ... f", optionally followed by "0123456789abcdef"; only the spacing
// is free.
bool IsHeader(std::string_view line)
{
    size_t pos = 0;
    for (int column = 0; column < kCells; ++column) {
        pos = SkipSpaces(line, pos);
        const size_t end = TokenEnd(line, pos);
        if (end - pos != 1 || HexDigit(line[pos]) != column)
            return false;
        pos = end;
    }
    pos = SkipSpaces(line, pos);
    if (pos == line.size())
        return true;
    const std::string_view chars = line.substr(pos);
    if (chars.size() != kCharColumnWidth)
        return false;
    for (int column = 0; column < kCells; ++column) {
        if (HexDigit(chars[column]) != column)
            return false;
    }
    return true;
}

// The row of a line starting "00:" to "f0:", or -1.
int RowOf(std::string_view line)
{
    if (line.size() < kLabelWidth || line[1] != '0' || line[2] != ':')
        return -1;
    return HexDigit(line[0]);
}

bool ParseByte(std::string_view cell, std::optional<uint8_t>& value)
{
    if ((cell[0] == 'X' || cell[0] == 'x') && (cell[1] == 'X' || cell[1] == 'x')) {
        value.reset();
        return true;
    }
    const int high = HexDigit(cell[0]);
    const int low = HexDigit(cell[1]);
    if (high < 0 || low < 0)
        return false;
    value = uint8_t(high * 16 + low);
    return true;
}

// One cell: " ff", " XX", blank, or cut off by the end of the line.
bool ParseCell(std::string_view line, int reg, std::optional<uint8_t>& value, std::string& error)
{
    const size_t fieldStart = kLabelWidth + static_cast<size_t>(reg % kCells) * kCellPitch;
    value.reset();
    if (fieldStart >= line.size())
        return true;
    const size_t offset = line.substr(fieldStart, kCellPitch).find_first_not_of(' ');
    if (offset == std::string_view::npos)
        return true;
    const size_t start = fieldStart + offset;
    // Only a space parts cells: "00\t00" is one bad cell, not two.
    const std::string_view token = line.substr(start, line.find(' ', start) - start);
    const bool inColumn = offset == 1;
    if (token.size() == 2 && ParseByte(token, value)) {
        if (inColumn)
            return true;
        error = RegisterName(reg) + ": " + Quoted(token) + " is out of its column";
        return false;
    }
    error = RegisterName(reg) + ": " + Quoted(token) + " is not a byte";
    return false;
}

// line has no trailing whitespace.
bool ParseRow(std::string_view line, int row, RegisterImage& image, std::string& error)
{
    if (line.size() > kLabelWidth && line[kLabelWidth] != ' ') {
        error = "expected a space after " + RowName(row);
        return false;
    }
    for (int column = 0; column < kCells; ++column) {
        const int reg = row * kCells + column;
        if (!ParseCell(line, reg, image.values[reg], error))
            return false;
    }
    if (line.size() <= kCellsEnd)
        return true;
    const std::string_view gap = line.substr(kCellsEnd, kGapWidth);
    if (gap.find_first_not_of(' ') != std::string_view::npos) {
        error = "row " + RowName(row) + ": unexpected " +
                Quoted(line.substr(kCellsEnd + gap.find_first_not_of(' '))) +
                " after " + RegisterName(row * kCells + kCells - 1);
        return false;
    }
    const std::string_view chars = line.substr(kCellsEnd + kGapWidth);
    if (chars.size() > kCharColumnWidth) {
        error = "row " + RowName(row) + ": unexpected " + Quoted(chars.substr(kCharColumnWidth)) +
                " after the 16 characters that repeat the bytes";
        return false;
    }
    return true;
}

bool Parse(std::string_view text, RegisterImage& image, ParseFailure& failure)
{
    if (text.size() > kMaxRegisterImageBytes) {
        failure = {0,
                   "too large for a register dump (over 1 MiB; i2cdump's table is about 4.5 KB)"};
        return false;
    }
    RegisterImage parsed;
    bool haveHeader = false;
    int lastRow = -1;
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t newline = text.find('\n');
        const std::string_view raw = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (raw.size() > kMaxRegisterImageLine) {
            failure = {lineNumber, "line longer than 4096 characters; not an i2cdump table"};
            return false;
        }
        const std::string_view line = TrimRight(raw);
        // i2cdump's notices and warning come before the table.
        if (!haveHeader) {
            haveHeader = IsHeader(line);
            continue;
        }
        if (line.empty())
            continue;
        const int row = RowOf(line);
        if (row < 0) {
            failure = {lineNumber, "expected a row label '00:' to 'f0:', found " + Quoted(line)};
            return false;
        }
        if (row <= lastRow) {
            failure = {lineNumber, row == lastRow ? "row " + RowName(row) + " appears twice"
                                                  : "row " + RowName(row) + " after row " +
                                                        RowName(lastRow) +
                                                        "; rows go up from '00:' to 'f0:'"};
            return false;
        }
        if (!ParseRow(line, row, parsed, failure.message)) {
            failure.line = lineNumber;
            return false;
        }
        lastRow = row;
    }
    if (!haveHeader) {
        failure = {0, "not an i2cdump byte table: its column header '0  1  2 ... f' is missing"};
        return false;
    }
    if (lastRow < 0) {
        failure = {0, "no rows after i2cdump's column header"};
        return false;
    }
    image = parsed;
    return true;
}

// "FILE:N: what", "line N: what", "FILE: what" or "what".
std::string Describe(const ParseFailure& failure, const std::string& path)
{
    const std::string line = std::to_string(failure.line);
    std::string where = path;
    if (failure.line != 0)
        where += path.empty() ? "line " + line : ":" + line;
    return where.empty() ? failure.message : where + ": " + failure.message;
}

}  // namespace

bool ParseRegisterImage(std::string_view text, RegisterImage& image, std::string& error)
{
    ParseFailure failure;
    if (Parse(text, image, failure))
        return true;
    error = Describe(failure, "");
    return false;
}

bool ParseRegisterImage(std::istream& in, RegisterImage& image, std::string& error)
{
    std::string text;
    char chunk[16 * 1024];
    while (text.size() <= kMaxRegisterImageBytes && in.read(chunk, sizeof chunk).gcount() > 0)
        text.append(chunk, static_cast<size_t>(in.gcount()));
    if (in.bad()) {
        error = std::string("read error: ") + std::strerror(errno);
        return false;
    }
    return ParseRegisterImage(std::string_view(text), image, error);
}

bool LoadRegisterImage(const std::string& path, RegisterImage& image, std::string& error,
                       Dash dash)
{
    std::string text;
    if (!ReadTextInput(path, dash, text, error))
        return false;
    ParseFailure failure;
    if (Parse(text, image, failure))
        return true;
    error = Describe(failure, TextInputName(path, dash));
    return false;
}

std::string FormatRegisterImage(const RegisterImage& image)
{
    std::string out =
        "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";
    for (int row = 0; row < kRows; ++row) {
        out += {kHexDigits[row], '0', ':'};
        std::string chars;
        for (int column = 0; column < kCells; ++column) {
            const std::optional<uint8_t> cell = image.values[row * kCells + column];
            if (!cell) {
                out += " XX";
                chars += 'X';
                continue;
            }
            const uint8_t value = *cell;
            out += {' ', kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
            if (value == 0x00 || value == 0xFF)
                chars += '.';
            else if (value < 0x20 || value >= 0x7F)
                chars += '?';
            else
                chars += static_cast<char>(value);
        }
        out += "    " + chars + "\n";
    }
    return out;
}
