#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>
#include <optional>

// What the panel last learned of a register from the chip: the value of its
// last successful read, or of its last write the chip acknowledged, and when.
// A failed access teaches nothing.
struct KnownValue {
    enum class How { Read, Written };
    uint8_t value = 0;
    How how = How::Read;
    qint64 at = 0;  // ms since the epoch: cheap to take at every access
};
using KnownRegisters = std::array<std::optional<KnownValue>, 256>;

// "HH:MM:SS", as every time on the panel is shown.
inline QString ClockText(const QTime& time) { return time.toString(QStringLiteral("HH:mm:ss")); }
inline QString ClockText(qint64 msSinceEpoch)
{
    return ClockText(QDateTime::fromMSecsSinceEpoch(msSinceEpoch).time());
}
