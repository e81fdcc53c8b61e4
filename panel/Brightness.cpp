// Brightness group: registers 0x00 (brightness) and 0x01 (control).
#include "Controls.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "Shadows.h"

namespace {

constexpr uint8_t kBrightnessRegister = 0x00;
constexpr uint8_t kControlRegister = 0x01;
constexpr uint8_t kFastResumeBit = 0x80;
constexpr uint8_t kEnableBit = 0x01;

// Single precision nearest to 100/255; the product matches p * 100 / 255 to
// one decimal for every position.
constexpr float kPercentPerStep = 0.39215687f;

}  // namespace

void CEvalDlg::OnBrightnessReleased()
{
    pull();
    const uint8_t position = uint8_t(m_sldBrightness->value());
    g_brightnessPos = position;
    if (position != g_brightnessWritten) {
        g_brightnessWritten = position;
        ChipWrite(kBrightnessRegister, position);
    }
    m_strReg00 = HexText(g_brightnessPos);
    m_strBrightnessPct = QString::asprintf("%2.1f", double(g_brightnessPos * kPercentPerStep));
    push();
    SetStatusText(QStringLiteral("Ready2"));
}

void CEvalDlg::OnEnableBacklight()
{
    pull();
    if (m_bEnableBacklight) {
        g_reg01 |= kFastResumeBit | kEnableBit;
        m_bFastResume = 1;
    } else {
        g_reg01 &= uint8_t(~kEnableBit);
    }
    m_strReg01 = HexText(g_reg01);
    push();
    ChipWrite(kControlRegister, g_reg01);
    SetStatusText(QStringLiteral("Ready1"));
}

void CEvalDlg::OnFastResume()
{
    WriteShadowBit(kControlRegister, g_reg01, kFastResumeBit, &CEvalDlg::m_bFastResume,
                   &CEvalDlg::m_strReg01);
}

void CEvalDlg::OnModeChanged()
{
    pull();
    const std::optional<unsigned> mode = SelectedValue(*m_cbMode);
    if (!mode) return;
    // The whole register from the controls; bits 6-3 are always 0.
    g_reg01 = uint8_t((m_bFastResume << 7) | (*mode << 1) | m_bEnableBacklight);
    ChipWrite(kControlRegister, g_reg01);
    m_strReg01 = HexText(g_reg01);
    push();
}
