#pragma once

#include <QColor>
#include <QString>

class QWidget;

// A coloured background that sets a box or a check box apart, and a line
// added to its tooltip unless tip is empty. Each mark has a name; clearing a
// mark by its name gives the box back its own colour and tooltip.
void MarkBox(QWidget* box, const QString& mark, const QColor& colour, const QString& tip);
void UnmarkBox(QWidget* box, const QString& mark);
// The name of the box's mark; empty when it has none.
QString BoxMark(const QWidget* box);

// A soft yellow that reads as "look here" on light and dark themes alike: a
// register whose value changed since it was last shown.
inline const QString kChangedMark = QStringLiteral("changed");
inline const QColor kChangedColour{255, 226, 128};
inline const QString kDiffersMark = QStringLiteral("differs");
inline const QColor kDiffersColour{0xD8, 0xC0, 0xF0};  // violet: differs from a file
inline const QString kTurnedOnMark = QStringLiteral("turned-on");
inline const QColor kTurnedOnColour{0xFF, 0x9E, 0x80};  // red-orange: a flag came on
inline const QString kChipDiffersMark = QStringLiteral("chip-differs");
inline const QColor kChipDiffersColour{0xA8, 0xD4, 0xFF};  // light blue: the chip holds otherwise

// A line told first in a control's tooltip and accessible description, for
// a state the control does not show by itself; an empty line takes it away
// and gives the control its own description back. The tooltips put it first
// when they are built.
void SetLeadLine(QWidget* control, const QString& line);
QString LeadLine(const QWidget* control);
