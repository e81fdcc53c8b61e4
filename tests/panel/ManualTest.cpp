// Manual Control: any register by hand.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Shadows.h"

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

TEST_F(PanelTest, EmptyOrNonHexManualTextMeansZero)
{
    MarkChipConfigured();
    StartPanel();
    Click(idc::kManualWrite);
    EXPECT_EQ(Writes(), "00=00");
    Type(idc::kRegAddr, "zz");
    Type(idc::kData, "q");
    Click(idc::kManualWrite);
    EXPECT_EQ(Writes(), "00=00 00=00");
}

TEST_F(PanelTest, ManualNumbersBeyondAByteAreRefusedNotTruncated)
{
    MarkChipConfigured();
    StartPanel();
    const struct {
        const char* address;
        const char* data;
        const char* status;
    } cases[] = {
        {"1A5", "3C", "Reg Addr out of range (00-FF)"},
        {"-1", "3C", "Reg Addr out of range (00-FF)"},
        {"A5", "1FF", "Data out of range (00-FF)"},
        {"A5", "-1", "Data out of range (00-FF)"},
        {"A5", "1000000A0", "Data out of range (00-FF)"},
    };
    for (const auto& c : cases) {
        ClearText(idc::kRegAddr);
        Type(idc::kRegAddr, c.address);
        ClearText(idc::kData);
        Type(idc::kData, c.data);
        Panel().SetStatusText("Ready1");
        Click(idc::kManualWrite);
        EXPECT_EQ(Writes(), "") << c.address << " " << c.data;
        EXPECT_EQ(Panel().StatusText(), c.status);
        EXPECT_EQ(Text(idc::kRegAddr), c.address);
        EXPECT_EQ(Text(idc::kData), c.data);
    }
    ClearText(idc::kRegAddr);
    Type(idc::kRegAddr, "100");
    Click(idc::kManualRead);
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), "Reg Addr out of range (00-FF)");
    EXPECT_EQ(Text(idc::kData), "1000000A0");
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
