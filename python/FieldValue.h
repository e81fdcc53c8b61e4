#pragma once

#include "FieldObjects.h"

#include <pybind11/pybind11.h>

// What makes a zr5130.Field stand for its value in a script: truth, int(),
// == and != with a number or with its meaning, format(), str(). It equals
// both a number and a text, so it has no hash.
void AddValueBehaviour(pybind11::class_<FieldReading, FieldFacts>& field);
