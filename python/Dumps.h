#pragma once

#include "FieldObjects.h"
#include "RegisterImage.h"
#include "Session.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// Register dumps (i2cdump's byte table) and their differences, for Python.

// The registers a dump holds; those written XX or outside its rows are left
// out. Throws DumpFailure naming the file and line.
std::map<int, int> LoadDump(const std::string& path);
// The registers as an image. Throws std::invalid_argument for an address or
// value that is not a byte.
RegisterImage ImageOf(const RegisterReadings& values);
// The full table, XX for a register missing or None. Throws
// std::invalid_argument for an address or value that is not a byte.
std::string FormatDump(const RegisterReadings& values);

struct FieldDiff {
    FieldReading a;
    FieldReading b;
};

struct RegisterDiff {
    int reg = 0;
    std::string name;  // empty: not in the map
    std::optional<int> a;
    std::optional<int> b;
    std::vector<FieldDiff> fields;  // empty unless both sides hold the register
};

// The registers whose values differ, in address order. A register of the map
// held by one side only is a difference; any other only where both hold it.
std::vector<RegisterDiff> Diff(const RegisterReadings& a, const RegisterReadings& b);
