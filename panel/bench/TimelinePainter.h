#pragma once

#include "TimelineGeometry.h"
#include "TimelineRecord.h"

#include <QColor>
#include <QStringList>

class QPainter;

struct TimelineColours {
    QColor level;    // a flag's healthy level, a write
    QColor failure;  // a fault flag set, an OK flag cleared, a failed write
    QColor gap;      // a failed read
    QColor text;
    QColor grid;
    QColor now;
    QColor background;
};

// Draws the Timeline: lane names, the flags' levels from read to read, the
// write ticks, the time axis and the present. Only the visible time is
// looked at, found by binary search, and everything that falls in one pixel
// column is drawn once: a column where a flag was both set and clear is
// drawn as its fault.
void PaintTimeline(QPainter& painter, const TimelineGeometry& geometry,
                   const TimelineRecord::Events& events, int64_t nowMs,
                   const QStringList& laneNames, const TimelineColours& colours);
