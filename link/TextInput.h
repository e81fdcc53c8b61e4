#pragma once

#include <cstddef>
#include <string>

// Text files the programs take as input (register dumps, traces) are small:
// anything far beyond these bounds is not what it claims to be, and is
// refused before it can take the program's memory or time.
inline constexpr std::size_t kMaxTextInputBytes = 1024 * 1024;
inline constexpr std::size_t kMaxTextInputLine = 4096;

// "-" names standard input wherever an input file is named.
inline constexpr const char* kStandardInputPath = "-";

// How messages name the input: the path, or "standard input" for "-".
std::string TextInputName(const std::string& path);

// The whole of a regular file, opened without blocking and refused at once
// when it is anything else (a named pipe, a device, a directory); or, for
// "-", of standard input, whatever it is. Reading stops once the text is
// past kMaxTextInputBytes, so that the caller can refuse it without holding
// more. error is "NAME: what went wrong" on failure.
bool ReadTextInput(const std::string& path, std::string& text, std::string& error);
