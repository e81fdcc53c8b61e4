#pragma once

#include <QComboBox>
#include <QSlider>

// A drop-down list with an editable field that reports its selection the way
// the panel's actions expect: typing into the field leaves the list without a
// current entry (the typed text stays) until an entry is chosen or selected
// again, and Enter in the field never picks an entry (it is the dialog's key).
class CDropDownList : public QComboBox {
    Q_OBJECT
public:
    explicit CDropDownList(QWidget* parent = nullptr);

    // Selected entry, or -1 when none is (nothing chosen yet, or text typed).
    int GetCurSel() const;
    // Selects entry index; an index outside the list leaves none selected.
    // Raises no user event.
    void SetCurSel(int index);

signals:
    void enterPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DropSelectionKeepingText(const QString& text);
};

// Makes assistive tools see every CDropDownList through its own interface:
// named by its label, never by its text. Installed by the first list.
void InstallListAccessible();

// A horizontal slider that reports every left mouse release on it, on the
// handle or on the groove, after the position has settled. Keys and
// programmatic moves report nothing.
class CTrackSlider : public QSlider {
    Q_OBJECT
public:
    explicit CTrackSlider(QWidget* parent = nullptr);

signals:
    void released();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
