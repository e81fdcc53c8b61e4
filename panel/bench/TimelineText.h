#pragma once

#include <QString>

#include <cstdint>

struct TimelineEvent;
namespace chip {
struct FieldInfo;
}

// The Timeline's events in words, for its tooltips.

// "12:03:04.123", local time.
QString ClockText(int64_t ms);
// "12:03:04.123 A5 E9→E4: PWM Frequency 16828 Hz → 9616 Hz", every field
// that changed; a failed write, or one whose register was not known before,
// says so.
QString WriteText(const TimelineEvent& write);
// One flag as a read of the status register found it, or that the read
// failed.
QString FlagReadText(const TimelineEvent& read, const chip::FieldInfo& flag);