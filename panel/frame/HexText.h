#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Text form of register values, and the base-16 reading of what users type.

// "%.2X": upper-case hex, at least two digits ("0F", "A0", "FFF").
QString HexText(unsigned value);

// Reads text as strtoul does in base 16 on a 32-bit platform: leading white
// space skipped, optional sign and "0x" prefix, stops at the first non-hex
// character, no digits gives 0, overflow saturates at 0xFFFFFFFF and a minus
// sign negates modulo 2^32.
uint32_t ParseHex(const QString& text);

// A whole hex number as Reg Addr, Data and Target take it (see ReadWholeHex:
// " 3c ", "0x3C", "3Ch"); nothing when the text is not one.
std::optional<uint32_t> ParseWholeHex(const QString& text);

// An edit that takes a hex number: its name in refusals ("Data is not a hex
// number"), the largest value it takes and that range as the refusal names it
// ("Data out of range (00-FF)").
struct TypedField {
    const char* name;
    uint32_t max;
    const char* range;
};

// The text that marks a register that could not be read.
inline const QString kUnreadText = QStringLiteral("--");
