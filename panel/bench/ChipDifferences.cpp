#include "ChipDifferences.h"

#include "BoxMarks.h"
#include "ControlIds.h"
#include "Controls.h"
#include "EvalDlg.h"
#include "Fields.h"
#include "HexText.h"
#include "NamedFields.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <algorithm>

namespace {

using Shows = CChipDifferences::Shows;

struct WatchedControl {
    int id;
    const char* field;  // as the register map names it
    Shows shows;
};

const WatchedControl kWatchedControls[] = {
    {idc::kMode, chip::kMode.name, Shows::Entry},
    {idc::kEnableBacklight, chip::kEnableBacklight.name, Shows::Tick},
    {idc::kFastResume, chip::kFastResume.name, Shows::Tick},
    {idc::kBrightness, chip::kBrightness.name, Shows::Position},
    {idc::kCurrent, chip::kLedCurrent.name, Shows::Position},
    {idc::kTarget, chip::kLedCurrent.name, Shows::HexNumber},
    {idc::kDrv2Enable, chip::kDrv2Enable.name, Shows::Tick},
    {idc::kDrv3Enable, chip::kDrv3Enable.name, Shows::Tick},
    {idc::kLed1, chip::kLed1.name, Shows::Tick},
    {idc::kLed2, chip::kLed2.name, Shows::Tick},
    {idc::kLed3, chip::kLed3.name, Shows::Tick},
    {idc::kLed4, chip::kLed4.name, Shows::Tick},
    {idc::kLed5, chip::kLed5.name, Shows::Tick},
    {idc::kLed6, chip::kLed6.name, Shows::Tick},
};

bool Agrees(const QWidget* control, Shows shows, unsigned value)
{
    switch (shows) {
    case Shows::Tick: return static_cast<const QAbstractButton*>(control)->isChecked() == (value != 0);
    case Shows::Entry: return SelectedValue(*static_cast<const CDropDownList*>(control)) == value;
    case Shows::Position: return unsigned(static_cast<const QSlider*>(control)->value()) == value;
    case Shows::HexNumber: {
        const QString typed = static_cast<const QLineEdit*>(control)->text();
        return typed.isEmpty() || ParseWholeHex(typed) == value;
    }
    }
    return true;
}

struct KnownField {
    unsigned value;
    KnownValue last;  // of its register learned last
};

// Nothing until every register of the field is known. Taken at every read
// of a register: the parts put together here, without a map of registers.
std::optional<KnownField> Known(const CEvalDlg& dlg, const chip::NamedField& field)
{
    unsigned value = 0;
    const KnownValue* last = nullptr;
    for (const chip::FieldPart& part : field.parts) {
        const std::optional<KnownValue>& known = dlg.Known(part.field->reg);
        if (!known) return std::nullopt;
        value |= chip::FieldValue(*part.field, known->value) << part.shift;
        if (!last || last->at < known->at) last = &*known;
    }
    return KnownField{value, *last};
}

QString ChipHolds(const chip::NamedField& field, const KnownField& known)
{
    return QStringLiteral("The chip holds %1 (%2 at %3)")
        .arg(QString::fromStdString(chip::MeaningOf(field, known.value)),
             known.last.how == KnownValue::How::Read ? QStringLiteral("read")
                                                     : QStringLiteral("written"),
             ClockText(known.last.at));
}

}  // namespace

CChipDifferences::CChipDifferences(CEvalDlg& dlg) : QObject(&dlg), m_dlg(dlg)
{
    m_watched.reserve(std::size(kWatchedControls));
    for (const WatchedControl& w : kWatchedControls) {
        m_watched.push_back({dlg.Control(w.id), chip::LookUpField(w.field).field, w.shows, false});
        const Watched& watched = m_watched.back();
        const auto refresh = [this, index = m_watched.size() - 1] { Refresh(m_watched[index]); };
        // Whoever changes the control, the user or a push.
        switch (w.shows) {
        case Shows::Tick:
            connect(static_cast<QAbstractButton*>(watched.control), &QAbstractButton::toggled, this,
                    refresh);
            break;
        case Shows::Entry: {
            auto* list = static_cast<CDropDownList*>(watched.control);
            connect(list, &QComboBox::currentIndexChanged, this, refresh);
            connect(list->lineEdit(), &QLineEdit::textChanged, this, refresh);
            break;
        }
        case Shows::Position:
            connect(static_cast<QSlider*>(watched.control), &QSlider::valueChanged, this, refresh);
            break;
        case Shows::HexNumber:
            connect(static_cast<QLineEdit*>(watched.control), &QLineEdit::textChanged, this,
                    refresh);
            break;
        }
    }
    connect(&dlg, &CEvalDlg::registerKnown, this, &CChipDifferences::RefreshRegister);
}

void CChipDifferences::RefreshRegister(uint8_t reg)
{
    for (Watched& watched : m_watched)
        if (std::ranges::any_of(watched.field->parts,
                                [reg](const chip::FieldPart& part) { return part.field->reg == reg; }))
            Refresh(watched);
}

void CChipDifferences::Refresh(Watched& watched)
{
    const std::optional<KnownField> known = Known(m_dlg, *watched.field);
    const bool differs = known && !Agrees(watched.control, watched.shows, known->value);
    if (differs) {
        if (!watched.marked) MarkBox(watched.control, kChipDiffersMark, kChipDiffersColour, {});
        SetLeadLine(watched.control, ChipHolds(*watched.field, *known));
    } else if (watched.marked) {
        UnmarkBox(watched.control, kChipDiffersMark);
        SetLeadLine(watched.control, {});
    }
    watched.marked = differs;
}
