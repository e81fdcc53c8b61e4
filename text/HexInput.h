#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How users' hex text is read, by the panel and by zr5130ctl alike: as
// strtoul does in base 16 on a 32-bit platform. Leading white space is
// skipped, then an optional sign and an optional "0x" prefix; reading stops
// at the first character that is not a hex digit.
struct HexReading {
    uint32_t magnitude = 0;  // saturates at 0xFFFFFFFF
    bool negative = false;   // a minus sign (dropped when the magnitude saturated)
    bool minusSign = false;  // a minus sign was typed, whatever the magnitude
    size_t digits = 0;       // hex digits read (the "0x" prefix not counted)
    size_t end = 0;          // index of the first character not read

    // strtoul's answer: a minus sign negates modulo 2^32.
    uint32_t Value() const { return negative ? uint32_t(0u - magnitude) : magnitude; }
};

HexReading ReadHex(std::string_view text);
HexReading ReadHex(std::u16string_view text);

// A whole hex number as users type it: blanks around it, then either a "0x"
// prefix or an "h" suffix (not both, either case) around hex digits, and
// nothing else. Nothing when the text is not such a number; a number beyond
// 32 bits reads as 0xFFFFFFFF, so that range checks refuse it.
std::optional<uint32_t> ReadWholeHex(std::string_view text);
std::optional<uint32_t> ReadWholeHex(std::u16string_view text);

// "%.2X": upper-case hex, at least two digits ("0F", "A0", "FFF").
std::string HexByteText(unsigned value);
