#pragma once

#include <QPoint>
#include <QRect>

#include <cmath>
#include <cstdint>

// Where the Timeline draws what: lanes of equal height, one under the other,
// in the plot, whose left edge is startMs and right edge endMs.
struct TimelineGeometry {
    QRect plot;
    int lanes = 1;
    int64_t startMs = 0;
    int64_t endMs = 1;

    double MsPerPixel() const { return double(endMs - startMs) / plot.width(); }
    double XOf(int64_t ms) const { return plot.left() + double(ms - startMs) / MsPerPixel(); }
    int64_t TimeAt(double x) const
    {
        return startMs + int64_t(std::floor((x - plot.left()) * MsPerPixel()));
    }
    QRect LaneRect(int lane) const
    {
        const int height = plot.height() / lanes;
        return {plot.left(), plot.top() + lane * height, plot.width(), height};
    }
    // -1 outside every lane.
    int LaneAt(QPoint pos) const
    {
        if (!plot.contains(pos)) return -1;
        const int lane = (pos.y() - plot.top()) / (plot.height() / lanes);
        return lane < lanes ? lane : -1;
    }
};
