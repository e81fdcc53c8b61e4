#pragma once

#include <cstddef>
#include <string>

// Text files the programs take as input (register dumps, traces) are small:
// anything far beyond these bounds is not what it claims to be, and is
// refused before it can take the program's memory or time.
inline constexpr std::size_t kMaxTextInputBytes = 1024 * 1024;
inline constexpr std::size_t kMaxTextInputLine = 4096;

// "-" names standard input where a caller takes it so (zr5130ctl's file
// arguments); elsewhere it is a file named "-", so that a setting never
// makes a program wait on a terminal.
inline constexpr const char* kStandardInputPath = "-";
enum class Dash { IsAFile, IsStandardInput };

// How messages name the input: the path, or "standard input" for "-".
std::string TextInputName(const std::string& path, Dash dash);

// The whole of a regular file, read through ReadRegularFile (refused
// without being opened when it is anything else); or of standard input,
// whatever it is. Reading stops once the text is past kMaxTextInputBytes,
// so that the caller can refuse it without holding more. error is "NAME:
// what went wrong" on failure.
bool ReadTextInput(const std::string& path, Dash dash, std::string& text, std::string& error);
