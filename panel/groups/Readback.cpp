// The full readback: 26 registers into the grid, then decoded into controls;
// boxes whose text changed are marked until the next readback.
#include "ControlIds.h"
#include "ControlUses.h"
#include "BoxMarks.h"
#include "Controls.h"
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"
#include "ReadbackGrid.h"
#include "Shadows.h"
#include "StatusLine.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <bitset>

namespace {

using D = CEvalDlg;

const GridBox kGrid[] = {
    {0x00, idc::kReg00, &D::m_strReg00}, {0x01, idc::kReg01, &D::m_strReg01},
    {chip::kStatusRegister, idc::kReg02, &D::m_strReg02}, {0x03, idc::kReg03, &D::m_strReg03},
    {0x04, idc::kReg04, &D::m_strReg04}, {0x05, idc::kReg05, &D::m_strReg05},
    {0x06, idc::kReg06, &D::m_strReg06}, {0xA0, idc::kRegA0, &D::m_strRegA0},
    {0xA1, idc::kRegA1, &D::m_strRegA1}, {0xA2, idc::kRegA2, &D::m_strRegA2},
    {0xA3, idc::kRegA3, &D::m_strRegA3}, {0xA4, idc::kRegA4, &D::m_strRegA4},
    {0xA5, idc::kRegA5, &D::m_strRegA5}, {0xA6, idc::kRegA6, &D::m_strRegA6},
    {0xA7, idc::kRegA7, &D::m_strRegA7}, {0xA8, idc::kRegA8, &D::m_strRegA8},
    {0xA9, idc::kRegA9, &D::m_strRegA9}, {0xAA, idc::kRegAA, &D::m_strRegAA},
    {0xAB, idc::kRegAB, &D::m_strRegAB}, {0xAC, idc::kRegAC, &D::m_strRegAC},
    {0xAD, idc::kRegAD, &D::m_strRegAD}, {0xAE, idc::kRegAE, &D::m_strRegAE},
    {0xAF, idc::kRegAF, &D::m_strRegAF}, {0x72, idc::kReg72, &D::m_strReg72},
    {0x98, idc::kReg98, &D::m_strReg98}, {0x9E, idc::kReg9E, &D::m_strReg9E},
};
static_assert(std::size(kGrid) == CEvalDlg::kGridSize);

enum class Target {
    Check,         // a check field
    Radio,         // a radio pair's field
    List,          // the field value's entry
    CurrentScale,  // the entry, and g_currentScale
    VboostSlider,  // slider position = field
};

struct DecodeRow {
    const chip::FieldInfo& field;
    Target target;
    int CEvalDlg::*number = nullptr;
    CDropDownList* CEvalDlg::*list = nullptr;
};

constexpr DecodeRow Bit(const chip::FieldInfo& field, int CEvalDlg::*number)
{
    return {field, Target::Check, number};
}
constexpr DecodeRow ListField(const chip::FieldInfo& field, CDropDownList* CEvalDlg::*list,
                              Target target = Target::List)
{
    return {field, target, nullptr, list};
}

// In decode order, register by register.
const DecodeRow kDecodeTable[] = {
    Bit(chip::kUvlo, &D::m_bUvlo),
    Bit(chip::kTsd, &D::m_bTsd),
    Bit(chip::kOverCurrent, &D::m_bOverCurrent),
    Bit(chip::kOverVoltage, &D::m_bOverVoltage),
    Bit(chip::kVboostOk, &D::m_bVboostOk),
    Bit(chip::kVrefOk, &D::m_bVrefOk),
    Bit(chip::kShort, &D::m_bShort),
    Bit(chip::kOpen, &D::m_bOpen),
    Bit(chip::kPwmFsetEn, &D::m_bPwmFsetEn),
    Bit(chip::kBoostFsetEn, &D::m_bBoostFsetEn),
    Bit(chip::kIsetEn, &D::m_bIsetEn),
    Bit(chip::kBacklightOn, &D::m_bBacklightOn),
    Bit(chip::kUvloLevel, &D::m_bUvloLevel),
    Bit(chip::kUvloEnable, &D::m_bUvloEnable),
    Bit(chip::kPdetStandby, &D::m_bPdetStandby),
    ListField(chip::kCurrentScale, &D::m_cbCurrentScale, Target::CurrentScale),
    ListField(chip::kPwmHysteresis, &D::m_cbPwmHysteresis),
    ListField(chip::kFilter, &D::m_cbFilter),
    ListField(chip::kPwmSlope, &D::m_cbPwmSlope),
    Bit(chip::kPwmDirect, &D::m_bPwmDirect),
    ListField(chip::kPwmFreq, &D::m_cbPwmFreq),
    ListField(chip::kPhaseShift, &D::m_cbPhaseShift),
    ListField(chip::kDimThreshold, &D::m_cbDimThreshold),
    ListField(chip::kBoostFreq, &D::m_cbBoostFreq),
    {chip::kVboostCode, Target::VboostSlider},
    ListField(chip::kPfmThreshold, &D::m_cbPfmThreshold),
    ListField(chip::kCurrentLimit, &D::m_cbCurrentLimit),
    ListField(chip::kVboostMax, &D::m_cbVboostMax),
    Bit(chip::kAdaptive, &D::m_bAdaptive),
    Bit(chip::kSsEn, &D::m_bSsEn),
    {chip::kVboostRange, Target::Radio, &D::m_nVboostRange},
    {chip::kIboostRange, Target::Radio, &D::m_nIboostRange},
};


void Decode(CEvalDlg& dlg, const DecodeRow& row, uint8_t registerValue)
{
    const unsigned value = chip::FieldValue(row.field, registerValue);
    switch (row.target) {
    case Target::Check:
    case Target::Radio:
        dlg.*row.number = int(value);
        break;
    case Target::List:
        (dlg.*row.list)->SetCurSel(int(chip::EntryOf(row.field, value)));
        break;
    case Target::CurrentScale:
        g_currentScale = uint8_t(value);
        (dlg.*row.list)->SetCurSel(int(value));
        break;
    case Target::VboostSlider:
        dlg.m_sldVboost->setValue(int(value));
        break;
    }
}

}  // namespace

std::span<const GridBox> GridBoxes() { return kGrid; }

const GridBox* GridBoxOfControl(int id)
{
    const auto it = std::ranges::find(kGrid, id, &GridBox::id);
    return it == std::end(kGrid) ? nullptr : &*it;
}

void AddGridUses(std::vector<ControlUse>& uses)
{
    for (const GridBox& g : kGrid) uses.push_back({"readback grid", g.id, {ControlKind::ReadOnlyEdit}});
}

void CEvalDlg::OnReadbackAll()
{
    emit readbackStarting();
    pull();
    std::bitset<256> read;
    std::array<uint8_t, 256> values{};
    int failed = 0;
    uint8_t firstFailed = 0;
    QString cause;
    for (size_t i = 0; i < std::size(kGrid); ++i) {
        const GridBox& g = kGrid[i];
        m_shownBefore[i] = this->*g.text;
        if (ChipRead(g.reg, values[g.reg])) {
            this->*g.text = HexText(values[g.reg]);
            read.set(g.reg);
        } else {
            this->*g.text = kUnreadText;
            if (failed++ == 0) {
                firstFailed = g.reg;
                cause = QString::fromStdString(LinkAccessFailure());
            }
        }
    }
    // A register that could not be read leaves its controls as they are.
    for (const DecodeRow& row : kDecodeTable)
        if (read.test(row.field.reg)) Decode(*this, row, values[row.field.reg]);
    push();
    MarkChangedBoxes();
    if (failed > 0) TellUnanswered(failed, firstFailed, cause);
}

void CEvalDlg::TellUnanswered(int failed, uint8_t first, const QString& cause)
{
    // With no adapter open the line already says why nothing answers.
    if (!m_adapterOpen) return;
    QString text = QStringLiteral("%1 of %2 registers did not answer (first: %3)")
                       .arg(failed)
                       .arg(kGridSize)
                       .arg(HexText(first));
    // After the adapter's open, and after a failure the same run told, the
    // count goes on from the text shown.
    if (m_run.adapterOpened || m_run.failureTold) text = StatusText() + QStringLiteral("; ") + text;
    const QString detail =
        cause.isEmpty() ? QString() : QStringLiteral("Read of %1 failed: %2").arg(HexText(first), cause);
    // Not told as the run's own failure: a write the same run could not make
    // still takes the line at its end.
    m_run.textSet = true;
    m_statusLine->Show(text, CStatusLine::Kind::Failure, detail);
}

void CEvalDlg::MarkChangedBoxes()
{
    for (size_t i = 0; i < std::size(kGrid); ++i) {
        // An empty box had nothing to compare with: the first readback marks none.
        const QString& before = m_shownBefore[i];
        SetChangedMark(i, !before.isEmpty() && before != this->*kGrid[i].text);
    }
}

void CEvalDlg::MarkBoxChangedFrom(uint8_t reg, const QString& shownBefore)
{
    const auto it = std::ranges::find(kGrid, reg, &GridBox::reg);
    if (it == std::end(kGrid) || this->*it->text == shownBefore) return;
    const size_t i = size_t(it - std::begin(kGrid));
    m_shownBefore[i] = shownBefore;
    SetChangedMark(i, true);
}

void CEvalDlg::SetChangedMark(size_t box, bool changed)
{
    m_changed.set(box, changed);
    QWidget* edit = m_controls.value(kGrid[box].id);
    if (changed)
        MarkBox(edit, kChangedMark, kChangedColour, {});
    else
        UnmarkBox(edit, kChangedMark);
}

bool CEvalDlg::MarkedChanged(int boxId) const
{
    const auto it = std::ranges::find(kGrid, boxId, &GridBox::id);
    return it != std::end(kGrid) && m_changed.test(size_t(it - std::begin(kGrid)));
}

QString CEvalDlg::ShownBefore(int boxId) const
{
    const auto it = std::ranges::find(kGrid, boxId, &GridBox::id);
    return it == std::end(kGrid) ? QString() : m_shownBefore[size_t(it - std::begin(kGrid))];
}

QWidget* CEvalDlg::RegisterBox(uint8_t reg) const
{
    const auto it = std::ranges::find(kGrid, reg, &GridBox::reg);
    return it == std::end(kGrid) ? nullptr : m_controls.value(it->id);
}

std::optional<uint8_t> CEvalDlg::GridValue(uint8_t reg) const
{
    const auto it = std::ranges::find(kGrid, reg, &GridBox::reg);
    if (it == std::end(kGrid) || this->*it->text == kUnreadText) return std::nullopt;
    return uint8_t(ParseHex(this->*it->text));
}

void CEvalDlg::ShowRegister(uint8_t reg, std::optional<uint8_t> value)
{
    for (const GridBox& g : kGrid)
        if (g.reg == reg) this->*g.text = value ? HexText(*value) : kUnreadText;
    if (!value) return;
    for (const DecodeRow& row : kDecodeTable)
        if (row.field.reg == reg) Decode(*this, row, *value);
}

void CEvalDlg::HoldStatusFlags()
{
    for (const DecodeRow& row : kDecodeTable) {
        if (row.field.reg != chip::kStatusRegister) continue;
        auto* flag = static_cast<QAbstractButton*>(BoundControl(row.number));
        connect(flag, &QAbstractButton::toggled, this, [this, flag, tick = row.number] {
            if (m_exchangeDepth != 0) return;  // a push showing the chip
            const QSignalBlocker quiet(flag);
            flag->setChecked(this->*tick != 0);
        });
    }
}

QWidget* CEvalDlg::DecodedCheckBox(uint8_t reg, uint8_t bit) const
{
    for (const DecodeRow& row : kDecodeTable)
        if (row.field.reg == reg && row.field.lsb == bit && row.target == Target::Check)
            return BoundControl(row.number);
    return nullptr;
}
