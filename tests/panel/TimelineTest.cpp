// The Timeline's record of status reads and writes, in bounded memory.
#include "PanelHarness.h"

#include "RegisterMap.h"
#include "TimelineRecord.h"

namespace {

using Kind = TimelineEvent::Kind;
constexpr int64_t kT0 = 1'700'000'000'000;  // the tests' time 0, in ms since the epoch

TimelineRecord::Time At(int64_t ms)
{
    return TimelineRecord::Time(std::chrono::milliseconds(kT0 + ms));
}

TEST(TimelineRecord, KeepsTheNewestEventsWithinItsCeilingAndItsAge)
{
    struct Case {
        const char* what;
        int64_t count;
        int64_t stepMs;
        size_t kept;
        size_t capacity;
    };
    const Case cases[] = {
        {"1.2 million reads, 1 ms apart", 1'200'000, 1, TimelineRecord::kMaxEvents,
         TimelineRecord::kMaxEvents},
        {"25 hours of a read a minute", 25 * 60 + 1, 60'000, 24 * 60 + 1, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineRecord record;
        for (int64_t i = 0; i < c.count; ++i)
            record.AddRead(At(i * c.stepMs), chip::kStatusRegister, uint8_t(i));
        EXPECT_EQ(record.Capacity(), c.capacity);
        EXPECT_EQ(record.AddedCount(), uint64_t(c.count));
        const TimelineRecord::Events events = record.Read();
        ASSERT_EQ(events.size(), c.kept);
        // In time order across the ring's wrap, the oldest dropped.
        const int64_t dropped = c.count - int64_t(c.kept);
        for (const size_t i : {size_t(0), c.kept / 2, c.kept - 1}) {
            EXPECT_EQ(events[i].ms, kT0 + (dropped + int64_t(i)) * c.stepMs) << i;
            EXPECT_EQ(events[i].value, uint8_t(dropped + int64_t(i))) << i;
        }
        EXPECT_EQ(events.FirstAtOrAfter(events[c.kept / 2].ms - c.stepMs + 1), c.kept / 2);
        EXPECT_EQ(events.FirstAtOrAfter(kT0 + c.count * c.stepMs), c.kept);
    }
}

TEST(TimelineRecord, AWriteKnowsItsRegisterFromEarlierReadsAndWrites)
{
    struct Access {
        int64_t ms;
        bool write;
        uint8_t reg;
        std::optional<uint8_t> value;  // a read: nothing when it failed
        bool ok = true;                // a write
    };
    struct Expected {
        int64_t ms;
        Kind kind;
        uint8_t reg;
        uint8_t value;
        std::optional<uint8_t> before;
    };
    const Access accesses[] = {
        {0, false, 0xA5, 0xE9},        {10, true, 0xA5, 0xE4},       {20, true, 0xA5, 0x64},
        {30, true, 0xA5, 0x11, false}, {40, true, 0xA5, 0x22},       {50, false, 0xA5, {}},
        {60, true, 0xA5, 0x33},        {70, false, 0x03, 0x55},      {80, false, 0x02, 0x38},
        {90, false, 0x02, {}},         {50, true, 0x16, 0x3F, true},
    };
    const Expected expected[] = {
        {10, Kind::Write, 0xA5, 0xE4, 0xE9},
        {20, Kind::Write, 0xA5, 0x64, 0xE4},
        {30, Kind::FailedWrite, 0xA5, 0x11, 0x64},
        {40, Kind::Write, 0xA5, 0x22, {}},  // what the failed write left is not known
        {60, Kind::Write, 0xA5, 0x33, {}},  // nor after a failed read
        {80, Kind::StatusRead, 0x02, 0x38, {}},
        {90, Kind::FailedStatusRead, 0x02, 0x00, {}},
        {90, Kind::Write, 0x16, 0x3F, {}},  // the clock set back: kept in order
    };
    TimelineRecord record;
    for (const Access& a : accesses) {
        if (a.write)
            record.AddWrite(At(a.ms), a.reg, *a.value, a.ok);
        else
            record.AddRead(At(a.ms), a.reg, a.value);
    }
    const TimelineRecord::Events events = record.Read();
    ASSERT_EQ(events.size(), std::size(expected));
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].ms, kT0 + expected[i].ms);
        EXPECT_EQ(events[i].kind, expected[i].kind);
        EXPECT_EQ(events[i].reg, expected[i].reg);
        EXPECT_EQ(events[i].value, expected[i].value);
        EXPECT_EQ(events[i].before, expected[i].before);
    }
}

}  // namespace
