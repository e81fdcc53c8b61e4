// The panel frame: controls from the template, keyboard, window menu, status
// and version lines, and register access for the actions.
#include "EvalDlg.h"

#include "AboutDlg.h"
#include "ControlIds.h"
#include "ControlUses.h"
#include "Controls.h"
#include "DeviceLink.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "Fields.h"
#include "HexText.h"
#include "OptionLists.h"
#include "Pictures.h"
#include "Shadows.h"
#include "StatusLine.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

namespace {

struct ListMember {
    int id;
    CDropDownList* CEvalDlg::*list;
};
const ListMember kLists[] = {
    {idc::kMode, &CEvalDlg::m_cbMode},
    {idc::kPfmThreshold, &CEvalDlg::m_cbPfmThreshold},
    {idc::kCurrentLimit, &CEvalDlg::m_cbCurrentLimit},
    {idc::kCurrentScale, &CEvalDlg::m_cbCurrentScale},
    {idc::kVboostMax, &CEvalDlg::m_cbVboostMax},
    {idc::kBoostFreq, &CEvalDlg::m_cbBoostFreq},
    {idc::kPhaseShift, &CEvalDlg::m_cbPhaseShift},
    {idc::kPwmFreq, &CEvalDlg::m_cbPwmFreq},
    {idc::kDimThreshold, &CEvalDlg::m_cbDimThreshold},
    {idc::kPwmSlope, &CEvalDlg::m_cbPwmSlope},
    {idc::kFilter, &CEvalDlg::m_cbFilter},
    {idc::kPwmHysteresis, &CEvalDlg::m_cbPwmHysteresis},
    {idc::kConfig, &CEvalDlg::m_cbConfig},
};

struct SliderMember {
    int id;
    CTrackSlider* CEvalDlg::*slider;
};
const SliderMember kSliders[] = {
    {idc::kBrightness, &CEvalDlg::m_sldBrightness},
    {idc::kCurrent, &CEvalDlg::m_sldCurrent},
    {idc::kVboost, &CEvalDlg::m_sldVboost},
};

}  // namespace

void AddMemberUses(std::vector<ControlUse>& uses)
{
    for (const ListMember& m : kLists) uses.push_back({"lists", m.id, {ControlKind::ComboBox}});
    for (const SliderMember& m : kSliders) uses.push_back({"sliders", m.id, {ControlKind::Slider}});
    for (int line : {idc::kStatusLine, idc::kVersionLine})
        uses.push_back({"status and version lines", line, {ControlKind::Label}});
}

std::optional<unsigned> SelectedValue(const CDropDownList& list)
{
    const int index = list.GetCurSel();
    if (index < 0 || index >= int(kListValue.size())) return std::nullopt;
    return kListValue[size_t(index)];
}

CEvalDlg::CEvalDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_hIcon = LoadPanelIcon();
    const QPixmap logo = LoadLogo();
    m_controls = BuildDialog(*this, kPanelTemplate, {&m_hIcon, &logo});

    for (const ListMember& m : kLists) {
        this->*m.list = static_cast<CDropDownList*>(m_controls.value(m.id));
        connect(this->*m.list, &CDropDownList::enterPressed, this, &CEvalDlg::OnEnterKey);
    }
    for (const OptionList& options : kOptionLists) {
        auto* list = static_cast<CDropDownList*>(m_controls.value(options.controlId));
        for (const char* entry : options.entries) list->addItem(QString::fromUtf8(entry));
        list->SetCurSel(-1);
    }
    for (const SliderMember& m : kSliders)
        this->*m.slider = static_cast<CTrackSlider*>(m_controls.value(m.id));
    // The line may run on to the window's right margin, as wide as its left
    // one: nothing stands beside it there.
    constexpr int kMarginUnits = 7;
    const int margin = DialogUnits::ForFont(font()).X(kMarginUnits);
    m_statusLine =
        new CStatusLine(*static_cast<QLabel*>(m_controls.value(idc::kStatusLine)), width() - margin);
    m_versionLine = static_cast<QLabel*>(m_controls.value(idc::kVersionLine));

    BindControls();
    ConnectRoutes();

    // A shortcut, so that Alt+Space reaches the menu before a focused button
    // takes the Space as a click.
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
    m_sysMenu = new QMenu(this);
    m_sysMenu->addAction(QStringLiteral("Close"))->setData(kScClose);
    connect(m_sysMenu, &QMenu::triggered, this,
            [this](QAction* action) { OnSysCommand(action->data().toUInt()); });
}

CEvalDlg::~CEvalDlg() = default;

int CEvalDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CEvalDlg::OnCancel()
{
    reject();
}

void CEvalDlg::OnSysCommand(unsigned id)
{
    const BusAction busAction(*this);
    if ((id & 0xFFF0) == kIdmAboutBox) {
        CAboutDlg about(this);
        about.exec();
        return;
    }
    if ((id & 0xFFF0) == kScClose) {
        OnCancel();
        return;
    }
    emit windowCommand(id);
}

void CEvalDlg::ShowSystemMenu(const QPoint& globalPos)
{
    m_sysMenu->popup(globalPos);
}

void CEvalDlg::contextMenuEvent(QContextMenuEvent* event)
{
    ShowSystemMenu(event->globalPos());
}

void CEvalDlg::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        OnEnterKey();
        return;
    }
    QDialog::keyPressEvent(event);  // Escape closes, like Exit
}

void CEvalDlg::OnEnterKey()
{
    // The panel has no default button: Enter presses the focused push button,
    // and anywhere else takes the controls' values and closes.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        button->click();
        return;
    }
    pull();
    accept();
}

void CEvalDlg::SetStatusText(const QString& text)
{
    m_run.textSet = true;
    m_statusLine->Show(text, CStatusLine::Kind::Report);
}

void CEvalDlg::SetFailureText(const QString& text, const QString& detail)
{
    m_run.textSet = m_run.failureTold = true;
    m_statusLine->Show(text, CStatusLine::Kind::Failure, detail);
}

QString CEvalDlg::StatusText() const { return m_statusLine->Text(); }
void CEvalDlg::SetVersionText(const QString& text) { m_versionLine->setText(text); }
QString CEvalDlg::VersionText() const { return m_versionLine->text(); }

bool CEvalDlg::ChipRead(uint8_t reg, uint8_t& value)
{
    const bool read = RegRead(chip::kChipAddress, reg, value) == 0;
    TakeRead(reg, read ? std::optional(value) : std::nullopt);
    return read;
}

void CEvalDlg::TakeRead(uint8_t reg, std::optional<uint8_t> value)
{
    m_run.accessed = true;
    if (value)
        Learn(reg, *value, KnownValue::How::Read);
    else
        m_run.accessFailed = true;
}

bool CEvalDlg::ChipWrite(uint8_t reg, uint8_t value)
{
    const bool written =
        RegWrite(chip::kChipAddress, reg, value) == 0;
    m_run.accessed = true;
    if (written) Learn(reg, value, KnownValue::How::Written);
    if (!written) {
        m_run.accessFailed = true;
        if (!m_run.failedWrite) {
            m_run.failedWrite = reg;
            m_run.failedWriteCause = QString::fromStdString(LinkAccessFailure());
        }
    }
    return written;
}

void CEvalDlg::Learn(uint8_t reg, uint8_t value, KnownValue::How how)
{
    m_known[reg] = KnownValue{value, how, QDateTime::currentMSecsSinceEpoch()};
    emit registerKnown(reg);
}

std::optional<uint32_t> CEvalDlg::TypedNumber(const TypedField& field, const QString& text)
{
    const QString name = QString::fromUtf8(field.name);
    const std::optional<uint32_t> number = ParseWholeHex(text);
    if (!number)
        SetFailureText(QStringLiteral("%1 is not a hex number").arg(name));
    else if (*number > field.max)
        SetFailureText(
            QStringLiteral("%1 out of range (%2)").arg(name, QString::fromUtf8(field.range)));
    else
        return number;
    return std::nullopt;
}

bool CEvalDlg::WriteShown(uint8_t reg, uint8_t value, QString CEvalDlg::*box)
{
    const bool written = ChipWrite(reg, value);
    this->*box = written ? HexText(value) : kUnreadText;
    return written;
}

void CEvalDlg::UpdateRegisterBits(uint8_t reg, QString CEvalDlg::*box,
                                  const std::function<std::optional<uint8_t>(uint8_t)>& compose)
{
    uint8_t read = 0;
    const bool readOk = ChipRead(reg, read);
    pull();
    if (!readOk) {
        // Never write bits that could not be read; the control keeps the choice.
        this->*box = kUnreadText;
        SetFailureText(QStringLiteral("Read of %1 failed: nothing written").arg(HexText(reg)));
    } else if (const std::optional<uint8_t> value = compose(read)) {
        WriteShown(reg, *value, box);
    }
    push();
}

void CEvalDlg::WriteShadowBit(const chip::FieldInfo& bit, uint8_t& shadow, int CEvalDlg::*tick,
                              QString CEvalDlg::*box)
{
    pull();
    shadow = chip::WithField(bit, shadow, this->*tick ? 1 : 0);
    WriteShown(bit.reg, shadow, box);
    push();
}
