#pragma once

#include <pybind11/pybind11.h>

// zr5130.Error and its kinds, added to the module, and the translation of
// the C++ failures (Errors.h) into them.
void AddErrors(pybind11::module_& module);
