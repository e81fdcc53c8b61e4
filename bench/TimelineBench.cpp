// The Timeline's costs: an event added to a full record, as every register
// access of the panel does, and a paint of a view showing a whole record at
// once (median of 50 paints; the aim is under 16 ms for 100,000 events).
#include "TimelineRecord.h"
#include "TimelineView.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace {

constexpr int64_t kT0 = 1'700'000'000'000;

TimelineRecord::Time At(int64_t ms)
{
    return TimelineRecord::Time(std::chrono::milliseconds(kT0 + ms));
}

void AddStatusRead(TimelineRecord& record, int64_t ms)
{
    record.AddRead(At(ms), 0x02, uint8_t(ms));
}
void AddWrite(TimelineRecord& record, int64_t ms)
{
    record.AddWrite(At(ms), 0xA5, uint8_t(ms), true);
}
// Only what the record knows of the register changes: no event.
void AddOtherRead(TimelineRecord& record, int64_t ms) { record.AddRead(At(ms), 0xA5, uint8_t(ms)); }

template <class Add>
void BM_TimelineAddToFullRecord(benchmark::State& state, Add add)
{
    TimelineRecord record;
    int64_t ms = 0;
    while (record.Read().size() < TimelineRecord::kMaxEvents) AddStatusRead(record, ++ms);
    for (auto _ : state) add(record, ++ms);
}
BENCHMARK_CAPTURE(BM_TimelineAddToFullRecord, status_read, AddStatusRead);
BENCHMARK_CAPTURE(BM_TimelineAddToFullRecord, write, AddWrite);
BENCHMARK_CAPTURE(BM_TimelineAddToFullRecord, other_read, AddOtherRead);

// Events 10 ms apart, flags changing at random, a write every fourth event
// and a failed read every fiftieth: the worst a busy bench gives.
void FillBusyRecord(TimelineRecord& record, int64_t events)
{
    uint32_t random = 12345;
    for (int64_t i = 0; i < events; ++i) {
        random = random * 1664525 + 1013904223;
        const uint8_t value = uint8_t(random >> 24);
        if (i % 4 == 3)
            record.AddWrite(At(i * 10), 0xA5, value, i % 100 != 3);
        else
            record.AddRead(At(i * 10), 0x02,
                           i % 50 == 0 ? std::nullopt : std::optional<uint8_t>(value));
    }
}

void BM_TimelinePaintWholeRecord(benchmark::State& state)
{
    const int64_t events = state.range(0);
    TimelineRecord record;
    FillBusyRecord(record, events);
    CTimelineView view(record);
    view.SetClock([events] { return kT0 + events * 10; });
    view.resize(1200, 400);
    view.ShowRange(kT0, kT0 + events * 10);
    QImage image(view.size(), QImage::Format_RGB32);
    for (auto _ : state) view.render(&image);
}
BENCHMARK(BM_TimelinePaintWholeRecord)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->Repetitions(50)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
