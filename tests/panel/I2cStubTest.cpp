// The panel's start-up and readback on a real Linux I2C bus: the kernel's
// i2c-stub module emulating a chip at 0x2C. Runs only where the module can be
// loaded (as root, with the module available); skipped elsewhere.
#include "PanelHarness.h"

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
    EXPECT_EQ(Text(1129), "00");
    EXPECT_EQ(Text(1060), "80");
    EXPECT_EQ(Text(1082), "13");
    EXPECT_TRUE(Ticked(1133));
    EXPECT_EQ(ListText(1119), "1250kHz");
    EXPECT_EQ(ListText(1123), "PWM Below 25%");

    Type(1016, "A5");
    Type(1017, "3C");
    Click(1018);
    Click(1020);
    EXPECT_EQ(Text(1059), "3C");
}
