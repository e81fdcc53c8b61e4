// The times of watch lines and Timeline rows: one clock carried across the
// zone's changes, as a long watch or a day's Timeline carries it.
#include "IsoTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

TEST(IsoClock, WritesLocalTimeWithTheOffsetOfThatInstant)
{
    const struct {
        const char* zone;
        int64_t ms;
        const char* text;
    } cases[] = {
        // Spring forward and fall back, each a millisecond apart, in one clock.
        {"Europe/Berlin", 1743296399999, "2025-03-30T01:59:59.999+01:00"},
        {"Europe/Berlin", 1743296400000, "2025-03-30T03:00:00.000+02:00"},
        {"Europe/Berlin", 1761440399999, "2025-10-26T02:59:59.999+02:00"},
        {"Europe/Berlin", 1761440400000, "2025-10-26T02:00:00.000+01:00"},
        {"Asia/Kathmandu", 1704067200000, "2024-01-01T05:45:00.000+05:45"},
        {"America/St_Johns", 1704067200000, "2023-12-31T20:30:00.000-03:30"},
        {"UTC", -1, "1969-12-31T23:59:59.999+00:00"},
    };
    const char* const oldZone = std::getenv("TZ");
    const std::optional<std::string> restore = oldZone ? std::optional(oldZone) : std::nullopt;
    const char* zone = nullptr;
    IsoClock clock;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.ms));
        if (zone != c.zone) {
            zone = c.zone;
            setenv("TZ", zone, 1);
            tzset();
            clock = IsoClock();  // a clock is for one zone, as a program's run is
        }
        EXPECT_EQ(clock.Text(c.ms), c.text);
    }
    if (restore)
        setenv("TZ", restore->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
