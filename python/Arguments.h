#pragma once

#include "Session.h"

#include <pybind11/pybind11.h>

#include <optional>
#include <string>

// Arguments a script passes in, as the C++ side reads them. Text is UTF-8
// bytes with every character kept, so that what the map does not know is refused with the
// map's own ValueError or KeyError naming all of it, never cut at a NUL
// and never a failed cast.

// A name or a value: a lone surrogate is kept as its bytes (which are not
// UTF-8, so nothing matches them and the message shows them escaped).
// Anything but a str raises TypeError naming what.
std::string TextArgument(const pybind11::handle& text, const std::string& what);

// An adapter, which may name a file: encoded as os.fsencode() does; text it
// cannot encode, or with a NUL, raises ValueError. None stays nothing.
std::optional<std::string> AdapterArgument(const pybind11::handle& adapter);

// Registers {address: value or None} from any mapping, read as a dict is.
RegisterReadings ReadingsArgument(const pybind11::handle& mapping);
