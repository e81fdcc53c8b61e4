// Configuration Selection (Load) and the EEPROM burn helper.
#include "ConfigLoad.h"
#include "Controls.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "Shadows.h"

void CEvalDlg::OnLoad()
{
    const LoadResult load =
        LoadConfig(m_cbConfig->GetCurSel(), g_reg01,
                   [this](uint8_t reg, uint8_t value) { return ChipWrite(reg, value); });
    g_reg01 = load.control;
    m_strReg01 = HexText(g_reg01);
    SetStatusText(QString::fromUtf8(load.StatusText()));
    OnReadbackAll();
}

void CEvalDlg::OnPrepareWrite()
{
    const bool written = ChipWrite(kBurnRegister, kBurnValue);
    pull();
    m_strReg72 = written ? HexText(kBurnValue) : kUnreadText;
    push();
    SetStatusText(written ? QStringLiteral("Apply 6V to VLDO") : QStringLiteral("Prepare Write failed"));
}

void CEvalDlg::OnCompleteWrite()
{
    pull();
    const bool written = ChipWrite(kBurnRegister, kBurnValue);
    m_strReg72 = written ? HexText(kBurnValue) : kUnreadText;
    push();
    SetStatusText(written ? QStringLiteral("Remove 6V from VLDO")
                          : QStringLiteral("Complete Write failed"));
}
