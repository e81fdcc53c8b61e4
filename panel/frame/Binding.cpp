// The binding table: which control each bound field mirrors, and pull/push.
#include "ControlIds.h"
#include "ControlUses.h"
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
    Text(idc::kVboostCode, &D::m_strVboostCode),
    Text(idc::kRegAddr, &D::m_strRegAddr),
    Text(idc::kData, &D::m_strData),
    Text(idc::kReg00, &D::m_strReg00),
    Text(idc::kReg01, &D::m_strReg01),
    Text(idc::kReg02, &D::m_strReg02),
    Text(idc::kReg03, &D::m_strReg03),
    Text(idc::kReg04, &D::m_strReg04),
    Text(idc::kReg06, &D::m_strReg06),
    Text(idc::kRegA0, &D::m_strRegA0),
    Text(idc::kReg05, &D::m_strReg05),
    Check(idc::kLed1, &D::m_bLed1),
    Check(idc::kLed2, &D::m_bLed2),
    Check(idc::kLed3, &D::m_bLed3),
    Check(idc::kLed4, &D::m_bLed4),
    Check(idc::kLed5, &D::m_bLed5),
    Check(idc::kLed6, &D::m_bLed6),
    Check(idc::kVrefOk, &D::m_bVrefOk),
    Check(idc::kVboostOk, &D::m_bVboostOk),
    Check(idc::kOverVoltage, &D::m_bOverVoltage),
    Check(idc::kOverCurrent, &D::m_bOverCurrent),
    Check(idc::kTsd, &D::m_bTsd),
    Check(idc::kUvlo, &D::m_bUvlo),
    Check(idc::kEnableBacklight, &D::m_bEnableBacklight),
    Check(idc::kOpen, &D::m_bOpen),
    Check(idc::kShort, &D::m_bShort),
    Check(idc::kFastResume, &D::m_bFastResume),
    Check(idc::kPdetStandby, &D::m_bPdetStandby),
    Check(idc::kDrv2Enable, &D::m_bDrv2Enable),
    Check(idc::kDrv3Enable, &D::m_bDrv3Enable),
    Check(idc::kPwmFsetEn, &D::m_bPwmFsetEn),
    Check(idc::kBoostFsetEn, &D::m_bBoostFsetEn),
    Check(idc::kIsetEn, &D::m_bIsetEn),
    Check(idc::kBacklightOn, &D::m_bBacklightOn),
    Check(idc::kUvloLevel, &D::m_bUvloLevel),
    Check(idc::kUvloEnable, &D::m_bUvloEnable),
    Check(idc::kAdaptive, &D::m_bAdaptive),
    Check(idc::kSsEn, &D::m_bSsEn),
    Check(idc::kPwmDirect, &D::m_bPwmDirect),
    Text(idc::kRegA2, &D::m_strRegA2),
    Text(idc::kRegA3, &D::m_strRegA3),
    Text(idc::kRegA4, &D::m_strRegA4),
    Text(idc::kRegA5, &D::m_strRegA5),
    Text(idc::kRegA6, &D::m_strRegA6),
    Text(idc::kRegA7, &D::m_strRegA7),
    Text(idc::kRegA8, &D::m_strRegA8),
    Text(idc::kRegA9, &D::m_strRegA9),
    Text(idc::kRegAA, &D::m_strRegAA),
    Text(idc::kRegAB, &D::m_strRegAB),
    Text(idc::kRegAC, &D::m_strRegAC),
    Text(idc::kRegAD, &D::m_strRegAD),
    Text(idc::kRegAE, &D::m_strRegAE),
    Text(idc::kRegAF, &D::m_strRegAF),
    Text(idc::kReg9E, &D::m_strReg9E),
    Text(idc::kRegA1, &D::m_strRegA1),
    Text(idc::kReg72, &D::m_strReg72),
    Text(idc::kReg98, &D::m_strReg98),
    Text(idc::kTarget, &D::m_strTarget),
    Text(idc::kBrightnessPct, &D::m_strBrightnessPct),
    Radio(idc::kVboostLow, idc::kVboostHigh, &D::m_nVboostRange),
    Radio(idc::kIboostLow, idc::kIboostHigh, &D::m_nIboostRange),
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

void AddBindingUses(std::vector<ControlUse>& uses)
{
    for (const BindingRow& row : kBindingTable) {
        switch (row.kind) {
        case BindKind::Text:
            uses.push_back({"binding", row.id, {ControlKind::Edit, ControlKind::ReadOnlyEdit}});
            break;
        case BindKind::Check:
            uses.push_back({"binding", row.id, {ControlKind::CheckBox}});
            break;
        case BindKind::Radio:
            uses.push_back({"binding", row.id, {ControlKind::RadioButton}});
            uses.push_back({"binding", row.secondId, {ControlKind::RadioButton}});
            break;
        }
    }
}

class CEvalDlg::ExchangeGuard {
public:
    explicit ExchangeGuard(CEvalDlg& dlg) : m_dlg(dlg) { ++m_dlg.m_exchangeDepth; }
    ~ExchangeGuard() { --m_dlg.m_exchangeDepth; }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

private:
    CEvalDlg& m_dlg;
};

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
