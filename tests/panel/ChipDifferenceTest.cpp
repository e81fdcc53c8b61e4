// Controls that no readback sets keep what the user made of them; while they
// and the chip differ, they are marked and say what the chip holds.
#include "PanelHarness.h"

#include "BoxMarks.h"
#include "ControlIds.h"
#include "RegistersWindow.h"
#include "SessionMenu.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <set>

namespace {

const int kWatched[] = {idc::kMode,       idc::kEnableBacklight, idc::kFastResume, idc::kBrightness,
                        idc::kCurrent,    idc::kTarget,          idc::kDrv2Enable, idc::kDrv3Enable,
                        idc::kLed1,       idc::kLed2,            idc::kLed3,       idc::kLed4,
                        idc::kLed5,       idc::kLed6};

// Whether the mark's colour fills much of the control's picture.
bool ShowsMark(QWidget* control)
{
    const QImage image = control->grab().toImage();
    int marked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) marked += image.pixelColor(x, y) == kChipDiffersColour;
    return marked > image.width() * image.height() / 4;
}

QString HoverToolTip(QWidget* control)
{
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(control, &hover);
    return control->toolTip();
}

class ChipDifference : public PanelTest {
protected:
    // Starts on a configured chip that agrees with every control as the
    // start-up sets them, but for values.
    void StartOnAgreeingChip(std::initializer_list<std::pair<uint8_t, uint8_t>> values = {})
    {
        for (const auto& [reg, value] : {std::pair<uint8_t, uint8_t>{0x00, 0x00}, {0x01, 0x00},
                                         {0xA0, 0xFF}, {0xA1, 0xCF}, {0xA7, 0x30}})
            chip.regs[reg] = value;
        StartOnConfiguredChip(values);
    }
    bool Marked(int id) { return BoxMark(Control(id)) == kChipDiffersMark; }
    std::set<int> MarkedControls()
    {
        std::set<int> marked;
        for (int id : kWatched)
            if (Marked(id)) marked.insert(id);
        return marked;
    }
    // The first line of the control's tooltip, which its accessible
    // description begins with too.
    QString Holds(int id)
    {
        const QString first = HoverToolTip(Control(id)).section('\n', 0, 0);
        EXPECT_TRUE(Control(id)->accessibleDescription().startsWith(first)) << id;
        return first;
    }
};

const QRegularExpression kReadNow(QStringLiteral("^The chip holds (.*) \\(read at \\d\\d:\\d\\d:\\d\\d\\)$"));

TEST_F(ChipDifference, DriverEnablesStayTickedAndMarkedUntilTheyAndTheChipAgree)
{
    StartOnAgreeingChip({{0xA7, 0x3C}});
    EXPECT_EQ(MarkedControls(), std::set<int>{});

    chip.failWrites = {0xA7};
    WriteByHand("A7", "0C");
    EXPECT_EQ(MarkedControls(), std::set<int>{}) << "a failed write teaches nothing";
    chip.failWrites.clear();
    WriteByHand("A7", "0C");
    EXPECT_TRUE(Holds(idc::kDrv3Enable).startsWith("The chip holds 0 (written at "));

    ReadbackAll();
    EXPECT_EQ(MarkedControls(), (std::set<int>{idc::kDrv2Enable, idc::kDrv3Enable}));
    for (int id : {idc::kDrv2Enable, idc::kDrv3Enable}) {
        EXPECT_TRUE(Ticked(id)) << "the readback leaves the box as the user set it";
        EXPECT_EQ(kReadNow.match(Holds(id)).captured(1), "0") << id;
        EXPECT_TRUE(ShowsMark(Control(id)));
    }
    EXPECT_TRUE(HoverToolTip(Control(idc::kDrv2Enable))
                    .contains("\nRegister A7, bit 4: DRV2 Enable\n")) << "its own tooltip follows";

    Click(idc::kDrv3Enable);
    EXPECT_EQ(Writes(), "") << "the box alone writes nothing";
    EXPECT_EQ(MarkedControls(), std::set<int>{idc::kDrv2Enable});
    EXPECT_FALSE(ShowsMark(Control(idc::kDrv3Enable)));
    EXPECT_EQ(Control(idc::kDrv3Enable)->accessibleDescription(), "");

    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "A7=1C");
    EXPECT_EQ(MarkedControls(), std::set<int>{});
    EXPECT_TRUE(HoverToolTip(Control(idc::kDrv2Enable)).startsWith("Register A7"));
}

TEST_F(ChipDifference, TheStartUpMarksWhatTheChipHoldsOtherwise)
{
    const struct {
        uint8_t reg, value;
        std::set<int> marked;
        QString holds;  // what the first of them (by ID) says the chip holds
    } cases[] = {
        {0x01, 0x00, {}, ""},
        {0x01, 0x04, {idc::kMode}, "Brightness reg only"},
        {0x01, 0x05, {idc::kEnableBacklight, idc::kMode}, "1"},
        {0x01, 0x80, {idc::kFastResume}, "1"},
        {0x00, 0x80, {idc::kBrightness}, "128"},
        {0xA0, 0x34, {idc::kCurrent}, "3892"},
        {0xA7, 0x20, {idc::kDrv2Enable}, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.holds.toStdString());
        StartOnAgreeingChip({{c.reg, c.value}});
        EXPECT_EQ(MarkedControls(), c.marked);
        if (!c.marked.empty()) {
            EXPECT_EQ(kReadNow.match(Holds(*c.marked.begin())).captured(1), c.holds);
            for (int id : c.marked) EXPECT_TRUE(ShowsMark(Control(id))) << id;
        }
        EXPECT_EQ(Writes(), "");
        TearDown();
    }
}

TEST_F(ChipDifference, WritesOfThePanelTakeTheMarksAway)
{
    StartOnAgreeingChip({{0x01, 0x05}});
    ASSERT_EQ(MarkedControls(), (std::set<int>{idc::kMode, idc::kEnableBacklight}));
    Click(idc::kEnableBacklight);  // writes 01 = 81 from its shadow: Mode 0 as the list shows
    EXPECT_EQ(Writes(), "01=81");
    EXPECT_EQ(MarkedControls(), std::set<int>{});

    // Target writes as it is typed; the current slider stays where it was.
    Type(idc::kTarget, "123");
    EXPECT_EQ(MarkedControls(), std::set<int>{idc::kCurrent});
    EXPECT_TRUE(Holds(idc::kCurrent).startsWith("The chip holds 291 (written at "));
    ReleaseSliderAt(idc::kCurrent, 0x123);
    EXPECT_EQ(MarkedControls(), std::set<int>{});
    Type(idc::kTarget, "X");
    EXPECT_EQ(MarkedControls(), std::set<int>{idc::kTarget}) << "123X is no number the chip holds";
}

TEST_F(ChipDifference, LedBoxesAreComparedOnceRegister16IsKnown)
{
    StartOnAgreeingChip({{0x16, 0x15}});
    EXPECT_EQ(MarkedControls(), std::set<int>{}) << "the readback never reads 16";

    Panel().OnSysCommand(CSessionMenu::kIdmRegisters);
    auto* window = Panel().findChild<CRegistersWindow*>();
    ASSERT_NE(window, nullptr);
    window->findChild<QPushButton*>(QString::number(CRegistersWindow::kReadAll))->click();
    EXPECT_EQ(MarkedControls(), (std::set<int>{idc::kLed2, idc::kLed4, idc::kLed6}));
    EXPECT_EQ(kReadNow.match(Holds(idc::kLed4)).captured(1), "0");
    window->close();

    Click(idc::kLed2);  // off, as the chip has it
    EXPECT_EQ(Writes(), "16=3D") << "from the panel's own copy: the others on";
    EXPECT_EQ(MarkedControls(), std::set<int>{});
}

}  // namespace
