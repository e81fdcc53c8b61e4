// Config registers 0xA2, 0xA3 and 0xA7: changing a control writes nothing;
// the group's Update button writes the whole byte, uncovered bits as 0.
#include "Controls.h"
#include "EvalDlg.h"
#include "HexText.h"

void CEvalDlg::OnUpdateA2()
{
    pull();
    const uint8_t value = uint8_t((m_bUvloEnable << 5) | (m_bUvloLevel << 4) | (m_bBacklightOn << 3)
                                  | (m_bIsetEn << 2) | (m_bBoostFsetEn << 1) | m_bPwmFsetEn);
    ChipWrite(0xA2, value);
    m_strRegA2 = HexText(value);
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
    const uint8_t value = uint8_t((*slope << 4) | (*filter << 2) | *hysteresis);
    m_strRegA3 = HexText(value);
    ChipWrite(0xA3, value);
    push();
}

void CEvalDlg::OnUpdateA7()
{
    pull();
    const auto pfm = SelectedValue(*m_cbPfmThreshold);
    const auto limit = SelectedValue(*m_cbCurrentLimit);
    if (!pfm || !limit) return;
    const uint8_t value =
        uint8_t((m_bDrv3Enable << 5) | (m_bDrv2Enable << 4) | (*pfm << 2) | *limit);
    m_strRegA7 = HexText(value);
    push();
    ChipWrite(0xA7, value);
}
