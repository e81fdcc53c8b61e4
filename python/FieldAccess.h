#pragma once

#include "FieldObjects.h"
#include "FieldWrite.h"
#include "Session.h"

#include <string>
#include <vector>

// Fields by name on an open chip, through the register map's field writing,
// as zr5130ctl's get and set do.

// Reads the field's registers once each. Throws UnknownName (with the
// nearest name) or BusFailure.
FieldReading GetField(ChipSession& chip, const std::string& name);

// Checks every name and value first: a field the map does not know throws
// UnknownName, a value it refuses std::invalid_argument, and then nothing is
// read or written. Then reads each register concerned once, writes it once
// with all its fields changed, every other bit kept, and reads it back:
// BusFailure when an access fails, MismatchFailure when it reads back
// otherwise; the registers after it are not written.
void SetFields(ChipSession& chip, const std::vector<chip::FieldText>& fields);
