// How assistive tools see a drop-down list. Qt's own combo box interface
// names the list on Linux after the text in its field; a list of the panel
// keeps the name of its label, and its text is its value.
#include "Controls.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>

namespace {

class CListAccessible : public QAccessibleWidget {
public:
    explicit CListAccessible(CDropDownList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return List()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.expandable = true;
        s.expanded = List()->view()->isVisible();
        return s;
    }

    // The entries, then the field.
    int childCount() const override { return 2; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0) return QAccessible::queryAccessibleInterface(List()->view());
        if (index == 1) return QAccessible::queryAccessibleInterface(List()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child) return -1;
        if (child->object() == List()->view()) return 0;
        if (child->object() == List()->lineEdit()) return 1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QLineEdit* field = List()->lineEdit();
        const QRect onScreen(field->mapToGlobal(QPoint(0, 0)), field->size());
        return onScreen.contains(x, y) ? child(1) : nullptr;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (name != showMenuAction() && name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        if (List()->view()->isVisible())
            List()->hidePopup();
        else
            List()->showPopup();
    }

private:
    CDropDownList* List() const { return static_cast<CDropDownList*>(widget()); }
};

QAccessibleInterface* ListAccessibleFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String(CDropDownList::staticMetaObject.className())) return nullptr;
    auto* list = qobject_cast<CDropDownList*>(object);
    return list ? new CListAccessible(list) : nullptr;
}

}  // namespace

void InstallListAccessible()
{
    static const bool installed = (QAccessible::installFactory(ListAccessibleFactory), true);
    Q_UNUSED(installed);
}
