// Boost: voltage code and frequency (0xA6), maximum (0xA9), Adaptive and SS
// (0xAA) keep the bits they do not own; the range radios write 0x9E and 0x98
// whole.
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"

namespace {

constexpr uint8_t kBoostRegister = chip::kVboostCode.reg;
constexpr uint8_t kVboostMaxRegister = chip::kVboostMax.reg;
constexpr uint8_t kEnableRegister = chip::kAdaptive.reg;

}  // namespace

void CEvalDlg::OnVboostReleased()
{
    UpdateRegisterBits(kBoostRegister, &CEvalDlg::m_strRegA6, [this](uint8_t read) {
        const uint8_t code = uint8_t(m_sldVboost->value());
        m_strVboostCode = HexText(code);
        return std::optional<uint8_t>(chip::WithField(chip::kVboostCode, read, code));
    });
}

void CEvalDlg::OnBoostFreqChanged()
{
    UpdateRegisterBits(kBoostRegister, &CEvalDlg::m_strRegA6,
                       [this](uint8_t read) -> std::optional<uint8_t> {
                           const auto frequency = SelectedValue(*m_cbBoostFreq);
                           if (!frequency) return std::nullopt;
                           return chip::WithField(chip::kBoostFreq, read, *frequency);
                       });
}

void CEvalDlg::OnVboostMaxChanged()
{
    UpdateRegisterBits(kVboostMaxRegister, &CEvalDlg::m_strRegA9,
                       [this](uint8_t read) -> std::optional<uint8_t> {
                           const auto maximum = SelectedValue(*m_cbVboostMax);
                           if (!maximum) return std::nullopt;
                           return chip::WithField(chip::kVboostMax, read, *maximum);
                       });
}

void CEvalDlg::OnAdaptive()
{
    UpdateRegisterBits(kEnableRegister, &CEvalDlg::m_strRegAA, [this](uint8_t read) {
        return std::optional<uint8_t>(chip::WithField(chip::kAdaptive, read, m_bAdaptive));
    });
}

void CEvalDlg::OnSsEn()
{
    UpdateRegisterBits(kEnableRegister, &CEvalDlg::m_strRegAA, [this](uint8_t read) {
        return std::optional<uint8_t>(chip::WithField(chip::kSsEn, read, m_bSsEn));
    });
}

void CEvalDlg::SetRangeRadio(const chip::FieldInfo& range, int CEvalDlg::*field, int index,
                             QString CEvalDlg::*box)
{
    pull();
    this->*field = index;
    WriteShown(range.reg, chip::WithField(range, 0, unsigned(index)), box);
    push();
}

void CEvalDlg::OnVboostRangeLow()
{
    SetRangeRadio(chip::kVboostRange, &CEvalDlg::m_nVboostRange, 0, &CEvalDlg::m_strReg9E);
}

void CEvalDlg::OnVboostRangeHigh()
{
    SetRangeRadio(chip::kVboostRange, &CEvalDlg::m_nVboostRange, 1, &CEvalDlg::m_strReg9E);
}

void CEvalDlg::OnIboostRangeLow()
{
    SetRangeRadio(chip::kIboostRange, &CEvalDlg::m_nIboostRange, 0, &CEvalDlg::m_strReg98);
}

void CEvalDlg::OnIboostRangeHigh()
{
    SetRangeRadio(chip::kIboostRange, &CEvalDlg::m_nIboostRange, 1, &CEvalDlg::m_strReg98);
}
