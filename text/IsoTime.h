#pragma once

#include <cstdint>
#include <limits>
#include <string>

// Local times as ISO 8601 writes them, to the millisecond, with the offset
// from UTC: "2025-03-14T09:26:53.589+01:00". The offset is looked up once a
// quarter of an hour, the step on which every zone's clocks change, so that
// a million rows cost no more than their formatting.
class IsoClock {
public:
    // Appends the time ms (milliseconds since the epoch) to out.
    void Append(std::string& out, int64_t ms);
    std::string Text(int64_t ms);

private:
    int64_t m_quarter = std::numeric_limits<int64_t>::min();
    long m_offsetS = 0;
};

// The wall clock now, in milliseconds since the epoch.
int64_t NowMs();
