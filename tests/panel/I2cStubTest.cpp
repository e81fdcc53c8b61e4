// The panel's start-up, readback and Load on a real Linux I2C bus: the
// kernel's i2c-stub module emulating a chip at 0x2C, with i2c-tools beside.
// Runs where the stub's bus is there (the kernel test, tests/kernel/, boots
// a machine with it) or can be loaded (as root, with the module available);
// skipped elsewhere.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "LinuxI2cAdapter.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
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
        m_node = StubBusNode();
        if (!m_node.isEmpty()) return;
        if (geteuid() != 0) GTEST_SKIP() << "needs the i2c-stub module loaded, or root to load it";
        if (std::system("modprobe i2c-dev 2>/dev/null && modprobe i2c-stub chip_addr=0x2c "
                        "2>/dev/null")
            != 0)
            GTEST_SKIP() << "the i2c-stub kernel module cannot be loaded here";
        m_loaded = true;
        m_node = StubBusNode();
        if (m_node.isEmpty()) GTEST_SKIP() << "i2c-stub loaded but its bus was not found";
    }

    void TearDown() override
    {
        PanelTest::TearDown();
        if (m_loaded) [[maybe_unused]] const int rc = std::system("modprobe -r i2c-stub");
    }

    // i2cset on the stub's bus, behind the panel's back.
    void I2cSet(const std::string& reg, const std::string& value)
    {
        const QString busNumber = m_node.mid(QStringLiteral("/dev/i2c-").size());
        const std::string command = "i2cset -y " + busNumber.toStdString() + " 0x2c " + reg + " " + value;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    QString m_node;
    bool m_loaded = false;
};

}  // namespace

TEST_F(I2cStubTest, StartupProgramsTheBlankChipAndReadsItBack)
{
    I2cSet("0x72", "0x00");  // blank, whatever ran on the stub before
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
}

TEST_F(I2cStubTest, ReadbackAllShowsWhatI2csetWroteAndLoadWritesThePreset)
{
    const auto bus = MakeLinuxI2cAdapter(m_node.toStdString());
    StartPanelOn(bus.get());
    I2cSet("0xa5", "0x3c");
    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA5), "3C");

    ChooseEntry(idc::kConfig, 8);
    Click(idc::kLoad);
    EXPECT_EQ(Panel().StatusText(), "Config E8 loaded");
    EXPECT_EQ(Text(idc::kRegA5), "24");
    EXPECT_EQ(Text(idc::kRegAE), "0F");
    EXPECT_EQ(Text(idc::kReg98), "1B");
}
