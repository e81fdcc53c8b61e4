// Tooltips, built when they are shown: a readback box decodes the register
// it shows; a control that writes a register names the register and bits.
#include "ControlIds.h"
#include "BenchAdditions.h"
#include "BoxMarks.h"
#include "Decode.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"
#include "Presets.h"
#include "ReadbackGrid.h"
#include "SessionMenu.h"

#include <QEvent>
#include <QLineEdit>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

using namespace chip;

enum class Role {
    Writes,        // its action writes the fields
    ByUpdate,      // the group's Update button writes them
    ShowsTheChip,  // read only: the fields as last read
    ByLoad,        // the Load button writes the chosen configuration
};

struct Writer {
    int id;
    std::array<const FieldInfo*, 6> fields;  // the bits it sets or shows
    Role role = Role::Writes;
};

constexpr Role U = Role::ByUpdate;
constexpr Role R = Role::ShowsTheChip;

const Writer kWriters[] = {
    {idc::kBrightness, {&kBrightness}},
    {idc::kMode, {&kFastResume, &kMode, &kEnableBacklight}},
    {idc::kEnableBacklight, {&kFastResume, &kEnableBacklight}},
    {idc::kFastResume, {&kFastResume}},
    {idc::kLed1, {&kLed1}},
    {idc::kLed2, {&kLed2}},
    {idc::kLed3, {&kLed3}},
    {idc::kLed4, {&kLed4}},
    {idc::kLed5, {&kLed5}},
    {idc::kLed6, {&kLed6}},
    {idc::kAllOn, {&kLed6, &kLed5, &kLed4, &kLed3, &kLed2, &kLed1}},
    {idc::kAllOff, {&kLed6, &kLed5, &kLed4, &kLed3, &kLed2, &kLed1}},
    {idc::kCurrent, {&kCurrentLow, &kPdetStandby, &kCurrentScale, &kCurrentHigh}},
    {idc::kTarget, {&kCurrentLow, &kPdetStandby, &kCurrentScale, &kCurrentHigh}},
    {idc::kSet, {&kCurrentLow, &kPdetStandby, &kCurrentScale, &kCurrentHigh}},
    {idc::kCurrentScale, {&kPdetStandby, &kCurrentScale}},
    {idc::kPdetStandby, {&kPdetStandby}},
    {idc::kUpdateA2,
     {&kUvloEnable, &kUvloLevel, &kBacklightOn, &kIsetEn, &kBoostFsetEn, &kPwmFsetEn}},
    {idc::kUpdateA3, {&kPwmSlope, &kFilter, &kPwmHysteresis}},
    {idc::kUpdateA7, {&kDrv3Enable, &kDrv2Enable, &kPfmThreshold, &kCurrentLimit}},
    {idc::kDimThreshold, {&kDimThreshold}},
    {idc::kPwmDirect, {&kPwmDirect}},
    {idc::kPhaseShift, {&kPwmDirect, &kPhaseShift}},
    {idc::kPwmFreq, {&kPwmDirect, &kPwmFreq}},
    {idc::kVboost, {&kVboostCode}},
    {idc::kBoostFreq, {&kBoostFreq}},
    {idc::kVboostMax, {&kVboostMax}},
    {idc::kAdaptive, {&kAdaptive}},
    {idc::kSsEn, {&kSsEn}},
    {idc::kVboostLow, {&kVboostRange}},
    {idc::kVboostHigh, {&kVboostRange}},
    {idc::kIboostLow, {&kIboostRange}},
    {idc::kIboostHigh, {&kIboostRange}},
    {idc::kLoad, {&kEnableBacklight}},
    {idc::kPrepareWrite, {&kBurn, &kProgrammed}},
    {idc::kCompleteWrite, {&kBurn, &kProgrammed}},
    {idc::kManualWrite, {}},
    {idc::kOpen, {&kOpen}, R},
    {idc::kShort, {&kShort}, R},
    {idc::kVrefOk, {&kVrefOk}, R},
    {idc::kVboostOk, {&kVboostOk}, R},
    {idc::kOverVoltage, {&kOverVoltage}, R},
    {idc::kOverCurrent, {&kOverCurrent}, R},
    {idc::kTsd, {&kTsd}, R},
    {idc::kUvlo, {&kUvlo}, R},
    {idc::kUvloEnable, {&kUvloEnable}, U},
    {idc::kUvloLevel, {&kUvloLevel}, U},
    {idc::kBacklightOn, {&kBacklightOn}, U},
    {idc::kIsetEn, {&kIsetEn}, U},
    {idc::kBoostFsetEn, {&kBoostFsetEn}, U},
    {idc::kPwmFsetEn, {&kPwmFsetEn}, U},
    {idc::kPwmSlope, {&kPwmSlope}, U},
    {idc::kFilter, {&kFilter}, U},
    {idc::kPwmHysteresis, {&kPwmHysteresis}, U},
    {idc::kDrv3Enable, {&kDrv3Enable}, U},
    {idc::kDrv2Enable, {&kDrv2Enable}, U},
    {idc::kPfmThreshold, {&kPfmThreshold}, U},
    {idc::kCurrentLimit, {&kCurrentLimit}, U},
    {idc::kConfig, {&kEnableBacklight}, Role::ByLoad},
};

const Writer* WriterOf(int id)
{
    const auto it = std::ranges::find(kWriters, id, &Writer::id);
    return it == std::end(kWriters) ? nullptr : &*it;
}

QString RegisterTitle(const RegisterInfo& info)
{
    return QStringLiteral("Register %1: %2 (%3)")
        .arg(HexText(info.address), QString::fromUtf8(info.name),
             QString::fromUtf8(AccessText(info.access)));
}

QString WriterText(const Writer& writer)
{
    QStringList lines;
    for (const FieldInfo* field : writer.fields) {
        if (!field) break;
        lines << QStringLiteral("Register %1, %2: %3")
                     .arg(HexText(field->reg), QString::fromStdString(BitsText(*field)),
                          QString::fromUtf8(field->name));
    }
    if (writer.id == idc::kManualWrite)
        lines << QStringLiteral("Register at Reg Addr, bits 7-0: Data");
    if (writer.id == idc::kLoad || writer.role == Role::ByLoad) {
        QStringList registers;
        for (const RegisterValue& rv : kPresetE0.values) registers << HexText(rv.reg);
        lines << QStringLiteral("Registers %1, bits 7-0: the chosen configuration")
                     .arg(registers.join(QStringLiteral(", ")));
    }
    switch (writer.role) {
    case Role::Writes: break;
    case Role::ByUpdate:
        lines << QStringLiteral("Written by the group's Update button.");
        break;
    case Role::ShowsTheChip:
        lines << QStringLiteral("Read only: the chip's flag as last read.");
        break;
    case Role::ByLoad:
        lines << QStringLiteral("Written by the Load button.");
        break;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

void AddToolTipUses(std::vector<ControlUse>& uses)
{
    for (const Writer& w : kWriters)
        uses.push_back({"tooltips",
                        w.id,
                        {ControlKind::PushButton, ControlKind::CheckBox, ControlKind::RadioButton,
                         ControlKind::ComboBox, ControlKind::Slider, ControlKind::Edit}});
}

namespace {

// Sets a control's tooltip just before the control shows it, so the text is
// never stale.
class ToolTipFilter : public QObject {
public:
    explicit ToolTipFilter(CEvalDlg& dlg) : QObject(&dlg), m_dlg(dlg) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ToolTip) {
            auto* control = static_cast<QWidget*>(watched);
            control->setToolTip(m_dlg.ToolTipText(control->objectName().toInt()));
        }
        return false;
    }

private:
    const CEvalDlg& m_dlg;
};

}  // namespace

void CEvalDlg::InstallToolTips()
{
    auto* filter = new ToolTipFilter(*this);
    for (const GridBox& g : GridBoxes()) m_controls.value(g.id)->installEventFilter(filter);
    for (const Writer& w : kWriters) m_controls.value(w.id)->installEventFilter(filter);
}

namespace {

// What a control's tooltip says of the control itself.
QString OwnToolTip(const CEvalDlg& dlg, int id)
{
    if (const Writer* writer = WriterOf(id)) return WriterText(*writer);
    const GridBox* box = GridBoxOfControl(id);
    if (!box) return {};

    QStringList lines{RegisterTitle(*FindRegister(box->reg))};
    const QString shown = static_cast<QLineEdit*>(dlg.Control(id))->text();
    bool isNumber = false;
    const unsigned value = shown.toUInt(&isNumber, 16);
    if (shown.isEmpty()) {
        lines << QStringLiteral("Not read yet.");
    } else if (!isNumber || value > 0xFF) {
        lines << QStringLiteral("The chip did not answer: the value is not known.");
    } else {
        lines << QStringLiteral("Shows %1").arg(shown);
        const std::vector<DecodedField> fields = DecodeRegister(box->reg, uint8_t(value));
        if (fields.empty()) lines << QStringLiteral("No known field.");
        for (const DecodedField& field : fields) lines << QString::fromStdString(FieldLine(field));
    }
    if (dlg.MarkedChanged(id))
        lines << QStringLiteral("Changed at the last readback; it showed %1 before.")
                     .arg(dlg.ShownBefore(id));
    if (const auto* session = dlg.findChild<const CSessionMenu*>()) {
        const QString difference = session->DifferenceTip(box->reg);
        if (!difference.isEmpty()) lines << difference;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString CEvalDlg::ToolTipText(int id) const
{
    const QString own = OwnToolTip(*this, id);
    const QWidget* control = m_controls.value(id);
    const QString lead = control ? LeadLine(control) : QString();
    if (lead.isEmpty()) return own;
    return own.isEmpty() ? lead : lead + QLatin1Char('\n') + own;
}
