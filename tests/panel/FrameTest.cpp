// The panel frame: construction state, binding, routing guard, window menu,
// keyboard and layout.
#include "PanelHarness.h"

#include "AboutDlg.h"
#include "ControlIds.h"
#include "Controls.h"
#include "OptionLists.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

const int kTickedAtConstruction[] = {
    idc::kLed1, idc::kLed2,        idc::kLed3,       idc::kLed4,       idc::kLed5,
    idc::kLed6, idc::kPdetStandby, idc::kDrv2Enable, idc::kDrv3Enable, idc::kAdaptive};

}  // namespace

TEST(PanelConstruction, ControlsShowTheConstructionValuesBeforeStartup)
{
    CEvalDlg panel;
    panel.push();
    int checkBoxes = 0;
    for (QCheckBox* box : panel.findChildren<QCheckBox*>()) {
        const int id = box->objectName().toInt();
        const bool expected = std::find(std::begin(kTickedAtConstruction),
                                        std::end(kTickedAtConstruction), id)
                              != std::end(kTickedAtConstruction);
        EXPECT_EQ(box->isChecked(), expected) << "check box " << id;
        ++checkBoxes;
    }
    EXPECT_EQ(checkBoxes, 28);
    for (QRadioButton* radio : panel.findChildren<QRadioButton*>())
        EXPECT_FALSE(radio->isChecked()) << radio->objectName().toStdString();
    for (QLineEdit* edit : panel.findChildren<QLineEdit*>())
        EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
    for (CDropDownList* list : panel.findChildren<CDropDownList*>())
        EXPECT_EQ(list->GetCurSel(), -1) << list->objectName().toStdString();
    EXPECT_EQ(panel.StatusText(), "Status");
    EXPECT_EQ(panel.VersionText(), "Version");
    EXPECT_EQ(panel.m_nVboostRange, -1);
    EXPECT_EQ(panel.m_nIboostRange, -1);
}

TEST(PanelConstruction, ListsHoldTheirEntriesInOrder)
{
    CEvalDlg panel;
    int lists = 0;
    for (const OptionList& options : kOptionLists) {
        auto* list = panel.findChild<CDropDownList*>(QString::number(options.controlId));
        ASSERT_NE(list, nullptr) << options.controlId;
        ASSERT_EQ(list->count(), int(options.entries.size()));
        for (int i = 0; i < list->count(); ++i)
            EXPECT_EQ(list->itemText(i), QString::fromUtf8(options.entries[size_t(i)]));
        EXPECT_EQ(list->insertPolicy(), QComboBox::NoInsert);
        EXPECT_EQ(list->completer(), nullptr);
        ++lists;
    }
    EXPECT_EQ(lists, 13);
    EXPECT_EQ(panel.m_cbConfig->itemText(10), "E10   x   xx");
}

TEST(PanelConstruction, PullAndPushRoundTripEveryKindOfField)
{
    CEvalDlg panel;
    panel.m_strTarget = "ABC";
    panel.m_strReg9E = "20";
    panel.m_bLed3 = 0;
    panel.m_bTsd = 1;
    panel.m_nVboostRange = 1;
    panel.m_nIboostRange = 0;
    panel.push();
    EXPECT_EQ(panel.findChild<QLineEdit*>(QString::number(idc::kTarget))->text(), "ABC");
    EXPECT_FALSE(panel.findChild<QCheckBox*>(QString::number(idc::kLed3))->isChecked());
    EXPECT_TRUE(panel.findChild<QCheckBox*>(QString::number(idc::kTsd))->isChecked());
    EXPECT_TRUE(panel.findChild<QRadioButton*>(QString::number(idc::kVboostHigh))->isChecked());
    EXPECT_TRUE(panel.findChild<QRadioButton*>(QString::number(idc::kIboostLow))->isChecked());

    // Fields an action set before a pull are replaced by the controls.
    panel.m_strTarget = "stale";
    panel.m_bLed3 = 1;
    panel.m_nVboostRange = -1;
    panel.pull();
    EXPECT_EQ(panel.m_strTarget, "ABC");
    EXPECT_EQ(panel.m_bLed3, 0);
    EXPECT_EQ(panel.m_nVboostRange, 1);

    // A pair goes back to neither ticked.
    panel.m_nVboostRange = -1;
    panel.push();
    EXPECT_FALSE(panel.findChild<QRadioButton*>(QString::number(idc::kVboostLow))->isChecked());
    EXPECT_FALSE(panel.findChild<QRadioButton*>(QString::number(idc::kVboostHigh))->isChecked());
    EXPECT_TRUE(panel.findChild<QRadioButton*>(QString::number(idc::kIboostLow))->isChecked());
}

TEST_F(PanelTest, ProgramChangesRunNoActionButTheUsersEditsDo)
{
    StartPanel();
    Panel().pull();
    Panel().m_strTarget = "12";
    Panel().m_bPdetStandby = 0;
    Panel().m_nVboostRange = 0;
    Panel().push();
    Panel().m_cbCurrentScale->SetCurSel(2);
    Panel().m_sldCurrent->setValue(10);
    EXPECT_EQ(Writes(), "");

    Type(idc::kTarget, "3");
    EXPECT_EQ(Writes(), "A0=23 A1=41");
}

TEST_F(PanelTest, StartupGivesTheFocusToExitAndEnterThenCloses)
{
    StartPanel();
    EXPECT_EQ(Panel().focusWidget(), Control(idc::kExit));
    QTest::keyClick(Control(idc::kExit), Qt::Key_Return);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(Panel().result(), QDialog::Rejected);
}

TEST_F(PanelTest, EscapeClosesLikeExit)
{
    StartPanel();
    QTest::keyClick(&Panel(), Qt::Key_Escape);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(Panel().result(), QDialog::Rejected);
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, EnterPressesTheFocusedPushButton)
{
    StartPanel();
    Control(idc::kReadbackAll)->setFocus();
    QTest::keyClick(Control(idc::kReadbackAll), Qt::Key_Enter);
    EXPECT_TRUE(Panel().isVisible());
    EXPECT_EQ(chip.reads.size(), 26u);
}

TEST_F(PanelTest, EnterInAnEditPullsAndClosesAfterTheKeystrokeWrites)
{
    StartPanel();
    Type(idc::kTarget, "12");
    EXPECT_EQ(Writes(), "A0=01 A1=C0 A0=12 A1=C0");
    QTest::keyClick(Control(idc::kTarget), Qt::Key_Return);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(Panel().result(), QDialog::Accepted);
    EXPECT_EQ(Panel().m_strTarget, "12");
    EXPECT_EQ(Writes(), "A0=01 A1=C0 A0=12 A1=C0");
}

TEST_F(PanelTest, EnterInManualControlNeitherReadsNorWrites)
{
    StartPanel();
    Type(idc::kRegAddr, "A5");
    Type(idc::kData, "3C");
    QTest::keyClick(Control(idc::kData), Qt::Key_Return);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(Writes(), "");
    EXPECT_TRUE(chip.reads.empty());
}

TEST_F(PanelTest, EnterInAListFieldNeverPicksTheTypedEntry)
{
    StartPanel();
    // The exact text of an entry, typed: Qt would select it on Enter.
    ClearText(idc::kDimThreshold);
    Type(idc::kDimThreshold, "PWM Always");
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(SelectedEntry(idc::kDimThreshold), -1);
    QTest::keyClick(List(idc::kDimThreshold)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(List(idc::kDimThreshold)->count(), 12);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(Panel().result(), QDialog::Accepted);
}

TEST_F(PanelTest, TypingIntoAListLeavesItWithoutSelectionUntilAnEntryIsChosen)
{
    StartPanel();
    EXPECT_EQ(SelectedEntry(idc::kPhaseShift), 0);
    ClearText(idc::kPhaseShift);
    Type(idc::kPhaseShift, "1 PH 6 DR");
    Control(idc::kRegAddr)->setFocus();  // leaving the field picks nothing either
    EXPECT_EQ(SelectedEntry(idc::kPhaseShift), -1);
    EXPECT_EQ(ListText(idc::kPhaseShift), "1 PH 6 DR");
    EXPECT_EQ(List(idc::kPhaseShift)->count(), 8);
    EXPECT_EQ(Writes(), "");
    ChooseEntry(idc::kPhaseShift, 5);
    EXPECT_EQ(SelectedEntry(idc::kPhaseShift), 5);
    EXPECT_EQ(ListText(idc::kPhaseShift), "3 PH 6 DR");
    EXPECT_EQ(Writes(), "A5=54");
}

TEST_F(PanelTest, TypingInAnEditableListLeavesTheListItselfWithoutCurrentEntry)
{
    const struct {
        int list, trigger;  // the button that acts on the list, 0: choosing acts
        const char* typedWrites;
        int choice;
        const char* chosenWrites;
    } kLists[] = {
        {idc::kCurrentLimit, idc::kUpdateA7, "", 1, "A7=3D"},   // Current Limit, Update A7
        {idc::kPwmHysteresis, idc::kUpdateA3, "", 0, "A3=5C"},  // PWM Hysteresis, Update A3
        {idc::kDimThreshold, 0, "", 7, "A4=72"},  // the threshold it had before the typing
        {idc::kConfig, idc::kLoad,                // Config, Load: the default E0 without an entry
         "01=00 98=1B 9E=22 A0=FF A1=CF A2=2F A3=5E A4=72 A5=14 A6=80 A7=FE A8=00 A9=A0 AA=0F "
         "AB=00 AC=00 AD=00 AE=0F AF=00",
         3, "01=00"},
    };
    for (const auto& c : kLists) {
        StartPanel();
        CDropDownList* list = List(c.list);
        QLineEdit* field = list->lineEdit();
        const QString typed = "xy" + list->currentText();
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClicks(field, "xy");
        EXPECT_EQ(list->currentIndex(), -1) << c.list;
        EXPECT_EQ(field->text(), typed) << c.list;
        EXPECT_EQ(field->cursorPosition(), 2) << c.list;
        list->showPopup();
        EXPECT_TRUE(list->view()->selectionModel()->selectedIndexes().isEmpty()) << c.list;
        list->hidePopup();
        if (c.trigger) Click(c.trigger);
        EXPECT_EQ(Writes(), c.typedWrites) << c.list;
        EXPECT_EQ(list->currentIndex(), -1) << c.list;
        EXPECT_EQ(field->text(), typed) << c.list;

        chip.ClearRecords();
        ChooseEntry(c.list, c.choice);
        if (c.trigger) Click(c.trigger);
        EXPECT_EQ(Writes(), c.chosenWrites) << c.list;
        EXPECT_EQ(list->currentIndex(), c.choice) << c.list;
        EXPECT_EQ(field->text(), list->itemText(c.choice)) << c.list;
        TearDown();
    }
}

TEST_F(PanelTest, WindowMenuOffersCloseAndAbout)
{
    StartPanel();
    // Sent where the keyboard is: to Exit, which must not take it as a click.
    QTest::keyClick(Panel().focusWidget(), Qt::Key_Space, Qt::AltModifier);
    QMenu* menu = Panel().SystemMenu();
    ASSERT_TRUE(menu->isVisible());
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 3);  // the session entries follow (SessionTest)
    EXPECT_EQ(actions[0]->text(), "Close");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "&About ZR5130A...");
    EXPECT_EQ(actions[2]->data().toUInt(), CEvalDlg::kIdmAboutBox);
    menu->hide();

    // A right-click on the panel's background opens it too.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                 Panel().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&Panel(), &rightClick);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    actions[0]->trigger();
    EXPECT_FALSE(Panel().isVisible());
}

TEST_F(PanelTest, SystemCommandsOpenAboutByTheirMaskedValue)
{
    StartPanel();
    for (unsigned id : {0x0010u, 0x0013u, 0x001Fu}) {
        QString seen;
        QTimer::singleShot(0, [&seen] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = QString::fromLatin1(modal->metaObject()->className());
                static_cast<QDialog*>(modal)->accept();
            }
        });
        Panel().OnSysCommand(id);
        EXPECT_EQ(seen, "CAboutDlg") << id;
    }
    Panel().OnSysCommand(0x0020);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(Panel().isVisible());
    Panel().OnSysCommand(CEvalDlg::kScClose);
    EXPECT_FALSE(Panel().isVisible());
}

TEST(AboutBox, ShowsItsTextAndClosesWithOk)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About ZR5130");
    ASSERT_NE(about.findChild<QPushButton*>(QString::number(idc::kAboutOk)), nullptr);
    bool hasVersion = false;
    for (QLabel* label : about.findChildren<QLabel*>())
        hasVersion = hasVersion || label->text() == "ZR5130 Version 1.0";
    EXPECT_TRUE(hasVersion);
    about.show();
    QTest::mouseClick(about.findChild<QPushButton*>(QString::number(idc::kAboutOk)),
                      Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(PanelTest, WindowIsFixedSizeWithEveryControlVisibleInside)
{
    StartPanel();
    EXPECT_EQ(Panel().windowTitle(), "ZR5130SQ Evaluation Software");
    EXPECT_EQ(Panel().minimumSize(), Panel().maximumSize());
    EXPECT_FALSE(Panel().windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(Panel().windowFlags() & Qt::WindowMaximizeButtonHint);
    // 575 x 435 dialog units of an 8-point sans font.
    EXPECT_NEAR(Panel().width(), 976, 80);
    EXPECT_NEAR(Panel().height(), 696, 60);

    const QImage image = Panel().grab().toImage();
    EXPECT_EQ(image.size(), Panel().size());
    const QRect inside = Panel().rect();
    // The controls: the window's own and those its frames hold; not the
    // menu, nor windows of their own beside it.
    QWidgetList all;
    for (QWidget* w : Panel().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QMenu*>(w) || w->isWindow()) continue;
        all << w;
        if (qobject_cast<QGroupBox*>(w)) all << w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    }
    int withId = 0;
    for (QWidget* w : all) {
        const QRect inWindow(w->mapTo(&Panel(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
        EXPECT_TRUE(inside.contains(inWindow))
            << w->objectName().toStdString() << " " << w->accessibleName().toStdString();
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty() && !w->objectName().isEmpty()) << w->objectName().toStdString();
        if (w->objectName().toInt() > 0) ++withId;
    }
    // The template's controls and the board line beside them.
    EXPECT_EQ(all.size(), 148 + 1);
    EXPECT_EQ(withId, 94 + 1);
}

TEST_F(PanelTest, RadioPairsAreIndependent)
{
    StartPanel();
    ASSERT_TRUE(Ticked(idc::kVboostHigh));
    ASSERT_TRUE(Ticked(idc::kIboostLow));
    Click(idc::kVboostLow);
    EXPECT_TRUE(Ticked(idc::kVboostLow));
    EXPECT_FALSE(Ticked(idc::kVboostHigh));
    EXPECT_TRUE(Ticked(idc::kIboostLow));
    EXPECT_FALSE(Ticked(idc::kIboostHigh));
}
