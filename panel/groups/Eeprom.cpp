// Configuration Selection (Load) and the EEPROM burn helper.
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"
#include "Presets.h"
#include "Shadows.h"

void CEvalDlg::OnLoad()
{
    // Backlight off while the configuration changes.
    g_reg01 = chip::WithField(chip::kEnableBacklight, g_reg01, 0);
    bool allWritten = ChipWrite(chip::kEnableBacklight.reg, g_reg01);
    m_strReg01 = HexText(g_reg01);
    const ConfigChoice choice = ChooseConfig(m_cbConfig->GetCurSel());
    if (choice.preset)
        for (const RegisterValue& rv : choice.preset->values)
            allWritten = ChipWrite(rv.reg, rv.value) && allWritten;
    SetStatusText(QString::fromUtf8(allWritten ? choice.loadedText : choice.failedText));
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
