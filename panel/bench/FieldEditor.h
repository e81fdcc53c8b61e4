#pragma once

#include <QStyledItemDelegate>

// Edits a field's value in place: a list of its value names, or a number
// within the field's range. The value goes to the model on Enter, or when
// the cell is left after the value was changed; Escape, or leaving a value
// as it was, hands on nothing.
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
