#include "FailureLook.h"

#include <QPainter>
#include <QPalette>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {
constexpr const char* kOwnTextColourProperty = "zr5130OwnTextColour";
}  // namespace

void SetTextColour(QWidget& w, const std::optional<QColor>& colour)
{
    QVariant own = w.property(kOwnTextColourProperty);
    if (!own.isValid()) {
        if (!colour) return;
        own = w.palette().color(QPalette::WindowText);
        w.setProperty(kOwnTextColourProperty, own);
    }
    const QColor wanted = colour ? *colour : own.value<QColor>();
    if (w.palette().color(QPalette::WindowText) == wanted) return;
    QPalette palette = w.palette();
    palette.setColor(QPalette::WindowText, wanted);
    w.setPalette(palette);
}

void PaintFailureSign(QPainter& painter, const QRect& rect)
{
    const int size = std::min(rect.width(), rect.height());
    const QRectF disc(rect.x(), rect.y() + (rect.height() - size) / 2.0, size, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kFailureColour);
    painter.drawEllipse(disc);
    // The "!": a bar above a dot, in the window's light colour.
    painter.setBrush(Qt::white);
    const double unit = size / 12.0;
    const double middle = disc.center().x();
    painter.drawRoundedRect(QRectF(middle - 1.0 * unit, disc.y() + 2.5 * unit, 2.0 * unit, 4.5 * unit),
                            unit * 0.8, unit * 0.8);
    painter.drawEllipse(QPointF(middle, disc.y() + 8.8 * unit), 1.1 * unit, 1.1 * unit);
    painter.restore();
}
