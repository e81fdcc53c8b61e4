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

#include <set>

namespace {

class ChipDifference : public PanelTest {
protected:
    // The controls whose mark shows: its colour fills much of them.
    std::set<int> Marked()
    {
        std::set<int> marked;
        for (int id : {idc::kMode, idc::kEnableBacklight, idc::kFastResume, idc::kBrightness, idc::kCurrent,
                       idc::kTarget, idc::kDrv2Enable, idc::kDrv3Enable, idc::kLed1, idc::kLed2, idc::kLed3,
                       idc::kLed4, idc::kLed5, idc::kLed6}) {
            const QImage image = Control(id)->grab().toImage();
            int coloured = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) coloured += image.pixelColor(x, y) == kChipDiffersColour;
            if (coloured > image.width() * image.height() / 4) marked.insert(id);
        }
        return marked;
    }
    // The first line of the tooltip the mouse brings up, its time as T; the
    // accessible description begins with it too when it tells the chip.
    QString Holds(int id)
    {
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), Control(id)->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(Control(id), &hover);
        QString first = Control(id)->toolTip().section('\n', 0, 0);
        EXPECT_EQ(Control(id)->accessibleDescription().section('\n', 0, 0) == first,
                  first.startsWith("The chip holds")) << id;
        return first.replace(QRegularExpression("\\d\\d:\\d\\d:\\d\\d"), "T");
    }
};

TEST_F(ChipDifference, ControlsStayAsSetAndAreMarkedWhileTheChipHoldsOtherwise)
{
    // Backlight on and "Brightness reg only"; the LED current and the drivers
    // as the controls start.
    StartOnConfiguredChip({{0x01, 0x05}, {0xA0, 0xFF}, {0xA1, 0xCF}, {0xA7, 0x3C}, {0x16, 0x15}});
    const std::set<int> atStart{idc::kEnableBacklight, idc::kMode};
    EXPECT_EQ(Marked(), atStart) << "16 is never read by the readback";
    EXPECT_EQ(Holds(idc::kEnableBacklight), "The chip holds 1 (read at T)");
    EXPECT_EQ(Holds(idc::kMode), "The chip holds Brightness reg only (read at T)");

    chip.failWrites = {0xA7};
    WriteByHand("A7", "0C");
    EXPECT_EQ(Marked(), atStart) << "a failed write teaches nothing";
    chip.failWrites.clear();
    WriteByHand("A7", "0C");
    EXPECT_EQ(Holds(idc::kDrv3Enable), "The chip holds 0 (written at T)");
    ReadbackAll();
    EXPECT_EQ(Marked(), (std::set<int>{idc::kEnableBacklight, idc::kMode, idc::kDrv2Enable, idc::kDrv3Enable}));
    EXPECT_TRUE(Ticked(idc::kDrv2Enable) && Ticked(idc::kDrv3Enable));
    EXPECT_EQ(Holds(idc::kDrv2Enable), "The chip holds 0 (read at T)");

    Click(idc::kDrv3Enable);
    EXPECT_FALSE(Marked().contains(idc::kDrv3Enable));
    EXPECT_EQ(Control(idc::kDrv3Enable)->accessibleDescription(), "");
    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "A7=1C");
    EXPECT_EQ(Marked(), atStart);
    EXPECT_EQ(Holds(idc::kDrv2Enable), "Register A7, bit 4: DRV2 Enable");

    // 16 = 15: LED 2, 4 and 6 off, once the Registers window has read it.
    Panel().OnSysCommand(CSessionMenu::kIdmRegisters);
    Panel().findChild<QPushButton*>(QString::number(CRegistersWindow::kReadAll))->click();
    EXPECT_EQ(Marked(), (std::set<int>{idc::kEnableBacklight, idc::kMode, idc::kLed2, idc::kLed4, idc::kLed6}));
}

}  // namespace
