// The panel on a Linux bus held low: each transfer waits out the bridge's
// timeout, then fails.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "FakeI2cDevSys.h"
#include "LinuxI2cAdapter.h"

TEST_F(PanelTest, EachActionTriesAStuckBusOnceAndNamesItUntilItIsReleased)
{
    const QString timedOut = "I2C bus /dev/i2c-7 timed out: is SDA or SCL held low? Check the "
                             "board's power and pull-ups";
    const QString busy = "I2C bus /dev/i2c-7 stays busy: is SDA or SCL held low, or another "
                         "master on it? Check the board's power and pull-ups";
    FakeI2cDevSys sys;
    LinuxI2cAdapter bus("/dev/i2c-7", sys);
    sys.transferFailures.assign(200, -ETIMEDOUT);
    testing::internal::CaptureStderr();
    auto expectOneTryNamed = [&](size_t transfers, const QString& cause) {
        EXPECT_EQ(sys.CountCalls("smbus"), transfers);
        EXPECT_EQ(Panel().StatusText(), cause);
    };

    StartPanelOn(&bus);
    expectOneTryNamed(1, timedOut);
    EXPECT_EQ(Text(idc::kRegA0), "--");
    Click(idc::kReadbackAll);
    expectOneTryNamed(2, timedOut);
    Click(idc::kLoad);
    expectOneTryNamed(3, timedOut);
    sys.transferFailures = {-EBUSY};
    Click(idc::kReadbackAll);
    expectOneTryNamed(4, busy);
    const std::string told = "zr5130-eval: " + timedOut.toStdString() + "\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              told + told + told + "zr5130-eval: " + busy.toStdString() + "\n");

    sys.registers[0xA0] = 0x5A;
    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA0), "5A");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete") << "the stale cause gives way";
}
