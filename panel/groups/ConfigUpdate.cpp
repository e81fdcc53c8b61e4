// Config registers 0xA2, 0xA3 and 0xA7: changing a control writes nothing;
// the group's Update button writes the whole byte, uncovered bits as 0.
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"

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
    // A list with text typed into it has no entry to write.
    const auto slope = SelectedValue(*m_cbPwmSlope);
    const auto filter = SelectedValue(*m_cbFilter);
    const auto hysteresis = SelectedValue(*m_cbPwmHysteresis);
    if (!slope || !filter || !hysteresis) return;
    const uint8_t value = chip::Compose(
        {{chip::kPwmSlope, *slope}, {chip::kFilter, *filter}, {chip::kPwmHysteresis, *hysteresis}});
    WriteShown(chip::kPwmSlope.reg, value, &CEvalDlg::m_strRegA3);
    push();
}

void CEvalDlg::OnUpdateA7()
{
    pull();
    const auto pfm = SelectedValue(*m_cbPfmThreshold);
    const auto limit = SelectedValue(*m_cbCurrentLimit);
    if (!pfm || !limit) return;
    const uint8_t value = chip::Compose({{chip::kDrv3Enable, unsigned(m_bDrv3Enable)},
                                         {chip::kDrv2Enable, unsigned(m_bDrv2Enable)},
                                         {chip::kPfmThreshold, *pfm},
                                         {chip::kCurrentLimit, *limit}});
    WriteShown(chip::kDrv3Enable.reg, value, &CEvalDlg::m_strRegA7);
    push();
}
