// The binding table: which control each bound field mirrors, and pull/push.
#include "EvalDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace {

struct BindingRow {
    BindKind kind;
    int id;        // the control; for a radio pair its index-0 button
    int secondId;  // a radio pair's index-1 button
    QString CEvalDlg::*text;
    int CEvalDlg::*number;
};

constexpr BindingRow Text(int id, QString CEvalDlg::*field)
{
    return {BindKind::Text, id, 0, field, nullptr};
}
constexpr BindingRow Check(int id, int CEvalDlg::*field)
{
    return {BindKind::Check, id, 0, nullptr, field};
}
constexpr BindingRow Radio(int first, int second, int CEvalDlg::*field)
{
    return {BindKind::Radio, first, second, nullptr, field};
}

using D = CEvalDlg;
const BindingRow kBindingTable[] = {
    Text(1116, &D::m_strVboostCode),
    Text(1016, &D::m_strRegAddr),
    Text(1017, &D::m_strData),
    Text(1006, &D::m_strReg00),
    Text(1040, &D::m_strReg01),
    Text(1041, &D::m_strReg02),
    Text(1042, &D::m_strReg03),
    Text(1043, &D::m_strReg04),
    Text(1048, &D::m_strReg06),
    Text(1053, &D::m_strRegA0),
    Text(1045, &D::m_strReg05),
    Check(1039, &D::m_bLed1),
    Check(1027, &D::m_bLed2),
    Check(1028, &D::m_bLed3),
    Check(1029, &D::m_bLed4),
    Check(1030, &D::m_bLed5),
    Check(1031, &D::m_bLed6),
    Check(1021, &D::m_bVrefOk),
    Check(1022, &D::m_bVboostOk),
    Check(1023, &D::m_bOverVoltage),
    Check(1024, &D::m_bOverCurrent),
    Check(1025, &D::m_bTsd),
    Check(1026, &D::m_bUvlo),
    Check(1044, &D::m_bEnableBacklight),
    Check(1071, &D::m_bOpen),
    Check(1074, &D::m_bShort),
    Check(1078, &D::m_bFastResume),
    Check(1103, &D::m_bPdetStandby),
    Check(1104, &D::m_bDrv2Enable),
    Check(1105, &D::m_bDrv3Enable),
    Check(1106, &D::m_bPwmFsetEn),
    Check(1107, &D::m_bBoostFsetEn),
    Check(1108, &D::m_bIsetEn),
    Check(1109, &D::m_bBacklightOn),
    Check(1110, &D::m_bUvloLevel),
    Check(1111, &D::m_bUvloEnable),
    Check(1115, &D::m_bAdaptive),
    Check(1131, &D::m_bSsEn),
    Check(1120, &D::m_bPwmDirect),
    Text(1055, &D::m_strRegA2),
    Text(1065, &D::m_strRegA3),
    Text(1058, &D::m_strRegA4),
    Text(1059, &D::m_strRegA5),
    Text(1060, &D::m_strRegA6),
    Text(1061, &D::m_strRegA7),
    Text(1062, &D::m_strRegA8),
    Text(1063, &D::m_strRegA9),
    Text(1064, &D::m_strRegAA),
    Text(1079, &D::m_strRegAB),
    Text(1080, &D::m_strRegAC),
    Text(1081, &D::m_strRegAD),
    Text(1082, &D::m_strRegAE),
    Text(1083, &D::m_strRegAF),
    Text(1142, &D::m_strReg9E),
    Text(1007, &D::m_strRegA1),
    Text(1129, &D::m_strReg72),
    Text(1130, &D::m_strReg98),
    Text(1102, &D::m_strTarget),
    Text(1117, &D::m_strBrightnessPct),
    Radio(1132, 1133, &D::m_nVboostRange),
    Radio(1140, 1141, &D::m_nIboostRange),
};

void SetRadioPair(QAbstractButton* first, QAbstractButton* second, int index)
{
    if (index == 0 || index == 1) {
        (index == 0 ? first : second)->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its checked button.
    QButtonGroup* group = first->group();
    group->setExclusive(false);
    first->setChecked(false);
    second->setChecked(false);
    group->setExclusive(true);
}

}  // namespace

class CEvalDlg::ExchangeGuard {
public:
    explicit ExchangeGuard(CEvalDlg& dlg) : m_dlg(dlg) { ++m_dlg.m_exchangeDepth; }
    ~ExchangeGuard() { --m_dlg.m_exchangeDepth; }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

private:
    CEvalDlg& m_dlg;
};

QWidget* CEvalDlg::BoundControl(QString CEvalDlg::*text) const
{
    for (const Binding& b : m_bindings)
        if (b.kind == BindKind::Text && b.text == text) return b.control;
    return nullptr;
}

QWidget* CEvalDlg::BoundControl(int CEvalDlg::*number) const
{
    for (const Binding& b : m_bindings)
        if (b.kind == BindKind::Check && b.number == number) return b.control;
    return nullptr;
}

void CEvalDlg::BindControls()
{
    m_bindings.reserve(std::size(kBindingTable));
    for (const BindingRow& row : kBindingTable) {
        Binding b{row.kind, m_controls.value(row.id), nullptr, row.text, row.number};
        Q_ASSERT(b.control);
        if (row.kind == BindKind::Radio)
            b.second = static_cast<QAbstractButton*>(m_controls.value(row.secondId));
        m_bindings.push_back(b);
    }
}

void CEvalDlg::pull()
{
    ExchangeGuard guard(*this);
    for (const Binding& b : m_bindings) {
        switch (b.kind) {
        case BindKind::Text:
            this->*b.text = static_cast<QLineEdit*>(b.control)->text();
            break;
        case BindKind::Check:
            this->*b.number = static_cast<QAbstractButton*>(b.control)->isChecked() ? 1 : 0;
            break;
        case BindKind::Radio: {
            const bool first = static_cast<QAbstractButton*>(b.control)->isChecked();
            this->*b.number = first ? 0 : b.second->isChecked() ? 1 : -1;
            break;
        }
        }
    }
}

void CEvalDlg::push()
{
    ExchangeGuard guard(*this);
    // Only what differs is set: cheaper, and an edit being typed into keeps
    // its cursor.
    for (const Binding& b : m_bindings) {
        switch (b.kind) {
        case BindKind::Text: {
            auto* edit = static_cast<QLineEdit*>(b.control);
            if (edit->text() != this->*b.text) edit->setText(this->*b.text);
            break;
        }
        case BindKind::Check: {
            auto* box = static_cast<QAbstractButton*>(b.control);
            const bool ticked = this->*b.number != 0;
            if (box->isChecked() != ticked) box->setChecked(ticked);
            break;
        }
        case BindKind::Radio: {
            auto* first = static_cast<QAbstractButton*>(b.control);
            const int shown = first->isChecked() ? 0 : b.second->isChecked() ? 1 : -1;
            if (shown != this->*b.number) SetRadioPair(first, b.second, this->*b.number);
            break;
        }
        }
    }
}
