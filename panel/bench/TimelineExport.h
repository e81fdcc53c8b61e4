#pragma once

#include "TimelineRecord.h"

#include <QString>

#include <functional>
#include <span>

class QIODevice;

// The Timeline's events as CSV, oldest first: a header line, then one row
// per event, in the columns chip::TimelineCsv writes (zr5130ctl watch --csv
// writes the same). False when the device would not take it all.
bool WriteTimelineCsv(std::span<const TimelineEvent> events, QIODevice& out);

// Saves what write writes to path, whole or not at all: written beside the
// old file and renamed over it only when complete. A path taken by something
// other than a file (a device node, a folder) is refused and left as it is.
// False and why when nothing was saved.
bool SaveWhole(const QString& path, const std::function<bool(QIODevice&)>& write, QString& why);
