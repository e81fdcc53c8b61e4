#include "TimelinePainter.h"

#include "TimelineLanes.h"

#include <QDateTime>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace {

// What one pixel column of the plot saw.
struct Column {
    uint8_t on = 0;   // status bits set in a read held over the column
    uint8_t off = 0;  // status bits clear in one
    bool gap = false;
    bool write = false;
    bool failedWrite = false;
};

// A lane's look in one column, as bits; equal neighbours are drawn as one.
enum FlagLook : unsigned { kOff = 1, kOn = 2, kGap = 4 };
enum WriteLook : unsigned { kWrite = 1, kFailedWrite = 2 };

class ColumnMap {
public:
    ColumnMap(const TimelineGeometry& geometry, const TimelineRecord::Events& events, int64_t nowMs)
        : m_startMs(geometry.startMs), m_endMs(geometry.endMs),
          m_pixelsPerMs(1.0 / geometry.MsPerPixel()), m_columns(size_t(geometry.plot.width()))
    {
        Fill(events, nowMs);
    }
    int Width() const { return int(m_columns.size()); }
    const Column& operator[](int c) const { return m_columns[size_t(c)]; }

private:
    // How far right of the plot's left edge a time is, in pixels.
    double XIn(int64_t ms) const { return double(ms - m_startMs) * m_pixelsPerMs; }
    // The column of such an x, kept just outside the plot when x is far beyond it.
    int ColumnOf(double x) const { return int(std::clamp(std::floor(x), -1.0, double(Width()))); }

    // From the read in force at the left edge on, each read is held until
    // the next; the last one until the present.
    void Fill(const TimelineRecord::Events& events, int64_t nowMs)
    {
        size_t i = events.FirstAtOrAfter(m_startMs);
        for (size_t back = i; back > 0; --back)
            if (events[back - 1].IsStatus()) {
                i = back - 1;
                break;
            }
        const TimelineEvent* held = nullptr;
        for (; i < events.size() && events[i].ms <= m_endMs; ++i) {
            const TimelineEvent& event = events[i];
            if (event.IsStatus()) {
                if (held) Hold(*held, event.ms);
                held = &event;
            } else if (event.ms >= m_startMs) {
                Column* column = At(ColumnOf(XIn(event.ms)));
                if (!column) continue;
                if (event.kind == TimelineEvent::Kind::Write)
                    column->write = true;
                else
                    column->failedWrite = true;
            }
        }
        if (!held) return;
        while (i < events.size() && !events[i].IsStatus()) ++i;
        Hold(*held, i < events.size() ? events[i].ms : std::max(nowMs, held->ms));
    }

    void Hold(const TimelineEvent& read, int64_t untilMs)
    {
        const int from = ColumnOf(XIn(read.ms));
        const int to = std::max(from, ColumnOf(std::ceil(XIn(untilMs))) - 1);
        for (int c = std::max(from, 0); c <= std::min(to, Width() - 1); ++c) {
            Column& column = m_columns[size_t(c)];
            if (read.kind == TimelineEvent::Kind::FailedStatusRead) {
                column.gap = true;
            } else {
                column.on |= read.value;
                column.off |= uint8_t(~read.value);
            }
        }
    }

    Column* At(int c) { return c >= 0 && c < Width() ? &m_columns[size_t(c)] : nullptr; }

    const int64_t m_startMs;
    const int64_t m_endMs;
    const double m_pixelsPerMs;
    std::vector<Column> m_columns;
};

// Calls draw(firstColumn, count, look) for each run of equal looks but none.
template <class LookOf, class Draw>
void ForEachRun(const ColumnMap& columns, LookOf lookOf, Draw draw)
{
    int start = 0;
    unsigned look = columns.Width() > 0 ? lookOf(columns[0]) : 0;
    for (int c = 1; c <= columns.Width(); ++c) {
        const unsigned next = c < columns.Width() ? lookOf(columns[c]) : ~0u;
        if (next == look) continue;
        if (look != 0) draw(start, c - start, look);
        start = c;
        look = next;
    }
}

void PaintFlagLane(QPainter& painter, const QRect& lane, const chip::FieldInfo& flag,
                   const ColumnMap& columns, const TimelineColours& colours)
{
    const QRect inner = lane.adjusted(0, 3, 0, -3);
    const QBrush gapBrush(colours.gap, Qt::BDiagPattern);
    QColor tint = colours.failure;
    tint.setAlpha(70);
    const bool setIsFault = ShowsFault(flag, true);
    const bool clearIsFault = ShowsFault(flag, false);
    const auto lookOf = [&flag](const Column& c) {
        return (chip::FieldValue(flag, c.off) ? kOff : 0u) |
            (chip::FieldValue(flag, c.on) ? kOn : 0u) | (c.gap ? kGap : 0u);
    };
    ForEachRun(columns, lookOf, [&](int first, int count, unsigned look) {
        const QRect run(inner.left() + first, inner.top(), count, inner.height());
        if (look & kGap) painter.fillRect(run, gapBrush);
        const bool on = look & kOn, off = look & kOff;
        // Set and clear within one column: one of the two is the fault.
        if (on)
            painter.fillRect(run, off || setIsFault ? colours.failure : colours.level);
        else if (off && clearIsFault)
            painter.fillRect(run, tint);
        if (off && !on)
            painter.fillRect(run.left(), run.bottom() - 1, run.width(), 2,
                             clearIsFault ? colours.failure : colours.level);
    });
}

void PaintWriteLane(QPainter& painter, const QRect& lane, const ColumnMap& columns,
                    const TimelineColours& colours)
{
    const QRect inner = lane.adjusted(0, 3, 0, -3);
    const auto lookOf = [](const Column& c) {
        return (c.write ? kWrite : 0u) | (c.failedWrite ? kFailedWrite : 0u);
    };
    ForEachRun(columns, lookOf, [&](int first, int count, unsigned look) {
        // Ticks two pixels wide, so that a lone one is seen.
        const int width = std::min(count + 1, inner.right() - (inner.left() + first) + 1);
        painter.fillRect(inner.left() + first, inner.top(), width, inner.height(),
                         look & kFailedWrite ? colours.failure : colours.level);
    });
}

// Steps between the axis's labelled times, the smallest first.
constexpr int64_t kAxisStepsMs[] = {
    1,         2,         5,          10,         20,         50,         100,
    200,       500,       1'000,      2'000,      5'000,      10'000,     15'000,
    30'000,    60'000,    120'000,    300'000,    600'000,    900'000,    1'800'000,
    3'600'000, 7'200'000, 10'800'000, 21'600'000, 43'200'000, 86'400'000,
};

void PaintAxis(QPainter& painter, const TimelineGeometry& g, const TimelineColours& colours)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int labelRoom = metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + 16;
    int64_t step = kAxisStepsMs[std::size(kAxisStepsMs) - 1];
    for (const int64_t candidate : kAxisStepsMs)
        if (double(candidate) / g.MsPerPixel() >= labelRoom) {
            step = candidate;
            break;
        }
    const QString format = step < 1'000 ? QStringLiteral("HH:mm:ss.zzz")
        : step < 60'000                 ? QStringLiteral("HH:mm:ss")
        : step < 3'600'000              ? QStringLiteral("HH:mm")
                                        : QStringLiteral("ddd HH:mm");
    // On the local clock's round times.
    const int64_t offset =
        int64_t(QDateTime::fromMSecsSinceEpoch(g.startMs).offsetFromUtc()) * 1'000;
    const int64_t local = g.startMs + offset;
    int64_t tick = (local / step + (local % step > 0 ? 1 : 0)) * step - offset;
    const int labelTop = g.plot.bottom() + 4;
    for (; tick <= g.endMs; tick += step) {
        const int x = int(std::lround(g.XOf(tick)));
        painter.setPen(colours.grid);
        painter.drawLine(x, g.plot.top(), x, g.plot.bottom() + 3);
        painter.setPen(colours.text);
        const QString label = QDateTime::fromMSecsSinceEpoch(tick).toString(format);
        const int width = metrics.horizontalAdvance(label);
        painter.drawText(QRect(x - width / 2, labelTop, width, metrics.height()), Qt::AlignCenter,
                         label);
    }
}

}  // namespace

void PaintTimeline(QPainter& painter, const TimelineGeometry& g,
                   const TimelineRecord::Events& events, int64_t nowMs,
                   const QStringList& laneNames, const TimelineColours& colours)
{
    painter.fillRect(g.plot, colours.background);
    PaintAxis(painter, g, colours);

    const ColumnMap columns(g, events, nowMs);
    const std::span<const chip::FieldInfo> flags = StatusFlags();
    for (size_t lane = 0; lane < flags.size(); ++lane)
        PaintFlagLane(painter, g.LaneRect(int(lane)), flags[lane], columns, colours);
    PaintWriteLane(painter, g.LaneRect(int(flags.size())), columns, colours);

    if (nowMs >= g.startMs && nowMs <= g.endMs) {
        painter.setPen(colours.now);
        const int x = std::min(int(std::lround(g.XOf(nowMs))), g.plot.right());
        painter.drawLine(x, g.plot.top(), x, g.plot.bottom());
    }
    for (int lane = 0; lane < g.lanes; ++lane) {
        const QRect rect = g.LaneRect(lane);
        painter.setPen(colours.grid);
        painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
        painter.setPen(colours.text);
        painter.drawText(QRect(0, rect.top(), g.plot.left() - 6, rect.height()),
                         Qt::AlignRight | Qt::AlignVCenter, laneNames.value(lane));
    }
    painter.setPen(colours.grid);
    painter.drawRect(g.plot.adjusted(0, 0, -1, -1));
    if (events.empty()) {
        painter.setPen(colours.text);
        painter.drawText(g.plot, Qt::AlignCenter, QStringLiteral("Nothing recorded yet"));
    }
}
