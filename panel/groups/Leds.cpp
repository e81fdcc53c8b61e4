// LED enables: register 0x16, written from its shadow, never read.
#include "EvalDlg.h"
#include "Fields.h"
#include "Shadows.h"

namespace {

using D = CEvalDlg;
int CEvalDlg::*const kLedFields[] = {&D::m_bLed1, &D::m_bLed2, &D::m_bLed3,
                                     &D::m_bLed4, &D::m_bLed5, &D::m_bLed6};
const chip::FieldInfo* const kLedBits[] = {&chip::kLed1, &chip::kLed2, &chip::kLed3,
                                           &chip::kLed4, &chip::kLed5, &chip::kLed6};

constexpr uint8_t kLedRegister = chip::kLed1.reg;

}  // namespace

void CEvalDlg::OnLed(int led)
{
    pull();
    g_reg16 = chip::WithField(*kLedBits[led], g_reg16, this->*kLedFields[led] ? 1 : 0) &
        chip::kAllLedsOn;  // the other bits are always written as 0
    push();
    ChipWrite(kLedRegister, g_reg16);
}

void CEvalDlg::OnLed1() { OnLed(0); }
void CEvalDlg::OnLed2() { OnLed(1); }
void CEvalDlg::OnLed3() { OnLed(2); }
void CEvalDlg::OnLed4() { OnLed(3); }
void CEvalDlg::OnLed5() { OnLed(4); }
void CEvalDlg::OnLed6() { OnLed(5); }

void CEvalDlg::OnAllOn()
{
    pull();
    g_reg16 = chip::kAllLedsOn;
    ChipWrite(kLedRegister, g_reg16);
    for (int CEvalDlg::*field : kLedFields) this->*field = 1;
    push();
}

void CEvalDlg::OnAllOff()
{
    pull();
    g_reg16 = 0;
    ChipWrite(kLedRegister, g_reg16);
    for (int CEvalDlg::*field : kLedFields) this->*field = 0;
    push();
}
