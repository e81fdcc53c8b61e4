#include "FieldEditor.h"

#include "RegisterTree.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSpinBox>

namespace {

// Set on an editor once the user changed its value or pressed Enter in it.
constexpr const char* kChosenProperty = "zr5130Chosen";

void MarkChosen(QWidget* editor) { editor->setProperty(kChosenProperty, true); }

}  // namespace

QWidget* CFieldEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const
{
    const QStringList choices = index.data(CRegisterTree::kChoicesRole).toStringList();
    QWidget* editor = nullptr;
    if (!choices.isEmpty()) {
        auto* list = new QComboBox(parent);
        list->addItems(choices);
        editor = list;
    } else {
        auto* number = new QSpinBox(parent);
        number->setRange(0, index.data(CRegisterTree::kMaxRole).toInt());
        editor = number;
    }
    editor->setAccessibleName(index.siblingAtColumn(CRegisterTree::kName).data().toString());
    editor->setAccessibleDescription(
        QStringLiteral("Enter writes the value, Escape leaves the chip as it is"));
    return editor;
}

// A field whose register was not read starts from 0 (or the first name).
void CFieldEditor::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const int value = index.data(Qt::EditRole).toInt();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        list->setCurrentIndex(value);
        connect(list, &QComboBox::currentIndexChanged, list, [list] { MarkChosen(list); });
    } else if (auto* number = qobject_cast<QSpinBox*>(editor)) {
        number->setValue(value);
        connect(number, &QSpinBox::valueChanged, number, [number] { MarkChosen(number); });
    }
}

void CFieldEditor::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const
{
    if (auto* number = qobject_cast<QSpinBox*>(editor)) number->interpretText();
    if (!editor->property(kChosenProperty).toBool()) return;
    if (auto* list = qobject_cast<QComboBox*>(editor))
        model->setData(index, unsigned(list->currentIndex()), Qt::EditRole);
    else if (auto* number = qobject_cast<QSpinBox*>(editor))
        model->setData(index, unsigned(number->value()), Qt::EditRole);
}

bool CFieldEditor::eventFilter(QObject* editor, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            MarkChosen(static_cast<QWidget*>(editor));
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}
