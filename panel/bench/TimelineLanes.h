#pragma once

#include "RegisterMap.h"

#include <span>

// The Timeline's lanes: one per flag of the status register, in the map's
// order, then one for the writes.
std::span<const chip::FieldInfo> StatusFlags();

// True when the flag at this level tells of a fault: a fault flag set, or an
// OK flag ("VRef OK", "VBoost OK") cleared.
bool ShowsFault(const chip::FieldInfo& flag, bool on);
