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

// The typed value when it is not negative and at most max; nothing otherwise.
// Empty or non-hex text still reads as 0.
std::optional<uint32_t> ParseHexUpTo(const QString& text, uint32_t max);

// The text that marks a register that could not be read.
inline const QString kUnreadText = QStringLiteral("--");
