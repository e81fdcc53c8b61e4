#include "TimelineLanes.h"

#include "Fields.h"

#include <algorithm>

namespace {

// The flags whose set level is the healthy one.
const chip::FieldInfo* const kOkFlags[] = {&chip::kVrefOk, &chip::kVboostOk};

bool SameField(const chip::FieldInfo& a, const chip::FieldInfo& b)
{
    return a.reg == b.reg && a.lsb == b.lsb && a.width == b.width;
}

}  // namespace

std::span<const chip::FieldInfo> StatusFlags()
{
    return chip::FindRegister(chip::kStatusRegister)->fields;
}

bool ShowsFault(const chip::FieldInfo& flag, bool on)
{
    const bool okFlag = std::ranges::any_of(
        kOkFlags, [&](const chip::FieldInfo* ok) { return SameField(*ok, flag); });
    return on != okFlag;
}
