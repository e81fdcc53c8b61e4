#include "FieldEditor.h"

#include "RegisterTree.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// Set on an editor once the user changed its value or pressed Enter in it.
constexpr const char* kChosenProperty = "zr5130Chosen";

void MarkChosen(QWidget* editor) { editor->setProperty(kChosenProperty, true); }

// An entry chosen as it is listed goes by its number: a name that stands
// for several values is listed with the value it is.
QString ChosenText(const QComboBox& list)
{
    const int entry = list.currentIndex();
    if (entry >= 0 && list.currentText() == list.itemText(entry)) return QString::number(entry);
    return list.currentText();
}

}  // namespace

QWidget* CFieldEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const
{
    const QStringList choices = index.data(CRegisterTree::kChoicesRole).toStringList();
    QWidget* editor = nullptr;
    if (!choices.isEmpty()) {
        auto* list = new QComboBox(parent);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);  // inline completion would change what is typed
        list->addItems(choices);
        editor = list;
    } else {
        auto* number = new QLineEdit(parent);
        number->setPlaceholderText(
            QStringLiteral("0-%1").arg(index.data(CRegisterTree::kMaxRole).toUInt()));
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
        connect(list->lineEdit(), &QLineEdit::textEdited, list, [list] { MarkChosen(list); });
    } else if (auto* number = qobject_cast<QLineEdit*>(editor)) {
        number->setText(QString::number(value));
        connect(number, &QLineEdit::textEdited, number, [number] { MarkChosen(number); });
    }
}

void CFieldEditor::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const
{
    if (!editor->property(kChosenProperty).toBool()) return;
    if (auto* list = qobject_cast<QComboBox*>(editor))
        model->setData(index, ChosenText(*list), Qt::EditRole);
    else if (auto* number = qobject_cast<QLineEdit*>(editor))
        model->setData(index, number->text(), Qt::EditRole);
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
