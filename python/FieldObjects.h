#pragma once

#include "NamedFields.h"

#include <map>
#include <string>
#include <vector>

// A field of the register map as Python sees it (zr5130.FieldInfo): a
// register's field, or the LED current across A0 and A1.
struct FieldFacts {
    std::string name;            // "PWM Frequency", as the panel shows it
    std::string key;             // "pwm-frequency"
    int reg = 0;                 // its register; of a field across several, the first written
    std::vector<int> registers;  // each of its registers, in the order they are written
    std::string bits;            // "A5 bits 3-0"; "A1 bits 3-0, A0 bits 7-0"
    std::map<int, int> masks;    // register -> the field's bits in it
    unsigned maximum = 0;
    std::string description;
    std::vector<std::string> values;  // value n's name at n; empty: a number
    std::string access;
};

// A field with the value the registers hold (zr5130.Field).
struct FieldReading : FieldFacts {
    unsigned number = 0;
    std::string meaning;  // the value's name, or the number in decimal
};

FieldFacts FactsOf(const chip::NamedField& field);
FieldReading ReadingOf(const chip::NamedField& field, unsigned number);

// Every field of the map, register by register, highest bits first, the LED
// current after the fields of A0.
std::vector<FieldFacts> AllFields();
