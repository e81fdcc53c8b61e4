// The panel start-up: runs once before the user can touch the panel.
#include "Controls.h"
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"
#include "Presets.h"
#include "Shadows.h"
#include "StartupTable.h"
#include "StatusLine.h"
#include "Strings.h"

#include <QMenu>

namespace {

struct SliderSetup {
    CTrackSlider* CEvalDlg::*slider;
    int minimum, maximum, tickFrequency, position;
};
const SliderSetup kSliderSetup[] = {
    {&CEvalDlg::m_sldBrightness, 0, int(chip::FieldMax(chip::kBrightness)), 1, 0},
    {&CEvalDlg::m_sldCurrent, 0, int(chip::FieldMax(chip::kLedCurrent)), 1,
     int(chip::FieldMax(chip::kLedCurrent))},
    {&CEvalDlg::m_sldVboost, 0, int(chip::FieldMax(chip::kVboostCode)), 1, 0},
};

QString VersionPair(uint8_t packed)
{
    return QStringLiteral("%1.%2").arg(packed >> 4).arg(packed & 0x0F);
}

// Blank: bits 3-0 of the burn register clear. Erased cells tend to read back
// with high bits set, so bits 7-4 do not count, except as exactly the mark the
// burn buttons write: a burned chip is never overwritten with the defaults.
bool IsBlankChip(uint8_t burn)
{
    return chip::FieldValue(chip::kProgrammed, burn) == 0 && burn != kBurnValue;
}

}  // namespace

// Run again by Reconnect Adapter.
void CEvalDlg::OpenAdapter()
{
    uint8_t rfw = 0;
    const int result = AdapterOpen(rfw);
    ShowAdapterOpen(result, rfw);
}

// The version line of a failed open reads as before any open.
void CEvalDlg::ShowAdapterOpen(int result, uint8_t rfw)
{
    m_adapterOpen = result == kAdapterOk;
    m_run.adapterOpened = true;
    emit adapterOpened();
    if (result != kAdapterOk) {
        SetVersionText(QStringLiteral("Version"));
        SetFailureText(QStringLiteral("USB Initialization Error"));
    } else {
        uint8_t ffw = 0;
        AdapterFfwVersion(ffw);
        SetVersionText(QStringLiteral("Version: USB RFW:%1; FFW:%2")
                           .arg(VersionPair(rfw), VersionPair(ffw)));
        SetStatusText(QStringLiteral("Initialization Complete"));
    }
}

void CEvalDlg::PrepareControls()
{
    push();
    HoldStatusFlags();

    const QString about = QString::fromUtf8(LoadResString(kIdsAboutBox));
    if (!about.isEmpty()) {
        m_sysMenu->addSeparator();
        m_sysMenu->addAction(about)->setData(kIdmAboutBox);
    }
    setWindowIcon(m_hIcon);

    g_brightnessPos = 0;
    g_reg01 = 0x00;
    g_reg16 = chip::kAllLedsOn;

    m_cbMode->SetCurSel(0);
    m_cbConfig->SetCurSel(0);

    for (const SliderSetup& s : kSliderSetup) {
        CTrackSlider* slider = this->*s.slider;
        slider->setRange(s.minimum, s.maximum);
        slider->setTickInterval(s.tickFrequency);
        slider->setValue(s.position);
    }
}

void CEvalDlg::StartChip()
{
    OpenAdapter();
    ProgramBlankChip();
    OnReadbackAll();
    ShowStartNotice();
    m_controls.value(2)->setFocus();
}

// A failure of the start-up stays on the line; the notice goes before it in
// the line's history.
void CEvalDlg::ShowStartNotice()
{
    const QString& notice = m_adapterStart.statusNotice;
    if (notice.isEmpty()) return;
    if (!m_statusLine->ShowsFailure()) {
        SetStatusText(notice);
        return;
    }
    const QString failure = StatusText();
    SetStatusText(notice);
    SetFailureText(failure);
}

void CEvalDlg::ProgramBlankChip()
{
    uint8_t burn = 0;
    if (!ChipRead(kBurnRegister, burn) || !IsBlankChip(burn)) return;
    int failed = 0;
    std::optional<uint8_t> first;
    for (const RegisterValue& rv : kStartupTable) {
        if (ChipWrite(rv.reg, rv.value)) continue;
        ++failed;
        if (!first) first = rv.reg;
    }
    if (first)
        SetFailureText(
            QStringLiteral("Initialization Complete; %1 of %2 default writes failed (first: %3)")
                .arg(failed)
                .arg(std::size(kStartupTable))
                .arg(HexText(*first)));
}
