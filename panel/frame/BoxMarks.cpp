#include "BoxMarks.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* kMarkProperty = "zr5130Mark";
constexpr const char* kOwnColourProperty = "zr5130OwnColour";
constexpr const char* kOwnTipProperty = "zr5130OwnTip";
constexpr const char* kLeadLineProperty = "zr5130LeadLine";
constexpr const char* kOwnDescriptionProperty = "zr5130OwnDescription";

// An edit, and a list's field, show their text on Base. Anything else shows
// its parent through, unless it fills its own background, in its own
// background role: Button for a check box.
QPalette::ColorRole Role(const QWidget* box)
{
    return qobject_cast<const QLineEdit*>(box) || qobject_cast<const QComboBox*>(box)
        ? QPalette::Base
        : box->backgroundRole();
}

bool FillsOwnBackground(const QWidget* box) { return Role(box) != QPalette::Base; }

void SetBackground(QWidget* box, const QColor& colour)
{
    QPalette palette = box->palette();
    palette.setColor(Role(box), colour);
    box->setPalette(palette);
}

}  // namespace

void MarkBox(QWidget* box, const QString& mark, const QColor& colour, const QString& tip)
{
    if (BoxMark(box).isEmpty()) {
        box->setProperty(kOwnColourProperty, box->palette().color(Role(box)));
        box->setProperty(kOwnTipProperty, box->toolTip());
    }
    box->setProperty(kMarkProperty, mark);
    if (FillsOwnBackground(box)) box->setAutoFillBackground(true);
    SetBackground(box, colour);
    if (tip.isEmpty()) return;
    const QString ownTip = box->property(kOwnTipProperty).toString();
    box->setToolTip(ownTip.isEmpty() ? tip : ownTip + QLatin1Char('\n') + tip);
}

void UnmarkBox(QWidget* box, const QString& mark)
{
    if (BoxMark(box) != mark) return;
    SetBackground(box, box->property(kOwnColourProperty).value<QColor>());
    if (FillsOwnBackground(box)) box->setAutoFillBackground(false);
    box->setToolTip(box->property(kOwnTipProperty).toString());
    box->setProperty(kMarkProperty, QVariant());
}

QString BoxMark(const QWidget* box)
{
    return box->property(kMarkProperty).toString();
}

void SetLeadLine(QWidget* control, const QString& line)
{
    if (LeadLine(control) == line) return;
    if (!control->property(kOwnDescriptionProperty).isValid())
        control->setProperty(kOwnDescriptionProperty, control->accessibleDescription());
    const QString own = control->property(kOwnDescriptionProperty).toString();
    control->setProperty(kLeadLineProperty, line);
    control->setAccessibleDescription(line.isEmpty() || own.isEmpty()
                                          ? line + own
                                          : line + QLatin1Char('\n') + own);
}

QString LeadLine(const QWidget* control)
{
    return control->property(kLeadLineProperty).toString();
}
