#pragma once

#include <pybind11/pybind11.h>

// Chip.restore, Chip.load and Chip.burn, added to the module's Chip class.
void AddActionMethods(pybind11::module_& module);
