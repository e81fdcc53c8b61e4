#include "TimelineRecord.h"

#include "RegisterMap.h"

#include <algorithm>

void TimelineRecord::AddRead(Time when, uint8_t reg, std::optional<uint8_t> value)
{
    const std::lock_guard lock(m_mutex);
    m_known[reg] = value;
    if (reg != chip::kStatusRegister) return;
    using K = TimelineEvent::Kind;
    Append({OrderedMs(when), value ? K::StatusRead : K::FailedStatusRead, reg, value.value_or(0),
            std::nullopt});
}

// What a failed write left in the register is not known: the chip may have
// taken it, or the adapter may have been reset on the way.
void TimelineRecord::AddWrite(Time when, uint8_t reg, uint8_t value, bool ok)
{
    const std::lock_guard lock(m_mutex);
    using K = TimelineEvent::Kind;
    Append({OrderedMs(when), ok ? K::Write : K::FailedWrite, reg, value, m_known[reg]});
    m_known[reg] = ok ? std::optional(value) : std::nullopt;
}

size_t TimelineRecord::Capacity() const
{
    const std::lock_guard lock(m_mutex);
    return m_ring.capacity();
}

int64_t TimelineRecord::OrderedMs(Time when) const
{
    const int64_t ms =
        std::chrono::floor<std::chrono::milliseconds>(when).time_since_epoch().count();
    return m_count == 0 ? ms : std::max(ms, At(m_count - 1).ms);
}

void TimelineRecord::Append(const TimelineEvent& event)
{
    while (m_count > 0 && At(0).ms < event.ms - kMaxAgeMs) DropOldest();
    if (m_count == m_ring.size() && m_ring.size() < kMaxEvents) Grow();
    if (m_count == m_ring.size()) DropOldest();
    m_ring[SlotOf(m_count)] = event;
    ++m_count;
    m_added.fetch_add(1, std::memory_order_relaxed);
}

// In steps up to the ceiling, never past it. The ring is laid out oldest
// first again, so that the new slots follow the newest event.
void TimelineRecord::Grow()
{
    std::rotate(m_ring.begin(), m_ring.begin() + ptrdiff_t(m_first), m_ring.end());
    m_first = 0;
    m_ring.reserve(std::min(kMaxEvents, std::max<size_t>(4096, 2 * m_ring.size())));
    m_ring.resize(m_ring.capacity());
}

size_t TimelineRecord::SlotOf(size_t i) const
{
    const size_t slot = m_first + i;
    return slot >= m_ring.size() ? slot - m_ring.size() : slot;
}

void TimelineRecord::DropOldest()
{
    if (++m_first == m_ring.size()) m_first = 0;
    --m_count;
}

TimelineRecord::Events::Events(const TimelineRecord& record)
    : m_lock(record.m_mutex), m_record(record)
{ }

size_t TimelineRecord::Events::FirstAtOrAfter(int64_t ms) const
{
    size_t low = 0, high = size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (m_record.At(mid).ms < ms)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

std::vector<TimelineEvent> TimelineRecord::Events::Copy() const
{
    std::vector<TimelineEvent> events;
    events.reserve(size());
    for (size_t i = 0; i < size(); ++i) events.push_back(m_record.At(i));
    return events;
}
