// Boost: voltage code and frequency (0xA6), maximum (0xA9), Adaptive and SS
// (0xAA) keep the bits they do not own; the range radios write 0x9E and 0x98
// whole.
#include "Controls.h"
#include "EvalDlg.h"
#include "HexText.h"

namespace {

constexpr uint8_t kBoostRegister = 0xA6;
constexpr uint8_t kVboostMaxRegister = 0xA9;
constexpr uint8_t kEnableRegister = 0xAA;
constexpr uint8_t kVboostRangeRegister = 0x9E;
constexpr uint8_t kIboostRangeRegister = 0x98;

}  // namespace

void CEvalDlg::OnVboostReleased()
{
    UpdateRegisterBits(kBoostRegister, &CEvalDlg::m_strRegA6, [this](uint8_t read) {
        const uint8_t code = uint8_t(m_sldVboost->value());
        m_strVboostCode = HexText(code);
        return std::optional<uint8_t>((read & 0xC0) | code);
    });
}

void CEvalDlg::OnBoostFreqChanged()
{
    UpdateRegisterBits(kBoostRegister, &CEvalDlg::m_strRegA6,
                       [this](uint8_t read) -> std::optional<uint8_t> {
                           const auto frequency = SelectedValue(*m_cbBoostFreq);
                           if (!frequency) return std::nullopt;
                           return uint8_t((*frequency << 6) | (read & 0x3F));
                       });
}

void CEvalDlg::OnVboostMaxChanged()
{
    UpdateRegisterBits(kVboostMaxRegister, &CEvalDlg::m_strRegA9,
                       [this](uint8_t read) -> std::optional<uint8_t> {
                           const auto maximum = SelectedValue(*m_cbVboostMax);
                           if (!maximum) return std::nullopt;
                           return uint8_t((*maximum << 5) | (read & 0x1F));
                       });
}

void CEvalDlg::OnAdaptive()
{
    UpdateRegisterBits(kEnableRegister, &CEvalDlg::m_strRegAA, [this](uint8_t read) {
        return std::optional<uint8_t>(m_bAdaptive ? read | 0x08 : read & 0xF7);
    });
}

void CEvalDlg::OnSsEn()
{
    UpdateRegisterBits(kEnableRegister, &CEvalDlg::m_strRegAA, [this](uint8_t read) {
        return std::optional<uint8_t>(m_bSsEn ? read | 0x80 : read & 0x7F);
    });
}

void CEvalDlg::SetRangeRadio(int CEvalDlg::*field, int index, uint8_t reg, uint8_t value,
                             QString CEvalDlg::*box)
{
    pull();
    this->*field = index;
    this->*box = HexText(value);
    ChipWrite(reg, value);
    push();
}

void CEvalDlg::OnVboostRangeLow()
{
    SetRangeRadio(&CEvalDlg::m_nVboostRange, 0, kVboostRangeRegister, 0x00, &CEvalDlg::m_strReg9E);
}

void CEvalDlg::OnVboostRangeHigh()
{
    SetRangeRadio(&CEvalDlg::m_nVboostRange, 1, kVboostRangeRegister, 0x20, &CEvalDlg::m_strReg9E);
}

void CEvalDlg::OnIboostRangeLow()
{
    SetRangeRadio(&CEvalDlg::m_nIboostRange, 0, kIboostRangeRegister, 0x00, &CEvalDlg::m_strReg98);
}

void CEvalDlg::OnIboostRangeHigh()
{
    SetRangeRadio(&CEvalDlg::m_nIboostRange, 1, kIboostRangeRegister, 0x80, &CEvalDlg::m_strReg98);
}
