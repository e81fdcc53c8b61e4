#pragma once

#include "TimelineLanes.h"

#include <cstring>

// The Timeline lane of the status flag of this name, found by name; past the
// flags, the writes' lane.
inline int LaneOf(const char* name)
{
    const std::span<const chip::FieldInfo> flags = StatusFlags();
    for (size_t lane = 0; lane < flags.size(); ++lane)
        if (std::strcmp(flags[lane].name, name) == 0) return int(lane);
    return int(flags.size());
}
