#include "TimelineCsv.h"

#include "RegisterMap.h"

#include <cstdio>
#include <iterator>

namespace chip {
namespace {

// By TimelineKind.
const char* const kKindNames[] = {"read", "failed read", "write", "failed write"};
static_assert(std::size(kKindNames) == size_t(TimelineKind::FailedWrite) + 1);

std::span<const FieldInfo> StatusFlags() { return FindRegister(kStatusRegister)->fields; }

}  // namespace

std::string TimelineCsv::Header()
{
    std::string line = "time,kind,register,value";
    for (const FieldInfo& flag : StatusFlags()) line += std::string(",") + flag.name;
    return line + '\n';
}

void TimelineCsv::AppendRow(std::string& out, int64_t ms, TimelineKind kind, uint8_t reg,
                            uint8_t value)
{
    m_clock.Append(out, ms);
    char text[32];
    const char* name = kKindNames[size_t(kind)];
    const int length = kind == TimelineKind::FailedRead
        ? std::snprintf(text, sizeof text, ",%s,%02X,--", name, reg)
        : std::snprintf(text, sizeof text, ",%s,%02X,%02X", name, reg, value);
    out.append(text, size_t(length));
    const bool flags = kind == TimelineKind::Read && reg == kStatusRegister;
    for (const FieldInfo& flag : StatusFlags()) {
        out += ',';
        if (flags) out += FieldValue(flag, value) ? '1' : '0';
    }
    out += '\n';
}

}  // namespace chip
