#pragma once

#include <pybind11/pybind11.h>

// Chip.watch and Chip.wait_for, with the Sample and Watch classes they give;
// after the Chip class has been added.
void AddWatch(pybind11::module_& module);
