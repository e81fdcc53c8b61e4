#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"
#include "Shadows.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QStyleOptionSlider>
#include <QTest>

QPoint SliderHandleCenter(QSlider& slider)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.upsideDown = slider.invertedAppearance();
    option.subControls = QStyle::SC_All;
    return slider.style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
        .center();
}

void PanelTest::Start(TvxAdapter* adapter)
{
    ResetShadowsToProgramStart();
    m_adapter = std::make_unique<ScopedAdapter>(adapter);
    m_panel = std::make_unique<CEvalDlg>();
    m_panel->SetAdapterStart(adapterStart);
    m_panel->OnInitDialog();
    m_panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_panel.get()));
    m_panel->activateWindow();
    startupCalls = chip.calls;
    chip.ClearRecords();
}

void PanelTest::StartPanel() { Start(&chip); }
void PanelTest::StartPanelWithoutAdapter() { Start(nullptr); }
void PanelTest::StartPanelOn(TvxAdapter* adapter) { Start(adapter); }

void PanelTest::StartOnConfiguredChip(std::initializer_list<std::pair<uint8_t, uint8_t>> values)
{
    MarkChipConfigured();
    for (const auto& [reg, value] : values) chip.regs[reg] = value;
    StartPanel();
}

void PanelTest::WriteByHand(const QString& reg, const QString& data)
{
    ClearText(idc::kRegAddr);
    Type(idc::kRegAddr, reg);
    ClearText(idc::kData);
    Type(idc::kData, data);
    Click(idc::kManualWrite);
}

void PanelTest::TearDown()
{
    if (m_panel) m_panel->close();
    m_panel.reset();
    m_adapter.reset();
}

void PanelTest::ReadbackAll()
{
    chip.ClearRecords();
    Click(idc::kReadbackAll);
}

QWidget* PanelTest::Control(int id) const
{
    QWidget* w = m_panel->findChild<QWidget*>(QString::number(id));
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
}

CDropDownList* PanelTest::List(int id) const { return qobject_cast<CDropDownList*>(Control(id)); }
CTrackSlider* PanelTest::Slider(int id) const { return qobject_cast<CTrackSlider*>(Control(id)); }

void PanelTest::Click(int id)
{
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    ASSERT_NE(button, nullptr);
    // Check boxes and radios answer to clicks on their indicator and text.
    const QPoint at = qobject_cast<QPushButton*>(button) ? button->rect().center()
                                                          : QPoint(6, button->height() / 2);
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

void PanelTest::ChooseEntry(int id, int index)
{
    CDropDownList* list = List(id);
    ASSERT_NE(list, nullptr);
    list->showPopup();
    QAbstractItemView* view = list->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (view->isVisible()) list->hidePopup();
}

void PanelTest::ReleaseSliderAt(int id, int position)
{
    CTrackSlider* slider = Slider(id);
    ASSERT_NE(slider, nullptr);
    slider->setValue(position);
    QTest::mouseClick(slider, Qt::LeftButton, {}, SliderHandleCenter(*slider));
    ASSERT_EQ(slider->value(), position) << "the click moved the slider";
}

void PanelTest::Type(int id, const QString& text)
{
    QWidget* w = Control(id);
    if (auto* list = qobject_cast<CDropDownList*>(w)) w = list->lineEdit();
    w->setFocus();
    QTest::keyClicks(w, text);
}

void PanelTest::ClearText(int id)
{
    QWidget* w = Control(id);
    if (auto* list = qobject_cast<CDropDownList*>(w)) w = list->lineEdit();
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
}

QString PanelTest::Text(int id) const
{
    QWidget* w = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    ADD_FAILURE() << "control " << id << " has no text";
    return {};
}

QString PanelTest::BoxText(uint8_t reg) const { return Text(m_panel->RegisterBox(reg)->objectName().toInt()); }

QString PanelTest::Shown(int id) const
{
    QWidget* w = Control(id);
    if (auto* list = qobject_cast<CDropDownList*>(w)) return list->currentText();
    if (auto* slider = qobject_cast<CTrackSlider*>(w)) return QString::number(slider->value());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return QString::fromLatin1(button->isChecked() ? "ticked" : "unticked");
    ADD_FAILURE() << "control " << id << " shows nothing a test reads";
    return {};
}

bool PanelTest::Ticked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button && button->isChecked();
}

QString PanelTest::ListText(int id) const { return List(id)->currentText(); }
int PanelTest::SelectedEntry(int id) const { return List(id)->GetCurSel(); }
