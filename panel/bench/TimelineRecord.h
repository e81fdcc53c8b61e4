#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

// One thing the Timeline shows: a read of the status register (a value, or
// none: a gap), or a register write the panel made.
struct TimelineEvent {
    enum class Kind : uint8_t { StatusRead, FailedStatusRead, Write, FailedWrite };

    int64_t ms;  // wall clock, milliseconds since the epoch
    Kind kind;
    uint8_t reg;
    uint8_t value;                  // read or written; 0 for a failed read
    std::optional<uint8_t> before;  // a write's register as known before it; nothing: not known

    bool IsStatus() const { return kind == Kind::StatusRead || kind == Kind::FailedStatusRead; }
    bool IsWrite() const { return !IsStatus(); }
};
static_assert(sizeof(TimelineEvent) == 16, "the record's ceiling is counted in 16-byte events");

// The Timeline's events in time order, in bounded memory: the newest
// kMaxEvents, and none older than kMaxAgeMs before the newest. The events sit
// in one ring of at most kMaxEvents slots (16 MB), grown as it fills, so a
// session that records little costs little. Every register access of the
// panel goes through Add..., from whichever thread makes it; readers hold
// the record through Events while they look.
class TimelineRecord {
public:
    static constexpr size_t kMaxEvents = 1'000'000;
    static constexpr int64_t kMaxAgeMs = 24 * 60 * 60 * 1000;
    using Time = std::chrono::system_clock::time_point;

    // A read of any register keeps what the record knows of it (nothing, when
    // the read failed); a read of the status register is also an event.
    void AddRead(Time when, uint8_t reg, std::optional<uint8_t> value);
    // A write is an event; a failed one leaves the register's value unknown.
    void AddWrite(Time when, uint8_t reg, uint8_t value, bool ok);

    // Events added since the record began, dropped ones included: a reader
    // that saw this count before has nothing new to look at.
    uint64_t AddedCount() const { return m_added.load(std::memory_order_relaxed); }
    // Slots allocated for events; never more than kMaxEvents.
    size_t Capacity() const;

    // The events, held still for as long as this lives: 0 is the oldest.
    // Meanwhile every Add... waits, on this thread for good: look, then let go.
    class Events {
    public:
        size_t size() const { return m_record.m_count; }
        bool empty() const { return m_record.m_count == 0; }
        const TimelineEvent& operator[](size_t i) const { return m_record.At(i); }
        // The first event at or after ms; size() when there is none.
        size_t FirstAtOrAfter(int64_t ms) const;
        std::vector<TimelineEvent> Copy() const;

    private:
        friend class TimelineRecord;
        explicit Events(const TimelineRecord& record);
        std::unique_lock<std::mutex> m_lock;
        const TimelineRecord& m_record;
    };
    Events Read() const { return Events(*this); }

private:
    // The slot of the i-th oldest event; i may be m_count while a slot is free.
    size_t SlotOf(size_t i) const;
    const TimelineEvent& At(size_t i) const { return m_ring[SlotOf(i)]; }
    void Append(const TimelineEvent& event);
    void Grow();
    void DropOldest();
    // A wall clock set back keeps the time of the newest event until it
    // passes it again, so the events stay in time order.
    int64_t OrderedMs(Time when) const;

    mutable std::mutex m_mutex;
    std::vector<TimelineEvent> m_ring;
    size_t m_first = 0;  // the oldest event's slot
    size_t m_count = 0;
    std::array<std::optional<uint8_t>, 256> m_known{};
    std::atomic<uint64_t> m_added{0};
};
