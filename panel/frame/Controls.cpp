#include "Controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>

CDropDownList::CDropDownList(QWidget* parent) : QComboBox(parent)
{
    InstallListAccessible();
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // inline completion would swallow the first Enter
    setCurrentIndex(-1);
    // Qt picks the entry matching the typed text when the field loses focus
    // or gets Enter; here only a choice from the list selects an entry.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &CDropDownList::DropSelectionKeepingText);
    installEventFilter(this);
    lineEdit()->installEventFilter(this);
}

int CDropDownList::GetCurSel() const { return currentIndex(); }

void CDropDownList::SetCurSel(int index)
{
    const int target = index >= 0 && index < count() ? index : -1;
    const QString targetText = target < 0 ? QString() : itemText(target);
    if (target == currentIndex() && lineEdit()->text() == targetText) return;
    setCurrentIndex(-1);  // re-selecting the same entry must restore its text
    setCurrentIndex(target);
}

void CDropDownList::DropSelectionKeepingText(const QString& text)
{
    if (currentIndex() < 0) return;
    QLineEdit* field = lineEdit();
    const int cursor = field->cursorPosition();
    const QSignalBlocker quiet(this);
    setCurrentIndex(-1);  // also empties the field
    setEditText(text);
    field->setCursorPosition(cursor);
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
