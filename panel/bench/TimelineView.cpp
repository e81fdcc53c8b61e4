#include "TimelineView.h"

#include "TimelineLanes.h"
#include "TimelinePainter.h"
#include "TimelineRecord.h"
#include "TimelineText.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPad = 6;
constexpr int kHitPixels = 3;       // how far from a tick the mouse may rest
constexpr int kMaxTipWrites = 10;   // writes a tooltip lists, the rest counted
constexpr double kWheelZoom = 0.8;  // the span after one wheel step up
constexpr int kFastestRefreshMs = 40;
constexpr int kSlowestRefreshMs = 1000;

int64_t ClampSpan(double spanMs)
{
    return std::clamp<int64_t>(std::llround(spanMs), CTimelineView::kMinSpanMs,
                               CTimelineView::kMaxSpanMs);
}

}  // namespace

CTimelineView::CTimelineView(const TimelineRecord& record, QWidget* parent)
    : QWidget(parent), m_record(record), m_now(&QDateTime::currentMSecsSinceEpoch)
{
    for (const chip::FieldInfo& flag : StatusFlags()) m_laneNames << QString::fromUtf8(flag.name);
    m_laneNames << QStringLiteral("Writes");
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Timeline"));
    setAccessibleDescription(QStringLiteral(
        "The status flags of register 02 as read, one lane each, and the register writes, over "
        "time. Left and Right pan, + and - zoom, Home returns to the present and follows it"));
    connect(&m_refresh, &QTimer::timeout, this, &CTimelineView::Refresh);
}

void CTimelineView::SetFailureColour(const QColor& colour)
{
    m_failure = colour;
    update();
}

void CTimelineView::SetClock(std::function<int64_t()> now)
{
    m_now = std::move(now);
    update();
}

void CTimelineView::ShowRange(int64_t fromMs, int64_t toMs)
{
    m_spanMs = ClampSpan(double(toMs - fromMs));
    m_endMs = fromMs + m_spanMs;
    m_following = false;
    update();
}

void CTimelineView::FollowNow()
{
    m_following = true;
    update();
}

int64_t CTimelineView::EndMs() const { return m_following ? m_now() : m_endMs; }

int CTimelineView::WriteLane() const { return int(m_laneNames.size()) - 1; }

TimelineGeometry CTimelineView::Geometry() const
{
    const QFontMetrics metrics(font());
    int labelWidth = 0;
    for (const QString& name : m_laneNames)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(name));
    labelWidth += 2 * kPad;
    const int lanes = int(m_laneNames.size());
    const int axisHeight = metrics.height() + 2 * kPad;
    const int laneHeight = std::max(metrics.height() + 4, (height() - axisHeight - kPad) / lanes);
    TimelineGeometry g;
    g.plot = QRect(labelWidth, kPad, std::max(1, width() - labelWidth - kPad), laneHeight * lanes);
    g.lanes = lanes;
    g.endMs = EndMs();
    g.startMs = g.endMs - m_spanMs;
    return g;
}

QSize CTimelineView::sizeHint() const
{
    const int lineHeight = fontMetrics().height();
    return {900, int(m_laneNames.size()) * (lineHeight + 12) + lineHeight + 3 * kPad};
}

QSize CTimelineView::minimumSizeHint() const
{
    const int lineHeight = fontMetrics().height();
    return {300, int(m_laneNames.size()) * (lineHeight + 4) + lineHeight + 3 * kPad};
}

void CTimelineView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QPalette& p = palette();
    const TimelineColours colours{p.color(QPalette::Highlight), m_failure,
                                  p.color(QPalette::Mid),       p.color(QPalette::WindowText),
                                  p.color(QPalette::Midlight),  p.color(QPalette::Dark),
                                  p.color(QPalette::Base)};
    const TimelineGeometry g = Geometry();
    m_paintedCount = m_record.AddedCount();
    PaintTimeline(painter, g, m_record.Read(), m_now(), m_laneNames, colours);
    if (hasFocus()) {
        painter.setPen(p.color(QPalette::Highlight));
        painter.drawRect(g.plot.adjusted(-1, -1, 0, 0));
    }
}

// New events are looked for about once a pixel's time, and the present
// moves on while followed.
void CTimelineView::Refresh()
{
    const double msPerPixel = Geometry().MsPerPixel();
    m_refresh.setInterval(
        int(std::clamp(msPerPixel, double(kFastestRefreshMs), double(kSlowestRefreshMs))));
    if (m_following || m_record.AddedCount() != m_paintedCount) update();
}

void CTimelineView::showEvent(QShowEvent* event)
{
    m_refresh.start(kFastestRefreshMs);
    QWidget::showEvent(event);
}

void CTimelineView::hideEvent(QHideEvent* event)
{
    m_refresh.stop();
    QWidget::hideEvent(event);
}

void CTimelineView::ZoomAround(double x, double factor)
{
    const TimelineGeometry g = Geometry();
    const double anchorMs = double(g.startMs) + (x - g.plot.left()) * g.MsPerPixel();
    const int64_t span = ClampSpan(double(m_spanMs) * factor);
    const double startMs =
        anchorMs - (anchorMs - double(g.startMs)) * double(span) / double(m_spanMs);
    m_endMs = std::llround(startMs) + span;
    m_spanMs = span;
    m_following = false;
    update();
}

void CTimelineView::PanBy(double pixels)
{
    m_endMs = EndMs() + std::llround(pixels * Geometry().MsPerPixel());
    m_following = false;
    update();
}

void CTimelineView::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0) return QWidget::wheelEvent(event);
    ZoomAround(event->position().x(), std::pow(kWheelZoom, steps));
    event->accept();
}

void CTimelineView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    m_dragging = true;
    m_dragX = event->position().x();
    m_dragEndMs = EndMs();
    setCursor(Qt::ClosedHandCursor);
}

void CTimelineView::mouseMoveEvent(QMouseEvent* event)
{
    const double moved = event->position().x() - m_dragX;
    if (!m_dragging || moved == 0) return QWidget::mouseMoveEvent(event);
    m_endMs = m_dragEndMs - std::llround(moved * Geometry().MsPerPixel());
    m_following = false;
    update();
}

void CTimelineView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    unsetCursor();
}

// Zooming by keys keeps a followed present at the right edge.
void CTimelineView::keyPressEvent(QKeyEvent* event)
{
    const double eighth = Geometry().plot.width() / 8.0;
    const auto zoom = [this](double factor) {
        if (!m_following) return ZoomAround(Geometry().plot.center().x(), factor);
        m_spanMs = ClampSpan(double(m_spanMs) * factor);
        update();
    };
    switch (event->key()) {
    case Qt::Key_Home: FollowNow(); break;
    case Qt::Key_Left: PanBy(-eighth); break;
    case Qt::Key_Right: PanBy(eighth); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoom(0.5); break;
    case Qt::Key_Minus: zoom(2.0); break;
    default: return QWidget::keyPressEvent(event);
    }
    event->accept();
}

bool CTimelineView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = ToolTipAt(help->pos());
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

QString CTimelineView::ToolTipAt(QPoint pos) const
{
    const TimelineGeometry g = Geometry();
    const int lane = g.LaneAt(pos);
    if (lane < 0) return {};
    return lane == WriteLane() ? WritesNear(g, pos.x()) : FlagNear(g, lane, pos.x());
}

QString CTimelineView::WritesNear(const TimelineGeometry& g, int x) const
{
    const int64_t toMs = g.TimeAt(x + kHitPixels + 1);
    const TimelineRecord::Events events = m_record.Read();
    QStringList lines;
    int more = 0;
    for (size_t i = events.FirstAtOrAfter(g.TimeAt(x - kHitPixels));
         i < events.size() && events[i].ms < toMs; ++i) {
        if (!events[i].IsWrite()) continue;
        if (lines.size() < kMaxTipWrites)
            lines << WriteText(events[i]);
        else
            ++more;
    }
    if (more > 0) lines << QStringLiteral("and %1 more").arg(more);
    return lines.join(QLatin1Char('\n'));
}

// The read held at x; where reads crowd into a few pixels, the one that
// failed or shows the flag's fault, which the lane draws over the others.
QString CTimelineView::FlagNear(const TimelineGeometry& g, int lane, int x) const
{
    const chip::FieldInfo& flag = StatusFlags()[size_t(lane)];
    const int64_t pixelEndMs = g.TimeAt(x + 1);
    if (g.TimeAt(x) > m_now()) return {};
    const TimelineRecord::Events events = m_record.Read();
    const auto telling = [&flag](const TimelineEvent& e) {
        return e.kind == TimelineEvent::Kind::FailedStatusRead ||
            ShowsFault(flag, chip::FieldValue(flag, e.value) != 0);
    };
    const int64_t toMs = g.TimeAt(x + kHitPixels + 1);
    for (size_t i = events.FirstAtOrAfter(g.TimeAt(x - kHitPixels));
         i < events.size() && events[i].ms < toMs; ++i)
        if (events[i].IsStatus() && telling(events[i])) return FlagReadText(events[i], flag);
    for (size_t i = events.FirstAtOrAfter(pixelEndMs); i > 0; --i)
        if (events[i - 1].IsStatus()) return FlagReadText(events[i - 1], flag);
    return {};
}
