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
    // Without a preset of its own, a failed write is told as "Write to 01 failed".
    if (allWritten || !choice.preset)
        SetStatusText(QString::fromUtf8(choice.loadedText));
    else
        SetFailureText(QString::fromUtf8(choice.failedText));
    OnReadbackAll();
}

void CEvalDlg::OnPrepareWrite()
{
    const bool written = ChipWrite(kBurnRegister, kBurnValue);
    pull();
    m_strReg72 = written ? HexText(kBurnValue) : kUnreadText;
    push();
    if (written)
        SetStatusText(QStringLiteral("Apply 6V to VLDO"));
    else
        SetFailureText(QStringLiteral("Prepare Write failed"));
}

void CEvalDlg::OnCompleteWrite()
{
    pull();
    const bool written = WriteShown(kBurnRegister, kBurnValue, &CEvalDlg::m_strReg72);
    push();
    if (written)
        SetStatusText(QStringLiteral("Remove 6V from VLDO"));
    else
        SetFailureText(QStringLiteral("Complete Write failed"));
}
