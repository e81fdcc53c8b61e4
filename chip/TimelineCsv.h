#pragma once

#include "IsoTime.h"

#include <cstdint>
#include <string>

namespace chip {

// What a row of a timeline tells.
enum class TimelineKind : uint8_t { Read, FailedRead, Write, FailedWrite };

// A timeline of register reads and writes as CSV, the columns the panel's
// Timeline and zr5130ctl watch --csv both write:
//   time,kind,register,value,Open,Short,VRef OK,...,UVLO
// time in ISO 8601 (local, milliseconds, with its offset), kind ("read",
// "failed read", "write", "failed write"), register and value as two hex
// digits ("--" for a failed read), then one column per flag of the status
// register, named as the map names it: 0 or 1 for a read of that register,
// empty otherwise. No value holds a comma or a quote.
class TimelineCsv {
public:
    // The header line, with its line end.
    static std::string Header();
    // Appends one row with its line end; value is ignored for a failed read.
    void AppendRow(std::string& out, int64_t ms, TimelineKind kind, uint8_t reg, uint8_t value);

private:
    IsoClock m_clock;
};

}  // namespace chip
