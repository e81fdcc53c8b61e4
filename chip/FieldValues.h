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

// A field's value as typed: one of its value names, case and blanks ignored
// ("9616hz" for "9616 Hz"; a name "000 = 5mA" also as "5mA"), or a number in
// decimal or, after 0x, in hex. A name that stands for several values, a
// number beyond the field and anything else are refused.
ValueReading ReadFieldValue(const NamedField& field, std::string_view typed);

}  // namespace chip
