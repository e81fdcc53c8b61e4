// The panel on a Linux bus held low: every transfer waits out the bridge's
// timeout and fails with ETIMEDOUT.
#include "PanelHarness.h"

#include "FakeI2cDevSys.h"
#include "LinuxI2cAdapter.h"

namespace {

const QString kCause = QStringLiteral("I2C bus /dev/i2c-7 timed out: is SDA or SCL held low? "
                                      "Check the board's power and pull-ups");

size_t Count(const std::string& text, const std::string& line)
{
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
    return count;
}

}  // namespace

TEST_F(PanelTest, EachActionTriesAStuckBusOnceAndNamesItUntilItIsReleased)
{
    FakeI2cDevSys sys;
    LinuxI2cAdapter bus("/dev/i2c-7", sys);
    sys.transferFailures.assign(200, -ETIMEDOUT);
    testing::internal::CaptureStderr();

    StartPanelOn(&bus);
    EXPECT_EQ(sys.CountCalls("smbus"), 1u);
    EXPECT_EQ(Panel().StatusText(), kCause);
    EXPECT_EQ(Text(1053), "--");
    Click(1020);
    EXPECT_EQ(sys.CountCalls("smbus"), 2u);
    EXPECT_EQ(Panel().StatusText(), kCause);
    Click(1135);
    EXPECT_EQ(sys.CountCalls("smbus"), 3u);
    EXPECT_EQ(Panel().StatusText(), kCause);
    EXPECT_EQ(Count(testing::internal::GetCapturedStderr(), "zr5130-eval: " + kCause.toStdString()),
              3u);

    sys.transferFailures.clear();
    sys.registers[0xA0] = 0x5A;
    sys.registers[0xA6] = 0x13;
    Click(1020);
    EXPECT_EQ(Text(1053), "5A");
    EXPECT_EQ(Text(1060), "13");
    EXPECT_EQ(Panel().StatusText(), "Config E0 load failed") << "the stale cause gives way";
}
