// The panel's start-up and readback on a real Linux I2C bus: the kernel's
// i2c-stub module emulating a chip at 0x2C. Runs only where the module can be
// loaded (as root, with the module available); skipped elsewhere.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "LinuxI2cAdapter.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

constexpr const char* kStubName = "SMBus stub driver";

// The /dev node of the stub's bus, or empty.
QString StubBusNode()
{
    const QDir buses(QStringLiteral("/sys/class/i2c-dev"));
    for (const QString& bus : buses.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(buses.filePath(bus + "/name"));
        if (name.open(QIODevice::ReadOnly) && name.readAll().trimmed() == kStubName)
            return "/dev/" + bus;
    }
    return {};
}

class I2cStubTest : public PanelTest {
protected:
    void SetUp() override
    {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to load the i2c-stub module";
        if (std::system("modprobe i2c-dev 2>/dev/null && modprobe i2c-stub chip_addr=0x2c "
                        "2>/dev/null")
            != 0)
            GTEST_SKIP() << "the i2c-stub kernel module cannot be loaded here";
        m_node = StubBusNode();
        if (m_node.isEmpty()) GTEST_SKIP() << "i2c-stub loaded but its bus was not found";
    }

    void TearDown() override
    {
        PanelTest::TearDown();
        if (!m_node.isEmpty()) [[maybe_unused]] const int rc = std::system("modprobe -r i2c-stub");
    }

    QString m_node;
};

}  // namespace

TEST_F(I2cStubTest, StartupProgramsTheBlankChipAndReadsItBack)
{
    const auto bus = MakeLinuxI2cAdapter(m_node.toStdString());
    StartPanelOn(bus.get());
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_EQ(Panel().VersionText(), "Version: USB RFW:0.0; FFW:0.0");
    EXPECT_EQ(Text(idc::kReg72), "00");
    EXPECT_EQ(Text(idc::kRegA6), "80");
    EXPECT_EQ(Text(idc::kRegAE), "13");
    EXPECT_TRUE(Ticked(idc::kVboostHigh));
    EXPECT_EQ(ListText(idc::kBoostFreq), "1250kHz");
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Below 25%");

    Type(idc::kRegAddr, "A5");
    Type(idc::kData, "3C");
    Click(idc::kManualWrite);
    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA5), "3C");
}
