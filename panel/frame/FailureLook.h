#pragma once

#include <QColor>

#include <optional>

class QPainter;
class QRect;
class QWidget;

// How the panel shows that something failed: text in the failure colour, a
// dark red that reads on the light window as plainly as the ticks do, and
// where there is room the failure sign beside it. Never the only sign: the
// words say it too.
inline const QColor kFailureColour{0xC0, 0x1C, 0x1C};

// Draws w's text in colour; nothing gives it its own colour back.
void SetTextColour(QWidget& w, const std::optional<QColor>& colour);
// The failure sign, a round mark with "!", filling the square within rect.
void PaintFailureSign(QPainter& painter, const QRect& rect);
