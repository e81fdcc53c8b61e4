// PWM dimming: threshold in 0xA4 bits 7-4; PWM direct, phase shift and PWM
// frequency in 0xA5. Each reads its register and keeps the bits it does not
// own; bit 7 of 0xA5 always follows the PWM Direct box.
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"

namespace {
constexpr uint8_t kThresholdRegister = chip::kDimThreshold.reg;
constexpr uint8_t kPwmRegister = chip::kPwmDirect.reg;
}  // namespace

void CEvalDlg::OnDimThresholdChanged()
{
    UpdateRegisterBits(kThresholdRegister, &CEvalDlg::m_strRegA4,
                       [this](uint8_t read) -> std::optional<uint8_t> {
                           const auto threshold = SelectedValue(*m_cbDimThreshold);
                           if (!threshold) return std::nullopt;
                           return chip::WithField(chip::kDimThreshold, read, *threshold);
                       });
}

void CEvalDlg::OnPwmDirect()
{
    UpdateRegisterBits(kPwmRegister, &CEvalDlg::m_strRegA5, [this](uint8_t read) {
        return std::optional<uint8_t>(chip::WithField(chip::kPwmDirect, read, m_bPwmDirect));
    });
}

void CEvalDlg::OnPhaseShiftChanged()
{
    UpdateRegisterBits(kPwmRegister, &CEvalDlg::m_strRegA5,
                       [this](uint8_t read) -> std::optional<uint8_t> {
                           const auto phase = SelectedValue(*m_cbPhaseShift);
                           if (!phase) return std::nullopt;
                           return chip::Compose({{chip::kPwmDirect, unsigned(m_bPwmDirect)},
                                                 {chip::kPhaseShift, *phase}},
                                                read);
                       });
}

void CEvalDlg::OnPwmFreqChanged()
{
    UpdateRegisterBits(kPwmRegister, &CEvalDlg::m_strRegA5,
                       [this](uint8_t read) -> std::optional<uint8_t> {
                           const auto frequency = SelectedValue(*m_cbPwmFreq);
                           if (!frequency) return std::nullopt;
                           return chip::Compose({{chip::kPwmDirect, unsigned(m_bPwmDirect)},
                                                 {chip::kPwmFreq, *frequency}},
                                                read);
                       });
}
