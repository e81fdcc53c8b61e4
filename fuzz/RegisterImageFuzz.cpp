// Fuzzes the register image reader (ZR5130_ADAPTER=sim:FILE): any bytes are
// read without a crash, and an image that reads is printed again, as i2cdump
// prints it and as a hand-edited file spells it, and reads back to the same
// registers both times.
#include "RegisterImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& text)
{
    std::fprintf(stderr, "%s\n--- image ---\n%s\n", what.c_str(), text.c_str());
    std::abort();
}

enum class Spelling {
    I2cdump,  // as i2cdump -y BUS ADDRESS b prints it
    Edited,   // upper-case digits, "xx", no character column
};

// Header, 16 rows of 16 bytes; i2cdump adds the bytes again as characters
// ('.' for 00 and FF, '?' for other unprintables, X for XX).
std::string ImageText(const RegisterImage& image, Spelling spelling)
{
    const bool dump = spelling == Spelling::I2cdump;
    std::string out = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f";
    out += dump ? "    0123456789abcdef\n" : "\n";
    char cell[8];
    for (int row = 0; row < 16; ++row) {
        std::snprintf(cell, sizeof cell, "%02x:", row * 16);
        out += cell;
        std::string ascii;
        for (int column = 0; column < 16; ++column) {
            const std::optional<uint8_t> entry = image.values[size_t(row * 16 + column)];
            if (!entry) {
                out += dump ? " XX" : " xx";
                ascii += 'X';
                continue;
            }
            const int value = *entry;
            std::snprintf(cell, sizeof cell, dump ? " %02x" : " %02X", value);
            out += cell;
            if (value == 0x00 || value == 0xFF)
                ascii += '.';
            else if (value < 0x20 || value >= 0x7F)
                ascii += '?';
            else
                ascii += char(value);
        }
        out += dump ? "    " + ascii + "\n" : "\n";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    RegisterImage image;
    std::string error;
    if (!ParseRegisterImage(in, image, error)) {
        if (error.rfind("line ", 0) != 0 || error.find(": ") == std::string::npos)
            Fail("error without its line: " + error, input);
        return 0;
    }
    for (Spelling spelling : {Spelling::I2cdump, Spelling::Edited}) {
        const std::string printed = ImageText(image, spelling);
        std::istringstream again(printed);
        RegisterImage reread;
        if (!ParseRegisterImage(again, reread, error))
            Fail("reprinted image does not read: " + error, printed);
        if (reread.values != image.values) Fail("reprinted image reads differently", printed);
    }
    return 0;
}
