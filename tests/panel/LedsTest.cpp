// LED enables (register 0x16, written from its shadow, never read) and the
// read-only status flags of register 0x02.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Shadows.h"

#include <QAccessible>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

// LED box IDs, LED 1 first: LED n drives bit n - 1.
constexpr int kLedBoxes[] = {idc::kLed1, idc::kLed2, idc::kLed3,
                             idc::kLed4, idc::kLed5, idc::kLed6};

// Status flag boxes by bit of register 0x02, bit 0 first.
constexpr int kFlagBoxes[] = {idc::kUvlo,     idc::kTsd,    idc::kOverCurrent, idc::kOverVoltage,
                              idc::kVboostOk, idc::kVrefOk, idc::kShort,       idc::kOpen};

}  // namespace

class LedsTest : public PanelTest {
protected:
    // The LED boxes as a bit pattern, LED 1 in bit 0.
    unsigned LedPattern() const
    {
        unsigned pattern = 0;
        for (int bit = 0; bit < 6; ++bit)
            if (Ticked(kLedBoxes[bit])) pattern |= 1u << bit;
        return pattern;
    }
    unsigned FlagPattern() const
    {
        unsigned pattern = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (Ticked(kFlagBoxes[bit])) pattern |= 1u << bit;
        return pattern;
    }
};

TEST_F(LedsTest, UntickingLed3AfterStartupWrites3BAndTickingItAgain3F)
{
    StartPanel();
    ASSERT_EQ(LedPattern(), 0x3Fu);
    ASSERT_EQ(g_reg16, 0x3F);

    Click(idc::kLed3);
    EXPECT_EQ(Writes(), "16=3B");
    EXPECT_EQ(LedPattern(), 0x3Bu);
    Click(idc::kLed3);
    EXPECT_EQ(Writes(), "16=3B 16=3F");
    EXPECT_EQ(LedPattern(), 0x3Fu);
    EXPECT_EQ(chip.regs[0x16], 0x3F);
    EXPECT_TRUE(chip.reads.empty());
}

TEST_F(LedsTest, EachLedBoxDrivesItsOwnBit)
{
    StartPanel();
    const std::string statusBefore = Panel().StatusText().toStdString();
    const QString reg02Before = Text(idc::kReg02);

    // Switch them off one after the other, then back on in reverse order.
    unsigned shadow = 0x3F;
    for (int bit = 0; bit < 6; ++bit) {
        Click(kLedBoxes[bit]);
        shadow &= ~(1u << bit);
        EXPECT_EQ(LedPattern(), shadow) << "LED " << bit + 1;
        EXPECT_EQ(g_reg16, shadow) << "LED " << bit + 1;
    }
    for (int bit = 5; bit >= 0; --bit) {
        Click(kLedBoxes[bit]);
        shadow |= 1u << bit;
        EXPECT_EQ(LedPattern(), shadow) << "LED " << bit + 1;
    }
    EXPECT_EQ(Writes(), "16=3E 16=3C 16=38 16=30 16=20 16=00 "
                        "16=20 16=30 16=38 16=3C 16=3E 16=3F");
    // The group changes neither the status line nor the readback grid.
    EXPECT_EQ(Panel().StatusText().toStdString(), statusBefore);
    EXPECT_EQ(Text(idc::kReg02), reg02Before);
}

TEST_F(LedsTest, AllOffThenLed1WritesOnlyBit0)
{
    StartPanel();
    Click(idc::kAllOff);
    EXPECT_EQ(Writes(), "16=00");
    EXPECT_EQ(LedPattern(), 0x00u);
    EXPECT_EQ(g_reg16, 0x00);

    Click(kLedBoxes[0]);
    EXPECT_EQ(Writes(), "16=00 16=01");
    EXPECT_EQ(LedPattern(), 0x01u);
}

TEST_F(LedsTest, AllOnAndAllOffWriteEvenWhenTheBoxesAlreadyShowIt)
{
    StartPanel();
    Click(idc::kAllOn);
    Click(idc::kAllOn);
    EXPECT_EQ(Writes(), "16=3F 16=3F");
    EXPECT_EQ(LedPattern(), 0x3Fu);

    Click(idc::kLed4);
    Click(idc::kLed6);
    Click(idc::kAllOff);
    Click(idc::kAllOff);
    Click(idc::kAllOn);
    EXPECT_EQ(Writes(), "16=3F 16=3F 16=37 16=17 16=00 16=00 16=3F");
    EXPECT_EQ(LedPattern(), 0x3Fu);
    EXPECT_EQ(g_reg16, 0x3F);
}

TEST_F(LedsTest, LedClicksStartFromTheShadowNotFromTheChip)
{
    StartPanel();
    Click(kLedBoxes[0]);  // shadow 0x3E
    chip.ClearRecords();

    // Register 0x16 written by hand: neither the boxes nor the shadow follow.
    Type(idc::kRegAddr, "16");
    Type(idc::kData, "C1");
    Click(idc::kManualWrite);
    ASSERT_EQ(Writes(), "16=C1");
    EXPECT_EQ(LedPattern(), 0x3Eu);
    EXPECT_EQ(g_reg16, 0x3E);
    chip.ClearRecords();

    // Only the clicked box's bit changes; bits 7-6 go out as 0.
    Click(kLedBoxes[1]);
    EXPECT_EQ(Writes(), "16=3C");
    EXPECT_EQ(chip.regs[0x16], 0x3C);
}

TEST_F(LedsTest, LedBoxesAreNotSetByAReadback)
{
    StartPanel();
    Click(idc::kLed5);
    chip.regs[0x16] = 0x2A;
    chip.ClearRecords();

    Click(idc::kReadbackAll);
    EXPECT_EQ(LedPattern(), 0x2Fu);
    EXPECT_EQ(g_reg16, 0x2F);
    EXPECT_EQ(std::count(chip.reads.begin(), chip.reads.end(), uint8_t(0x16)), 0);
    EXPECT_EQ(Writes(), "");
}

TEST_F(LedsTest, StatusFlagsShowTheBitsOfRegister02)
{
    chip.regs[0x02] = 0xA0;
    StartPanel();
    EXPECT_EQ(FlagPattern(), 0xA0u);
    EXPECT_TRUE(Ticked(idc::kOpen));    // Open
    EXPECT_TRUE(Ticked(idc::kVrefOk));  // VRef OK
    EXPECT_EQ(Text(idc::kReg02), "A0");

    // One bit at a time, so that no two flags can be swapped.
    for (int bit = 0; bit < 8; ++bit) {
        chip.regs[0x02] = uint8_t(1u << bit);
        Click(idc::kReadbackAll);
        EXPECT_EQ(FlagPattern(), 1u << bit) << "bit " << bit;
    }
    chip.regs[0x02] = 0x81;
    Click(idc::kReadbackAll);
    EXPECT_TRUE(Ticked(idc::kOpen));  // Open
    EXPECT_TRUE(Ticked(idc::kUvlo));  // UVLO
    EXPECT_EQ(FlagPattern(), 0x81u);
    EXPECT_EQ(Writes(), "");
}

TEST_F(LedsTest, StatusFlagsShowTheChipWhateverTheUserDoesToThem)
{
    chip.regs[0x02] = 0xA0;
    StartPanel();
    Panel().SetStatusText("Before flags");
    const std::function<void(QWidget*)> userActs[] = {
        [&](QWidget* flag) {
            QTest::mouseClick(flag, Qt::LeftButton, {}, QPoint(6, flag->height() / 2));
        },
        [&](QWidget* flag) { QTest::keyClick(flag, Qt::Key_Space); },
        [&](QWidget* flag) {
            QAccessible::queryAccessibleInterface(flag)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
        },
    };
    for (const auto& act : userActs) {
        for (int flag : kFlagBoxes) {
            Control(flag)->setFocus();
            act(Control(flag));
            EXPECT_TRUE(Control(flag)->hasFocus()) << flag;
        }
        EXPECT_EQ(FlagPattern(), 0xA0u);
    }
    EXPECT_EQ(Writes(), "");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), "Before flags");

    Click(kLedBoxes[5]);  // other actions pull and push them as they are
    EXPECT_EQ(FlagPattern(), 0xA0u);
    chip.regs[0x02] = 0x5F;
    Click(idc::kReadbackAll);  // the readback sets all eight from the chip
    EXPECT_EQ(FlagPattern(), 0x5Fu);
    EXPECT_EQ(Writes(), "16=1F");
}
