#pragma once

#include "Output.h"

#include <optional>
#include <string>

// One field with its value, in the one shape get and decode give under
// --json: {"name": "PWM Frequency", "bits": "A5 bits 3-0", "value": 4,
// "meaning": "9616 Hz", "description": "PWM dimming frequency"}. meaning is
// the value's name, or the number in decimal where the field names none;
// value and meaning are null when the field's registers were not read.
struct ShownField {
    std::string name;
    std::string bits;
    std::optional<unsigned> value;
    std::string meaning;
    std::string description;
};

Json FieldJson(const ShownField& field);
