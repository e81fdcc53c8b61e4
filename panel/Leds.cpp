// LED enables: register 0x16, written from its shadow, never read.
#include "EvalDlg.h"
#include "Shadows.h"

namespace {

constexpr uint8_t kLedRegister = 0x16;
constexpr uint8_t kAllLeds = 0x3F;

using D = CEvalDlg;
int CEvalDlg::*const kLedFields[] = {&D::m_bLed1, &D::m_bLed2, &D::m_bLed3,
                                     &D::m_bLed4, &D::m_bLed5, &D::m_bLed6};

}  // namespace

void CEvalDlg::OnLed(int bit)
{
    pull();
    const uint8_t mask = uint8_t(1u << bit);
    if (this->*kLedFields[bit])
        g_reg16 |= mask;
    else
        g_reg16 &= uint8_t(kAllLeds & ~mask);
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
    g_reg16 = kAllLeds;
    ChipWrite(kLedRegister, g_reg16);
    for (int CEvalDlg::*field : kLedFields) this->*field = 1;
    push();
}

void CEvalDlg::OnAllOff()
{
    pull();
    g_reg16 = 0x00;
    ChipWrite(kLedRegister, g_reg16);
    for (int CEvalDlg::*field : kLedFields) this->*field = 0;
    push();
}
