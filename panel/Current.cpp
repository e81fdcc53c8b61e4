// LED current: the 12-bit current value in 0xA0 and 0xA1 bits 3-0, the
// current scale in 0xA1 bits 6-4 and PDET standby in 0xA1 bit 7.
#include "Controls.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "Shadows.h"

namespace {

constexpr uint8_t kCurrentLowRegister = 0xA0;
constexpr uint8_t kCurrentConfigRegister = 0xA1;
constexpr uint32_t kMaxCurrent = 0xFFF;
constexpr uint8_t kPdetBit = 0x80;

uint8_t ComposeA1(int pdet, uint8_t scale, uint32_t current)
{
    return uint8_t((pdet << 7) | (scale << 4) | ((current >> 8) & 0x0F));
}

}  // namespace

void CEvalDlg::OnCurrentReleased()
{
    // Start from the chip's scale; when it cannot be read, from the one known.
    uint8_t chip = 0;
    if (ChipRead(kCurrentConfigRegister, chip)) {
        g_currentScale = (chip >> 4) & 0x07;
        m_cbCurrentScale->SetCurSel(g_currentScale);
    }
    pull();
    const uint32_t position = uint32_t(m_sldCurrent->value());
    m_strTarget = HexText(position);
    g_regA1 = ComposeA1(m_bPdetStandby, g_currentScale, position);
    ChipWrite(kCurrentLowRegister, uint8_t(position & 0xFF));
    ChipWrite(kCurrentConfigRegister, g_regA1);
    push();
    SetStatusText(QStringLiteral("Ready4"));
}

std::optional<uint32_t> CEvalDlg::TypedTarget()
{
    // A value beyond 12 bits would spill into the scale and PDET bits.
    const std::optional<uint32_t> target = ParseHexUpTo(m_strTarget, kMaxCurrent);
    if (!target) SetStatusText(QStringLiteral("Target out of range (000-FFF)"));
    return target;
}

void CEvalDlg::WriteTarget(uint32_t target)
{
    g_regA1 = ComposeA1(m_bPdetStandby, g_currentScale, target);
    ChipWrite(kCurrentLowRegister, uint8_t(target & 0xFF));
    ChipWrite(kCurrentConfigRegister, g_regA1);
}

void CEvalDlg::OnTargetUpdate()
{
    pull();
    if (const std::optional<uint32_t> target = TypedTarget()) WriteTarget(*target);
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
    g_regA1 = uint8_t((m_bPdetStandby << 7) | (g_currentScale << 4) | (g_regA1 & 0x0F));
    m_strRegA1 = HexText(g_regA1);
    push();
    ChipWrite(kCurrentConfigRegister, g_regA1);
}

void CEvalDlg::OnPdetStandby()
{
    WriteShadowBit(kCurrentConfigRegister, g_regA1, kPdetBit, &CEvalDlg::m_bPdetStandby,
                   &CEvalDlg::m_strRegA1);
}
