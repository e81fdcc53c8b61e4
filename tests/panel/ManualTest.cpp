// Manual Control: any register by hand.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Shadows.h"

#include <QTest>

#include <optional>

TEST_F(PanelTest, ManualWriteReachesTheChipButNotTheGridUntilReadback)
{
    MarkChipConfigured();
    StartPanel();
    Type(idc::kRegAddr, "A5");
    Type(idc::kData, "3C");
    Click(idc::kManualWrite);
    EXPECT_EQ(Writes(), "A5=3C");
    EXPECT_EQ(Text(idc::kRegA5), "00");
    EXPECT_EQ(ListText(idc::kPhaseShift), "6 PH 6 DR");
    EXPECT_EQ(Text(idc::kRegAddr), "A5");
    EXPECT_EQ(Text(idc::kData), "3C");
    ReadbackAll();
    EXPECT_EQ(Text(idc::kRegA5), "3C");
    EXPECT_EQ(ListText(idc::kPhaseShift), "3 PH 3 DR");
}

TEST_F(PanelTest, ManualAddressAcceptsPrefixAndSuffixForms)
{
    MarkChipConfigured();
    StartPanel();
    chip.regs[0x72] = 0x80;
    for (const char* address : {"0x72", "72h", " 72"}) {
        chip.ClearRecords();
        ClearText(idc::kRegAddr);
        Type(idc::kRegAddr, address);
        Click(idc::kManualRead);
        ASSERT_EQ(chip.reads.size(), 1u) << address;
        EXPECT_EQ(chip.reads[0], 0x72) << address;
        EXPECT_EQ(Text(idc::kData), "80");
    }
}

// Reg Addr, Data and Target take a whole hex number: blanks around it, "0x"
// or "h" (not both), hex digits. Anything else writes nothing and says which
// field is wrong; a number too big for its field says so.
TEST_F(PanelTest, RegAddrDataAndTargetWriteOnlyWholeHexNumbers)
{
    StartOnConfiguredChip();
    const std::optional<uint32_t> k3C = 0x3C;
    const struct {
        const char* text;
        std::optional<uint32_t> value;  // nothing: refused
    } cases[] = {
        {"3C", k3C}, {" 3c ", k3C}, {"0x3C", k3C}, {"3Ch", k3C},
        {"", {}},    {"zz", {}},    {"12G", {}},   {"3Cx", {}},  {"-1", {}}, {"0x3Ch", {}},
    };
    const auto status = [](const char* field, std::optional<uint32_t> value) {
        return value ? QString("Ready1") : QString(field) + " is not a hex number";
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = c.text;
        Panel().SetStatusText("Ready1");
        WriteByHand(text, "55");
        EXPECT_EQ(Writes(), c.value ? "3C=55" : "");
        EXPECT_EQ(Panel().StatusText(), status("Reg Addr", c.value));
        chip.ClearRecords();
        Panel().SetStatusText("Ready1");
        Click(idc::kManualRead);
        EXPECT_EQ(chip.reads, c.value ? std::vector<uint8_t>{0x3C} : std::vector<uint8_t>{});
        EXPECT_EQ(Panel().StatusText(), status("Reg Addr", c.value));
        Panel().SetStatusText("Ready1");
        WriteByHand("A7", text);
        EXPECT_EQ(Writes(), c.value ? "A7=3C" : "");
        EXPECT_EQ(Panel().StatusText(), status("Data", c.value));

        // Target: the keystroke that makes the text, then Set.
        ClearText(idc::kTarget);
        Type(idc::kTarget, text.isEmpty() ? QString("3") : text.chopped(1));
        Panel().SetStatusText("Ready1");
        chip.ClearRecords();
        if (text.isEmpty())
            QTest::keyClick(Control(idc::kTarget), Qt::Key_Backspace);
        else
            Type(idc::kTarget, text.right(1));
        ASSERT_EQ(Text(idc::kTarget), text);
        const std::string targetWrites = c.value ? "A0=3C A1=00" : "";
        EXPECT_EQ(Writes(), targetWrites);
        // Emptied to type another value: nothing written, nothing said.
        EXPECT_EQ(Panel().StatusText(), text.isEmpty() ? "Ready1" : status("Target", c.value));
        chip.ClearRecords();
        Panel().SetStatusText("Ready1");
        Click(idc::kSet);
        EXPECT_EQ(Writes(), targetWrites);
        EXPECT_EQ(Panel().StatusText(), status("Target", c.value));
        chip.ClearRecords();
    }

    // Whole numbers too big for their field keep their range texts.
    WriteByHand("1A5", "3C");
    EXPECT_EQ(Panel().StatusText(), "Reg Addr out of range (00-FF)");
    WriteByHand("zz", "1FF");
    EXPECT_EQ(Panel().StatusText(), "Reg Addr is not a hex number") << "Reg Addr is checked first";
    WriteByHand("A5", "1000000A0");
    EXPECT_EQ(Panel().StatusText(), "Data out of range (00-FF)");
    ClearText(idc::kTarget);
    Type(idc::kTarget, "1000");
    EXPECT_EQ(Panel().StatusText(), "Target out of range (000-FFF)");
    EXPECT_EQ(Writes(), "A0=01 A1=00 A0=10 A1=00 A0=00 A1=01") << "1, 10 and 100 as typed";
}

TEST_F(PanelTest, ManualReadShowsTwoDigitsOrUnread)
{
    MarkChipConfigured();
    chip.regs[0x33] = 0x0F;
    StartPanel();
    Type(idc::kRegAddr, "33");
    Type(idc::kData, "7");
    Click(idc::kManualRead);
    EXPECT_EQ(Text(idc::kData), "0F");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");

    chip.failReads = {0x33};
    Click(idc::kManualRead);
    EXPECT_EQ(Text(idc::kData), "--");
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, HandWrittenControlRegisterIsOverwrittenFromTheShadow)
{
    MarkChipConfigured();
    StartPanel();
    Type(idc::kRegAddr, "01");
    Type(idc::kData, "07");
    Click(idc::kManualWrite);
    EXPECT_EQ(g_reg01, 0x00);
    Click(idc::kFastResume);  // Fast Resume
    EXPECT_EQ(Writes(), "01=07 01=80");
}
