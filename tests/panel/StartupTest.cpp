// Start-up: adapter, version and status lines, blank-chip programming and
// the first readback.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"
#include "Shadows.h"

#include <QLineEdit>

namespace {

// The register traffic in a call record: "R72", "W98=00", ...
std::vector<std::string> RegisterTraffic(const std::vector<std::string>& calls)
{
    std::vector<std::string> traffic;
    for (const std::string& call : calls) {
        const QStringList words = QString::fromStdString(call).split(' ');
        if (words[0] == "RegisterRead")
            traffic.push_back(QStringLiteral("R%1").arg(words[3]).toStdString());
        else if (words[0] == "RegisterWrite")
            traffic.push_back(QStringLiteral("W%1=%2").arg(words[3], words[4]).toStdString());
    }
    return traffic;
}

const std::vector<std::string> kStartupWrites = {
    "W98=00", "W9E=20", "WA0=FF", "WA1=CF", "WA2=AF", "WA3=5E", "WA4=72", "WA5=04", "WA6=80",
    "WA7=FF", "WA8=00", "WA9=A0", "WAA=0F", "WAB=00", "WAC=00", "WAD=00", "WAE=13", "WAF=00"};

const std::vector<std::string> kReadbackReads = {
    "R00", "R01", "R02", "R03", "R04", "R05", "R06", "RA0", "RA1", "RA2", "RA3", "RA4", "RA5",
    "RA6", "RA7", "RA8", "RA9", "RAA", "RAB", "RAC", "RAD", "RAE", "RAF", "R72", "R98", "R9E"};

const int kGridBoxes[] = {
    idc::kReg00, idc::kReg01, idc::kReg02, idc::kReg03, idc::kReg04, idc::kReg05, idc::kReg06,
    idc::kRegA0, idc::kRegA1, idc::kRegA2, idc::kRegA3, idc::kRegA4, idc::kRegA5, idc::kRegA6,
    idc::kRegA7, idc::kRegA8, idc::kRegA9, idc::kRegAA, idc::kRegAB, idc::kRegAC, idc::kRegAD,
    idc::kRegAE, idc::kRegAF, idc::kReg72, idc::kReg98, idc::kReg9E};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST_F(PanelTest, BlankChipGetsTheStartupTableThenEverythingIsReadBack)
{
    chip.regs[0x02] = 0x30;
    StartPanel();
    EXPECT_EQ(RegisterTraffic(startupCalls),
              Concat(Concat({"R72"}, kStartupWrites), kReadbackReads));
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_EQ(Panel().VersionText(), "Version: USB RFW:2.5; FFW:1.0");

    EXPECT_EQ(Text(idc::kReg9E), "20");
    EXPECT_EQ(Text(idc::kRegA6), "80");
    EXPECT_EQ(Text(idc::kRegAE), "13");
    EXPECT_EQ(Text(idc::kReg02), "30");
    EXPECT_TRUE(Ticked(idc::kVboostHigh));
    EXPECT_FALSE(Ticked(idc::kVboostLow));
    EXPECT_TRUE(Ticked(idc::kIboostLow));
    EXPECT_EQ(ListText(idc::kBoostFreq), "1250kHz");
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Below 25%");
    EXPECT_EQ(ListText(idc::kPwmSlope), "200 ms");
    EXPECT_EQ(ListText(idc::kFilter), "Heavy");
    EXPECT_EQ(ListText(idc::kPwmHysteresis), "1-bit with 12-bit res");
    EXPECT_EQ(ListText(idc::kPfmThreshold), "49 uA");
    EXPECT_EQ(ListText(idc::kCurrentLimit), "1.8 A / NA");
    EXPECT_EQ(ListText(idc::kVboostMax), "25 V / 34.5 V");
    EXPECT_EQ(ListText(idc::kPhaseShift), "6 PH 6 DR");
    EXPECT_EQ(ListText(idc::kPwmFreq), "9616 Hz");
    EXPECT_EQ(ListText(idc::kCurrentScale), "100 = 23mA");
    EXPECT_TRUE(Ticked(idc::kVrefOk));  // VRef OK and VBoost OK from status 0x30
    EXPECT_TRUE(Ticked(idc::kVboostOk));
    EXPECT_FALSE(Ticked(idc::kOpen));
}

TEST_F(PanelTest, StartupSetsListsSlidersAndShadows)
{
    chip.regs[0x72] = 0x80;
    chip.regs[0xA6] = 0x85;
    StartPanel();
    EXPECT_EQ(ListText(idc::kMode), "PWM input only");
    EXPECT_EQ(SelectedEntry(idc::kConfig), 0);
    EXPECT_EQ(Panel().m_sldBrightness->value(), 0);
    EXPECT_EQ(Panel().m_sldBrightness->maximum(), 255);
    EXPECT_EQ(Panel().m_sldCurrent->value(), 4095);
    EXPECT_EQ(Panel().m_sldCurrent->maximum(), 4095);
    EXPECT_EQ(Panel().m_sldVboost->value(), 5);
    EXPECT_EQ(Panel().m_sldVboost->maximum(), 63);
    EXPECT_EQ(Panel().m_sldVboost->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(g_reg16, 0x3F);
    EXPECT_EQ(g_reg01, 0x00);
    EXPECT_EQ(g_brightnessPos, 0);
}

TEST_F(PanelTest, ConfiguredChipIsNotWrittenAtStartup)
{
    chip.regs[0x72] = 0x80;
    StartPanel();
    EXPECT_EQ(RegisterTraffic(startupCalls), Concat({"R72"}, kReadbackReads));
}

TEST_F(PanelTest, OnlyLowBitsOrTheBurnMarkInTheBurnRegisterMeanConfigured)
{
    // Erased cells may read back with high bits set: those still count as blank.
    const struct {
        uint8_t burn;
        bool blank;
    } kBurnReadings[] = {{0x00, true},  {0x20, true},  {0x70, true},  {0xF0, true},  {0x80, false},
                         {0x01, false}, {0x08, false}, {0x8F, false}, {0xF1, false}};
    for (const auto& [burn, blank] : kBurnReadings) {
        chip.regs[0x72] = burn;
        StartPanel();
        const std::vector<std::string> writes = blank ? kStartupWrites : std::vector<std::string>{};
        EXPECT_EQ(RegisterTraffic(startupCalls), Concat(Concat({"R72"}, writes), kReadbackReads))
            << int(burn);
        TearDown();
    }
}

TEST_F(PanelTest, UnreadableBurnRegisterWritesNothingAtStartup)
{
    chip.failReads = {0x72};
    StartPanel();
    EXPECT_EQ(RegisterTraffic(startupCalls), Concat({"R72"}, kReadbackReads));
    EXPECT_EQ(Text(idc::kReg72), "--");
}

TEST_F(PanelTest, WithoutAdapterEveryBoxShowsUnread)
{
    StartPanelWithoutAdapter();
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error");
    EXPECT_EQ(Panel().VersionText(), "Version");
    for (int id : kGridBoxes) EXPECT_EQ(Text(id), "--") << id;
    // Controls decoded from registers keep their construction state.
    EXPECT_EQ(SelectedEntry(idc::kBoostFreq), -1);
    EXPECT_TRUE(Ticked(idc::kPdetStandby));
    EXPECT_FALSE(Ticked(idc::kVboostHigh));
}

TEST_F(PanelTest, VersionBytesArePackedIntoOneDigitEach)
{
    chip.firmware = {1, 16, 0, 2, 0};
    StartPanel();
    EXPECT_EQ(Panel().VersionText(), "Version: USB RFW:2.0; FFW:0.2");
}

TEST_F(PanelTest, AdapterSetupFailureIsReportedButTheChipIsStillRead)
{
    chip.i2cResult = -1;
    StartPanel();
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error");
    EXPECT_EQ(Panel().VersionText(), "Version");
    EXPECT_EQ(RegisterTraffic(startupCalls).size(), 1u + 18u + 26u);
}
