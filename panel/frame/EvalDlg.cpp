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
    m_statusLine = static_cast<QLabel*>(m_controls.value(idc::kStatusLine));
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

void CEvalDlg::SetStatusText(const QString& text) { m_statusLine->setText(text); }
QString CEvalDlg::StatusText() const { return m_statusLine->text(); }
void CEvalDlg::SetVersionText(const QString& text) { m_versionLine->setText(text); }
QString CEvalDlg::VersionText() const { return m_versionLine->text(); }

bool CEvalDlg::ChipRead(uint8_t reg, uint8_t& value)
{
    return RegRead(chip::kChipAddress, reg, value) == 0;
}

bool CEvalDlg::ChipWrite(uint8_t reg, uint8_t value)
{
    return RegWrite(chip::kChipAddress, reg, value) == 0;
}

void CEvalDlg::UpdateRegisterBits(uint8_t reg, QString CEvalDlg::*box,
                                  const std::function<std::optional<uint8_t>(uint8_t)>& compose)
{
    uint8_t read = 0;
    const bool readOk = ChipRead(reg, read);
    pull();
    if (!readOk) {
        this->*box = kUnreadText;  // never write bits we could not read
    } else if (const std::optional<uint8_t> value = compose(read)) {
        this->*box = HexText(*value);
        ChipWrite(reg, *value);
    }
    push();
}

void CEvalDlg::WriteShadowBit(const chip::FieldInfo& bit, uint8_t& shadow, int CEvalDlg::*tick,
                              QString CEvalDlg::*box)
{
    pull();
    shadow = chip::WithField(bit, shadow, this->*tick ? 1 : 0);
    this->*box = HexText(shadow);
    push();
    ChipWrite(bit.reg, shadow);
}
