#pragma once

#include "NamedFields.h"

#include <optional>
#include <string>
#include <string_view>

namespace chip {

struct ValueReading {
    std::optional<unsigned> value;
    std::string error;  // when there is no value: what is wrong, naming the field
};

// A field's value as typed, blanks around it ignored, read in this order:
// one of the field's labels, case ignored and its blanks optional ("9616hz"
// for "9616 Hz"), whole or either side of its " = " ("011 = 20mA", "011",
// "20mA"); else a number, decimal or hex after 0x, with no blanks inside. A
// label printed for several values (listed twice, or read for several
// codes), a number beyond the field and anything else are refused, the text
// escaped in the message.
ValueReading ReadFieldValue(const NamedField& field, std::string_view typed);

}  // namespace chip
