// Config registers 0xA2, 0xA3 and 0xA7: changing a control writes nothing;
// the group's Update button writes the whole byte, uncovered bits as 0.
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"

#include <initializer_list>

namespace {

// Whether every list of an Update group has an entry to write. The first one
// without (text typed that is none of its entries, or nothing chosen because
// its register could not be read) is named on the status line.
bool EveryListChosen(CEvalDlg& dlg, std::initializer_list<const CDropDownList*> lists)
{
    for (const CDropDownList* list : lists) {
        if (SelectedValue(*list)) continue;
        const QString name = list->accessibleName();
        const QString typed = list->currentText();
        dlg.SetFailureText(
            typed.isEmpty()
                ? QStringLiteral("%1: no value chosen; nothing written").arg(name)
                : QStringLiteral("%1: \"%2\" is not one of its values; nothing written")
                      .arg(name, typed));
        return false;
    }
    return true;
}

}  // namespace

void CEvalDlg::OnUpdateA2()
{
    pull();
    const uint8_t value = chip::Compose({{chip::kUvloEnable, unsigned(m_bUvloEnable)},
                                         {chip::kUvloLevel, unsigned(m_bUvloLevel)},
                                         {chip::kBacklightOn, unsigned(m_bBacklightOn)},
                                         {chip::kIsetEn, unsigned(m_bIsetEn)},
                                         {chip::kBoostFsetEn, unsigned(m_bBoostFsetEn)},
                                         {chip::kPwmFsetEn, unsigned(m_bPwmFsetEn)}});
    WriteShown(chip::kUvloEnable.reg, value, &CEvalDlg::m_strRegA2);
    push();
}

void CEvalDlg::OnUpdateA3()
{
    pull();
    if (!EveryListChosen(*this, {m_cbPwmSlope, m_cbFilter, m_cbPwmHysteresis})) return;
    const uint8_t value = chip::Compose({{chip::kPwmSlope, *SelectedValue(*m_cbPwmSlope)},
                                         {chip::kFilter, *SelectedValue(*m_cbFilter)},
                                         {chip::kPwmHysteresis, *SelectedValue(*m_cbPwmHysteresis)}});
    WriteShown(chip::kPwmSlope.reg, value, &CEvalDlg::m_strRegA3);
    push();
}

void CEvalDlg::OnUpdateA7()
{
    pull();
    if (!EveryListChosen(*this, {m_cbPfmThreshold, m_cbCurrentLimit})) return;
    const uint8_t value = chip::Compose({{chip::kDrv3Enable, unsigned(m_bDrv3Enable)},
                                         {chip::kDrv2Enable, unsigned(m_bDrv2Enable)},
                                         {chip::kPfmThreshold, *SelectedValue(*m_cbPfmThreshold)},
                                         {chip::kCurrentLimit, *SelectedValue(*m_cbCurrentLimit)}});
    WriteShown(chip::kDrv3Enable.reg, value, &CEvalDlg::m_strRegA7);
    push();
}
