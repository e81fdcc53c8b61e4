#include "FaultFlags.h"

#include "BoxMarks.h"
#include "EvalDlg.h"
#include "FailureLook.h"
#include "Fields.h"

#include <QWidget>

#include <utility>

namespace {

struct FaultFlag {
    const chip::FieldInfo& field;
    unsigned faultWhen;  // the flag's value that tells of a fault
};

const FaultFlag kFaultFlags[] = {
    {chip::kOpen, 1},        {chip::kShort, 1},       {chip::kVrefOk, 0}, {chip::kVboostOk, 0},
    {chip::kOverVoltage, 1}, {chip::kOverCurrent, 1}, {chip::kTsd, 1},    {chip::kUvlo, 1},
};

}  // namespace

CFaultFlags::CFaultFlags(CEvalDlg& dlg) : QObject(&dlg), m_dlg(dlg)
{
    connect(&dlg, &CEvalDlg::registerKnown, this, [this](uint8_t reg) {
        // A write to the status register tells nothing of the chip's flags.
        const std::optional<KnownValue>& known = m_dlg.Known(reg);
        if (reg == chip::kStatusRegister && known->how == KnownValue::How::Read) Show(known->value);
    });
}

void CFaultFlags::Show(uint8_t status)
{
    if (std::exchange(m_shown, status) == status) return;
    for (const FaultFlag& flag : kFaultFlags) {
        QWidget* box = m_dlg.DecodedCheckBox(chip::kStatusRegister, flag.field.lsb);
        const bool fault = chip::FieldValue(flag.field, status) == flag.faultWhen;
        SetTextColour(*box, fault ? std::optional(kFailureColour) : std::nullopt);
        const QString name = QString::fromUtf8(flag.field.name);
        SetLeadLine(box, !fault               ? QString()
                         : flag.faultWhen == 1 ? QStringLiteral("%1: fault").arg(name)
                                               : QStringLiteral("%1 cleared: fault").arg(name));
    }
}
