// LED current: the 12-bit current value across 0xA0 and 0xA1, the current
// scale and PDET standby in 0xA1.
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"
#include "Shadows.h"

namespace {

using chip::kCurrentHigh;
using chip::kCurrentLow;

constexpr uint32_t kMaxCurrent = chip::FieldMax(chip::kLedCurrent);

uint8_t CurrentLowByte(uint32_t current) { return chip::WithField(kCurrentLow, 0, current); }

uint8_t ComposeA1(int pdet, uint8_t scale, uint32_t current)
{
    return chip::Compose({{chip::kPdetStandby, unsigned(pdet)},
                          {chip::kCurrentScale, scale},
                          {kCurrentHigh, current >> kCurrentLow.width}});
}

}  // namespace

void CEvalDlg::OnCurrentReleased()
{
    // Start from the chip's scale; when it cannot be read, from the one known.
    uint8_t read = 0;
    if (ChipRead(kCurrentHigh.reg, read)) {
        g_currentScale = uint8_t(chip::FieldValue(chip::kCurrentScale, read));
        m_cbCurrentScale->SetCurSel(g_currentScale);
    }
    pull();
    const uint32_t position = uint32_t(m_sldCurrent->value());
    m_strTarget = HexText(position);
    g_regA1 = ComposeA1(m_bPdetStandby, g_currentScale, position);
    ChipWrite(kCurrentLow.reg, CurrentLowByte(position));
    ChipWrite(kCurrentHigh.reg, g_regA1);
    push();
    SetStatusText(QStringLiteral("Ready4"));
}

std::optional<uint32_t> CEvalDlg::TypedTarget()
{
    // A value beyond 12 bits would spill into the scale and PDET bits.
    static const TypedField kTarget{"Target", kMaxCurrent, "000-FFF"};
    return TypedNumber(kTarget, m_strTarget);
}

void CEvalDlg::WriteTarget(uint32_t target)
{
    g_regA1 = ComposeA1(m_bPdetStandby, g_currentScale, target);
    ChipWrite(kCurrentLow.reg, CurrentLowByte(target));
    ChipWrite(kCurrentHigh.reg, g_regA1);
}

void CEvalDlg::OnTargetUpdate()
{
    pull();
    // Cleared to type a new value: nothing to write yet.
    if (!m_strTarget.isEmpty()) {
        if (const std::optional<uint32_t> target = TypedTarget()) WriteTarget(*target);
    }
    push();
}

void CEvalDlg::OnSetTarget()
{
    pull();
    if (const std::optional<uint32_t> target = TypedTarget()) {
        m_sldCurrent->setValue(int(*target));
        WriteTarget(*target);
    }
    push();
}

void CEvalDlg::OnCurrentScaleChanged()
{
    pull();
    const std::optional<unsigned> scale = SelectedValue(*m_cbCurrentScale);
    if (!scale) return;
    g_currentScale = uint8_t(*scale);
    g_regA1 = chip::Compose(
        {{chip::kPdetStandby, unsigned(m_bPdetStandby)}, {chip::kCurrentScale, g_currentScale}},
        g_regA1);
    WriteShown(chip::kCurrentScale.reg, g_regA1, &CEvalDlg::m_strRegA1);
    push();
}

void CEvalDlg::OnPdetStandby()
{
    WriteShadowBit(chip::kPdetStandby, g_regA1, &CEvalDlg::m_bPdetStandby, &CEvalDlg::m_strRegA1);
}
