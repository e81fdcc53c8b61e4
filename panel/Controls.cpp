#include "Controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

CDropDownList::CDropDownList(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // inline completion would swallow the first Enter
    setCurrentIndex(-1);
    // Qt picks the entry matching the typed text when the field loses focus
    // or gets Enter; here only a choice from the list selects an entry.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_typed = true; });
    // Runs before any connection made by the panel, so a chosen entry counts
    // as selected when the panel's action asks.
    connect(this, &QComboBox::activated, this, [this] { m_typed = false; });
    installEventFilter(this);
    lineEdit()->installEventFilter(this);
}

int CDropDownList::GetCurSel() const
{
    return m_typed ? -1 : currentIndex();
}

void CDropDownList::SetCurSel(int index)
{
    m_typed = false;
    const int target = index >= 0 && index < count() ? index : -1;
    if (target == currentIndex() && (target < 0 || lineEdit()->text() == itemText(target)))
        return;
    setCurrentIndex(-1);  // re-selecting the same entry must restore its text
    setCurrentIndex(target);
}

bool CDropDownList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit enterPressed();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

CTrackSlider::CTrackSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(QSlider::NoTicks);
}

void CTrackSlider::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit released();
}
