#pragma once

#include <QSortFilterProxyModel>

#include <string>

// The rows of the register tree whose name holds what the user typed, case,
// blanks and punctuation ignored ("pwm freq" finds PWM Frequency), or whose
// address it is ("A5", "0xa5"); a register found shows all its fields, a
// field found shows its register.
class CRegisterFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CRegisterFilter(QObject* parent = nullptr);
    void SetText(const QString& typed);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::string m_key;
};
