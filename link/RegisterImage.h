#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>

// A chip's 256 registers as i2cdump prints them in byte mode:
//        0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef
//   00: 00 00 30 00 ...                                     ..0.
// A value written XX marks a register that does not answer.
struct RegisterImage {
    static constexpr int kAbsent = -1;
    std::array<int, 256> values{};  // 0x00-0xFF, or kAbsent
};

// The image as i2cdump prints it, ASCII column included; ParseRegisterImage
// reads it back unchanged.
std::string FormatRegisterImage(const RegisterImage& image);

// error is "line N: what is wrong" on failure.
bool ParseRegisterImage(std::istream& in, RegisterImage& image, std::string& error);
// error is "FILE:N: what is wrong" (or "FILE: cannot open: reason") on failure.
bool LoadRegisterImage(const std::string& path, RegisterImage& image, std::string& error);
