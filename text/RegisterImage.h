#pragma once

#include "TextInput.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

// A chip's 256 registers as i2cdump prints them in byte mode:
//        0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef
//   00: 00 00 30 00 ...                                     ..0.
// A register written XX, left blank or in a row that is not there does not
// answer (i2cdump -r FIRST-LAST prints only the rows of the range, with
// blank cells outside it).
struct RegisterImage {
    // Nothing for a register that does not answer; a new image holds nothing.
    std::array<std::optional<uint8_t>, 256> values{};
};

// A full table is about 4.5 KB; anything far beyond that is not a dump and
// is refused before it can take the program's memory.
inline constexpr std::size_t kMaxRegisterImageBytes = kMaxTextInputBytes;
inline constexpr std::size_t kMaxRegisterImageLine = kMaxTextInputLine;

// error is "line N: what is wrong" (or just what is wrong) on failure; the
// image is left alone then.
bool ParseRegisterImage(std::string_view text, RegisterImage& image, std::string& error);
bool ParseRegisterImage(std::istream& in, RegisterImage& image, std::string& error);
// Reads a regular file only, without blocking on anything else, or standard
// input for "-" where dash says so (see ReadTextInput). error is "FILE:N:
// what is wrong" or "FILE: what is wrong" on failure.
bool LoadRegisterImage(const std::string& path, RegisterImage& image, std::string& error,
                       Dash dash = Dash::IsAFile);

// The full table exactly as i2cdump prints it, XX for a register that does
// not answer: what this project writes, so that any reader of i2cdump's
// output loads it.
std::string FormatRegisterImage(const RegisterImage& image);
