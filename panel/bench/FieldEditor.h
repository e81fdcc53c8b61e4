#pragma once

#include <QStyledItemDelegate>

// Edits a field's value in place: a list of its value names, which also
// takes a name or number typed into it, or a field for a number. What was
// chosen or typed goes to the model whole, as text, on Enter, or when the
// cell is left after it was changed; Escape, or leaving a value as it was,
// hands on nothing. The model's reader takes or refuses it.
class CFieldEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;
};
