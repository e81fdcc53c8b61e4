#pragma once

#include "FieldWrite.h"

#include <pybind11/pybind11.h>

#include <optional>
#include <vector>

// Fields and values as a script gives them, a dict and keyword arguments
// ({"PWM Frequency": "9616 Hz"}, over_voltage=1), as the register map reads
// text: a value is an int (a bool counts as 0 or 1) or a meaning as text;
// anything else raises TypeError.
std::vector<chip::FieldText> FieldTexts(const std::optional<pybind11::dict>& fields,
                                        const pybind11::kwargs& more);
