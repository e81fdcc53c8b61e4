// The full readback: 26 registers into the grid, then decoded into controls.
#include "Controls.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "SessionMenu.h"
#include "Shadows.h"

#include <array>
#include <bitset>

namespace {

using D = CEvalDlg;

struct GridBox {
    uint8_t reg;
    QString CEvalDlg::*box;
};
// Also the read order.
const GridBox kGrid[] = {
    {0x00, &D::m_strReg00}, {0x01, &D::m_strReg01}, {0x02, &D::m_strReg02},
    {0x03, &D::m_strReg03}, {0x04, &D::m_strReg04}, {0x05, &D::m_strReg05},
    {0x06, &D::m_strReg06}, {0xA0, &D::m_strRegA0}, {0xA1, &D::m_strRegA1},
    {0xA2, &D::m_strRegA2}, {0xA3, &D::m_strRegA3}, {0xA4, &D::m_strRegA4},
    {0xA5, &D::m_strRegA5}, {0xA6, &D::m_strRegA6}, {0xA7, &D::m_strRegA7},
    {0xA8, &D::m_strRegA8}, {0xA9, &D::m_strRegA9}, {0xAA, &D::m_strRegAA},
    {0xAB, &D::m_strRegAB}, {0xAC, &D::m_strRegAC}, {0xAD, &D::m_strRegAD},
    {0xAE, &D::m_strRegAE}, {0xAF, &D::m_strRegAF}, {0x72, &D::m_strReg72},
    {0x98, &D::m_strReg98}, {0x9E, &D::m_strReg9E},
};

enum class Target {
    Check,         // a check field
    Radio,         // a radio pair's field
    List,          // entry = field
    DimThreshold,  // entry = field for 0-9; 10-15 all show "PWM Always"
    CurrentScale,  // entry = field, and g_currentScale
    VboostSlider,  // slider position = field
};

struct DecodeRow {
    uint8_t reg;
    uint8_t shift;
    uint8_t mask;  // after the shift
    Target target;
    int CEvalDlg::*field = nullptr;
    CDropDownList* CEvalDlg::*list = nullptr;
};

constexpr DecodeRow Bit(uint8_t reg, uint8_t bit, int CEvalDlg::*field)
{
    return {reg, bit, 1, Target::Check, field};
}
constexpr DecodeRow ListField(uint8_t reg, uint8_t shift, uint8_t mask,
                              CDropDownList* CEvalDlg::*list, Target target = Target::List)
{
    return {reg, shift, mask, target, nullptr, list};
}

// In decode order, register by register.
const DecodeRow kDecodeTable[] = {
    Bit(0x02, 0, &D::m_bUvlo),
    Bit(0x02, 1, &D::m_bTsd),
    Bit(0x02, 2, &D::m_bOverCurrent),
    Bit(0x02, 3, &D::m_bOverVoltage),
    Bit(0x02, 4, &D::m_bVboostOk),
    Bit(0x02, 5, &D::m_bVrefOk),
    Bit(0x02, 6, &D::m_bShort),
    Bit(0x02, 7, &D::m_bOpen),
    Bit(0xA2, 0, &D::m_bPwmFsetEn),
    Bit(0xA2, 1, &D::m_bBoostFsetEn),
    Bit(0xA2, 2, &D::m_bIsetEn),
    Bit(0xA2, 3, &D::m_bBacklightOn),
    Bit(0xA2, 4, &D::m_bUvloLevel),
    Bit(0xA2, 5, &D::m_bUvloEnable),
    Bit(0xA1, 7, &D::m_bPdetStandby),
    ListField(0xA1, 4, 0x07, &D::m_cbCurrentScale, Target::CurrentScale),
    ListField(0xA3, 0, 0x03, &D::m_cbPwmHysteresis),
    ListField(0xA3, 2, 0x03, &D::m_cbFilter),
    ListField(0xA3, 4, 0x07, &D::m_cbPwmSlope),
    Bit(0xA5, 7, &D::m_bPwmDirect),
    ListField(0xA5, 0, 0x0F, &D::m_cbPwmFreq),
    ListField(0xA5, 4, 0x07, &D::m_cbPhaseShift),
    ListField(0xA4, 4, 0x0F, &D::m_cbDimThreshold, Target::DimThreshold),
    ListField(0xA6, 6, 0x03, &D::m_cbBoostFreq),
    {0xA6, 0, 0x3F, Target::VboostSlider},
    ListField(0xA7, 2, 0x03, &D::m_cbPfmThreshold),
    ListField(0xA7, 0, 0x03, &D::m_cbCurrentLimit),
    ListField(0xA9, 5, 0x07, &D::m_cbVboostMax),
    Bit(0xAA, 3, &D::m_bAdaptive),
    Bit(0xAA, 7, &D::m_bSsEn),
    {0x9E, 5, 1, Target::Radio, &D::m_nVboostRange},
    {0x98, 7, 1, Target::Radio, &D::m_nIboostRange},
};

constexpr int kPwmAlwaysEntry = 11;

void Decode(CEvalDlg& dlg, const DecodeRow& row, uint8_t value)
{
    const unsigned field = (value >> row.shift) & row.mask;
    switch (row.target) {
    case Target::Check:
    case Target::Radio:
        dlg.*row.field = int(field);
        break;
    case Target::List:
        (dlg.*row.list)->SetCurSel(int(field));
        break;
    case Target::DimThreshold:
        (dlg.*row.list)->SetCurSel(field >= 10 ? kPwmAlwaysEntry : int(field));
        break;
    case Target::CurrentScale:
        g_currentScale = uint8_t(field);
        (dlg.*row.list)->SetCurSel(int(field));
        break;
    case Target::VboostSlider:
        dlg.m_sldVboost->setValue(int(field));
        break;
    }
}

}  // namespace

void CEvalDlg::OnReadbackAll()
{
    if (m_sessionMenu) m_sessionMenu->ForgetComparison();
    pull();
    std::bitset<256> read;
    std::array<uint8_t, 256> values{};
    for (const GridBox& g : kGrid) {
        if (ChipRead(g.reg, values[g.reg])) {
            this->*g.box = HexText(values[g.reg]);
            read.set(g.reg);
        } else {
            this->*g.box = kUnreadText;
        }
    }
    // A register that could not be read leaves its controls as they are.
    for (const DecodeRow& row : kDecodeTable)
        if (read.test(row.reg)) Decode(*this, row, values[row.reg]);
    push();
}

QWidget* CEvalDlg::RegisterBox(uint8_t reg) const
{
    for (const GridBox& g : kGrid)
        if (g.reg == reg) return BoundControl(g.box);
    return nullptr;
}

std::optional<uint8_t> CEvalDlg::GridValue(uint8_t reg) const
{
    for (const GridBox& g : kGrid)
        if (g.reg == reg && this->*g.box != kUnreadText) return uint8_t(ParseHex(this->*g.box));
    return std::nullopt;
}

void CEvalDlg::ShowRegister(uint8_t reg, std::optional<uint8_t> value)
{
    for (const GridBox& g : kGrid)
        if (g.reg == reg) this->*g.box = value ? HexText(*value) : kUnreadText;
    if (!value) return;
    for (const DecodeRow& row : kDecodeTable)
        if (row.reg == reg) Decode(*this, row, *value);
}

QWidget* CEvalDlg::DecodedCheckBox(uint8_t reg, uint8_t bit) const
{
    for (const DecodeRow& row : kDecodeTable)
        if (row.reg == reg && row.shift == bit && row.target == Target::Check)
            return BoundControl(row.field);
    return nullptr;
}
