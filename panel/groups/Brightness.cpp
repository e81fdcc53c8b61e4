// Brightness group: registers 0x00 (brightness) and 0x01 (control).
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"
#include "Shadows.h"

namespace {

// Single precision nearest to 100/255; the product matches p * 100 / 255 to
// one decimal for every position.
constexpr float kPercentPerStep = 0.39215687f;

}  // namespace

void CEvalDlg::OnBrightnessReleased()
{
    pull();
    const uint8_t position = uint8_t(m_sldBrightness->value());
    g_brightnessPos = position;
    m_strReg00 = HexText(g_brightnessPos);
    if (position != g_brightnessWritten) {
        // A write that failed is tried again at the next release there.
        if (WriteShown(chip::kBrightness.reg, position, &CEvalDlg::m_strReg00))
            g_brightnessWritten = position;
    }
    m_strBrightnessPct = QString::asprintf("%2.1f", double(g_brightnessPos * kPercentPerStep));
    push();
    SetStatusText(QStringLiteral("Ready2"));
}

void CEvalDlg::OnEnableBacklight()
{
    pull();
    if (m_bEnableBacklight) {
        g_reg01 = chip::Compose({{chip::kFastResume, 1}, {chip::kEnableBacklight, 1}}, g_reg01);
        m_bFastResume = 1;
    } else {
        g_reg01 = chip::WithField(chip::kEnableBacklight, g_reg01, 0);
    }
    WriteShown(chip::kEnableBacklight.reg, g_reg01, &CEvalDlg::m_strReg01);
    push();
    SetStatusText(QStringLiteral("Ready1"));
}

void CEvalDlg::OnFastResume()
{
    WriteShadowBit(chip::kFastResume, g_reg01, &CEvalDlg::m_bFastResume, &CEvalDlg::m_strReg01);
}

void CEvalDlg::OnModeChanged()
{
    pull();
    const std::optional<unsigned> mode = SelectedValue(*m_cbMode);
    if (!mode) return;
    // The whole register from the controls; the other bits are always 0.
    g_reg01 = chip::Compose({{chip::kFastResume, unsigned(m_bFastResume)},
                             {chip::kMode, *mode},
                             {chip::kEnableBacklight, unsigned(m_bEnableBacklight)}});
    WriteShown(chip::kMode.reg, g_reg01, &CEvalDlg::m_strReg01);
    push();
}
