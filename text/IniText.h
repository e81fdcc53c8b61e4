#pragma once

#include <string>
#include <string_view>
#include <vector>

// The INI form of Qt's QSettings, read as Qt 6 reads it and written as it
// writes it, so that a file written by either is read alike by both.

// A string in Qt's quoting: control bytes as \t-style or \x escapes, quotes
// and backslashes escaped, the whole in quotes when it holds ; , = or
// starts or ends with a blank, a leading @ doubled.
std::string IniValueText(const std::string& value);

// The string a value's text stands for, the text after '=' up to a comment:
// blanks around it go unless quoted or escaped, quotes go, escapes are
// undone (an unknown one stands for nothing). A text with an unquoted comma
// is a list to Qt, which no single string stands for: empty.
std::string IniValueFromText(std::string_view text);

// One line as Qt's reader takes it: a quoted value or a backslash may carry
// it over several lines of the file, and an unquoted ';' starts a comment
// that runs to the end of the line.
struct IniLine {
    std::string_view text;       // as in the file, through its newline
    std::string section;         // kIniGeneral for [General] in any case and before any section
    bool header = false;         // a [section] line
    std::string key;             // of a KEY=VALUE line, without blanks; empty for any other
    std::string_view valueText;  // after '=', up to a comment; for IniValueFromText
};
inline constexpr const char* kIniGeneral = "General";

// text cut into its lines, every character in exactly one.
std::vector<IniLine> SplitIniLines(std::string_view text);
