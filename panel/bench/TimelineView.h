#pragma once

#include "TimelineGeometry.h"

#include <QColor>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

class TimelineRecord;

// The Timeline drawn: one lane per status flag, then one of the writes, on
// one time axis. While the user has not moved it, the view follows the
// present at its right edge. The wheel zooms around the pointer, a drag
// pans, Home returns to the present and follows it again; arrows pan, + and -
// zoom. Resting the mouse on a lane tells what happened there.
class CTimelineView : public QWidget {
    Q_OBJECT
public:
    static constexpr int64_t kMinSpanMs = 100;
    static constexpr int64_t kMaxSpanMs = 2 * 24 * 60 * 60 * 1000;
    static constexpr int64_t kStartSpanMs = 60'000;

    explicit CTimelineView(const TimelineRecord& record, QWidget* parent = nullptr);

    // A set fault flag, a cleared OK flag and a failed write are drawn in it.
    void SetFailureColour(const QColor& colour);
    QColor FailureColour() const { return m_failure; }
    // Where the present comes from: the wall clock unless told otherwise.
    void SetClock(std::function<int64_t()> now);

    // Shows fromMs to toMs and stops following the present.
    void ShowRange(int64_t fromMs, int64_t toMs);
    void FollowNow();
    bool IsFollowing() const { return m_following; }

    TimelineGeometry Geometry() const;
    int WriteLane() const;
    // What the tooltip says at pos; empty where nothing is told.
    QString ToolTipAt(QPoint pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int64_t EndMs() const;
    // The span scaled by factor, the time at x staying where it is.
    void ZoomAround(double x, double factor);
    void PanBy(double pixels);
    void Refresh();
    QString WritesNear(const TimelineGeometry& g, int x) const;
    QString FlagNear(const TimelineGeometry& g, int lane, int x) const;

    const TimelineRecord& m_record;
    QStringList m_laneNames;
    QColor m_failure{0xD0, 0x20, 0x20};
    std::function<int64_t()> m_now;
    bool m_following = true;
    int64_t m_endMs = 0;  // while not following
    int64_t m_spanMs = kStartSpanMs;
    QTimer m_refresh;
    uint64_t m_paintedCount = 0;  // the record's count at the last paint
    bool m_dragging = false;
    double m_dragX = 0;
    int64_t m_dragEndMs = 0;
};
