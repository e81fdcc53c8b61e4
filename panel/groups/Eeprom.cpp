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
    // Without a preset of its own, a failed write is told as "Write to 01 failed".
    if (!load.FirstFailed() || !load.choice.preset)
        SetStatusText(QString::fromUtf8(load.choice.loadedText));
    else
        TellFailedLoad(load);
    OnReadbackAll();
}

// The preset's own failure text, naming the first register the chip
// refused; the adapter's cause in the line's tooltip.
void CEvalDlg::TellFailedLoad(const LoadResult& load)
{
    const QString first = HexText(load.FirstFailed()->reg);
    const QString& cause = m_run.failedWriteCause;
    SetFailureText(
        QStringLiteral("%1 (first: %2)").arg(QString::fromUtf8(load.choice.failedText), first),
        cause.isEmpty() ? QString() : QStringLiteral("Write to %1 failed: %2").arg(first, cause));
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
