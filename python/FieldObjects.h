#pragma once

#include "Decode.h"
#include "RegisterMap.h"

#include <string>
#include <vector>

// A field of the register map as Python sees it (zr5130.FieldInfo).
struct FieldSpec {
    std::string name;
    int reg = 0;
    std::string bits;  // "bits 3-0"
    unsigned lsb = 0;
    unsigned width = 0;
    unsigned maximum = 0;
    std::string description;
    std::vector<std::string> values;  // value n's name at n; empty: a number
    std::string access;
};

// A field with the value a register holds (zr5130.Field).
struct FieldReading : FieldSpec {
    unsigned number = 0;
    std::string meaning;  // the value's name, or the number in decimal
};

FieldSpec SpecOf(const chip::RegisterInfo& reg, const chip::FieldInfo& field);
FieldReading ReadingOf(const chip::RegisterInfo& reg, const chip::DecodedField& decoded);

// Every field of the map, register by register, highest bits first.
std::vector<FieldSpec> AllFields();
