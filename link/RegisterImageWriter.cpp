#include "RegisterImageWriter.h"

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr const char* kHeader =
    "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";

// i2cdump's character column: printable ASCII as itself, 00 and FF as '.',
// everything else as '?', and 'X' for a register that did not answer.
char Shown(int value)
{
    if (value == RegisterImage::kAbsent) return 'X';
    if (value == 0x00 || value == 0xFF) return '.';
    if (value < 0x20 || value >= 0x7F) return '?';
    return char(value);
}

}  // namespace

std::string FormatRegisterImage(const RegisterImage& image)
{
    std::string text = kHeader;
    for (int row = 0; row < 16; ++row) {
        text += kHex[row];
        text += "0: ";
        std::string shown;
        for (int column = 0; column < 16; ++column) {
            const int value = image.values[row * 16 + column];
            if (value == RegisterImage::kAbsent) {
                text += "XX ";
            } else {
                text += kHex[value >> 4];
                text += kHex[value & 0x0F];
                text += ' ';
            }
            shown += Shown(value);
        }
        text += "   " + shown + '\n';
    }
    return text;
}
