#pragma once

#include "RegisterImage.h"

#include <string>

// The image as i2cdump prints it in byte mode: the column header, then 16
// rows of 16 lower-case bytes ("XX" where a register did not answer) and
// the character column. ParseRegisterImage reads it back unchanged.
std::string FormatRegisterImage(const RegisterImage& image);
