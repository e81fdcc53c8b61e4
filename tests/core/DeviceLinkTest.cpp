#include "DeviceLink.h"
#include "ScriptedAdapter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

constexpr unsigned kChip = 0x2C;

const Calls kHealthyOpen = {
    "FindControllers",
    "GetSerialNumber 0",
    "Open TEST-0001",
    "FirmwareVersion_Read 7 5",
    "I2C_Control 7 0 0 1",
    "GPIO_WriteControl 7 0 0 1 1 1 1 2 1 0 0 0 0 0",
    "Power_WriteControl 7 1 0",
};

class DeviceLinkTest : public testing::Test {
protected:
    ScriptedAdapter adapter;
    ScopedAdapter installed{&adapter};
};

TEST_F(DeviceLinkTest, HealthyAdapterIsOpenedAndConfiguredInOrder)
{
    uint8_t rfw = 0;
    EXPECT_EQ(AdapterOpen(rfw), kAdapterOk);
    EXPECT_EQ(adapter.calls, kHealthyOpen);
    EXPECT_EQ(g_adapterHandle, 7);
    EXPECT_EQ(rfw, 0x25);
    uint8_t ffw = 0xEE;
    EXPECT_EQ(AdapterFfwVersion(ffw), 0);
    EXPECT_EQ(ffw, 0x10);
}

TEST_F(DeviceLinkTest, NoAdapterConnectedTriesTheFirmwareReadWithHandleZero)
{
    adapter.controllers = 0;
    adapter.firmwareResult = -1;
    uint8_t rfw = 0x77;
    EXPECT_EQ(AdapterOpen(rfw), kAdapterFirmwareFailed);
    EXPECT_EQ(adapter.calls, (Calls{"FindControllers", "FirmwareVersion_Read 0 5"}));
    EXPECT_EQ(rfw, 0x77);
    EXPECT_EQ(g_adapterHandle, 0);
}

TEST_F(DeviceLinkTest, UnreadableSerialNumberSkipsTheOpen)
{
    adapter.serialResult = -1;
    adapter.firmwareResult = -1;
    uint8_t rfw = 0;
    EXPECT_EQ(AdapterOpen(rfw), kAdapterFirmwareFailed);
    EXPECT_EQ(adapter.calls,
              (Calls{"FindControllers", "GetSerialNumber 0", "FirmwareVersion_Read 0 5"}));
}

TEST_F(DeviceLinkTest, HandleIsStoredAsReturnedAndUsedForEverything)
{
    adapter.openHandle = -3;
    uint8_t rfw = 0;
    uint8_t value = 0;
    EXPECT_EQ(AdapterOpen(rfw), kAdapterOk);
    EXPECT_EQ(g_adapterHandle, -3);
    RegRead(kChip, 0x01, value);
    RegWrite(kChip, 0x01, 0x02);
    EXPECT_EQ(adapter.calls[3], "FirmwareVersion_Read -3 5");
    EXPECT_EQ(adapter.calls[6], "Power_WriteControl -3 1 0");
    EXPECT_EQ(adapter.calls[7], "RegisterRead -3 2C 01");
    EXPECT_EQ(adapter.calls[8], "RegisterWrite -3 2C 01 02");
}

TEST_F(DeviceLinkTest, FirmwareFailureStopsBeforeSetUpAndKeepsTheVersions)
{
    adapter.firmwareResult = -1;
    adapter.firmware = {9, 9, 9, 9, 9};
    uint8_t rfw = 0x5A;
    EXPECT_EQ(AdapterOpen(rfw), kAdapterFirmwareFailed);
    EXPECT_EQ(rfw, 0x5A);
    EXPECT_EQ(adapter.calls.back(), "FirmwareVersion_Read 7 5");
    uint8_t ffw = 0xEE;
    AdapterFfwVersion(ffw);
    EXPECT_EQ(ffw, 0x00);
}

TEST_F(DeviceLinkTest, VersionPairsPackWithTheMinorCarryingIntoTheMajor)
{
    adapter.firmware = {1, 16, 15, 17, 0};
    uint8_t rfw = 0;
    uint8_t ffw = 0;
    ASSERT_EQ(AdapterOpen(rfw), kAdapterOk);
    AdapterFfwVersion(ffw);
    EXPECT_EQ(rfw, 0x20);  // shown as 2.0
    EXPECT_EQ(ffw, 0x01);  // 15 * 16 + 17 = 257, modulo 256
}

TEST_F(DeviceLinkTest, FfwVersionIsZeroBeforeAnyOpen)
{
    uint8_t ffw = 0xEE;
    EXPECT_EQ(AdapterFfwVersion(ffw), 0);
    EXPECT_EQ(ffw, 0x00);
    EXPECT_TRUE(adapter.calls.empty());
}

TEST_F(DeviceLinkTest, HighestNumberedSetUpFailureWinsAndAllStepsRun)
{
    struct Case {
        int i2c, gpio, power;
        int expected;
    };
    const Case cases[] = {
        {-1, 0, 0, kAdapterI2cFailed},    {0, -1, 0, kAdapterGpioFailed},
        {0, 0, -1, kAdapterPowerFailed},  {-1, 0, -1, kAdapterPowerFailed},
        {-1, -1, 0, kAdapterGpioFailed},  {-1, -1, -1, kAdapterPowerFailed},
        {1, 1, 1, kAdapterOk},  // only negative answers are failures
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "i2c " << c.i2c << " gpio " << c.gpio << " power "
                                        << c.power);
        ScriptedAdapter board;
        board.i2cResult = c.i2c;
        board.gpioResult = c.gpio;
        board.powerResult = c.power;
        ScopedAdapter scoped(&board);
        uint8_t rfw = 0;
        EXPECT_EQ(AdapterOpen(rfw), c.expected);
        EXPECT_EQ(board.calls, kHealthyOpen);
        EXPECT_EQ(rfw, 0x25);
    }
}

TEST(DeviceLinkWithoutAdapter, EverythingFailsQuietly)
{
    ScopedAdapter none(nullptr);
    uint8_t rfw = 0x11;
    uint8_t value = 0x5A;
    EXPECT_EQ(AdapterOpen(rfw), kAdapterFirmwareFailed);
    EXPECT_EQ(rfw, 0x11);
    EXPECT_EQ(g_adapterHandle, 0);
    EXPECT_EQ(RegRead(kChip, 0x00, value), 1);
    EXPECT_EQ(value, 0x5A);
    EXPECT_EQ(RegWrite(kChip, 0x00, 0x10), 1);
}

class RegisterAccessTest : public DeviceLinkTest {
protected:
    void SetUp() override
    {
        uint8_t rfw = 0;
        ASSERT_EQ(AdapterOpen(rfw), kAdapterOk);
        adapter.ClearRecords();
    }
};

TEST_F(RegisterAccessTest, ReadGivesTheRegisterContents)
{
    adapter.regs[0xA5] = 0x3C;
    uint8_t value = 0;
    EXPECT_EQ(RegRead(kChip, 0xA5, value), 0);
    EXPECT_EQ(value, 0x3C);
    EXPECT_EQ(adapter.calls, (Calls{"RegisterRead 7 2C A5"}));
}

TEST_F(RegisterAccessTest, ReadKeepsOnlyTheLowEightBitsOfTheAnswer)
{
    struct WideAnswer : ScriptedAdapter {
        int RegisterRead(int, uint16_t, uint8_t) override { return 0x1A5; }
    } wide;
    ScopedAdapter scoped(&wide);
    uint8_t value = 0;
    EXPECT_EQ(RegRead(kChip, 0x00, value), 0);
    EXPECT_EQ(value, 0xA5);
}

TEST_F(RegisterAccessTest, FailedReadLeavesTheCallersValue)
{
    adapter.regs[0x02] = 0x30;
    adapter.failReads = {0x02};
    uint8_t value = 0x5A;
    EXPECT_EQ(RegRead(kChip, 0x02, value), 1);
    EXPECT_EQ(value, 0x5A);
}

TEST_F(RegisterAccessTest, WriteReachesTheChip)
{
    EXPECT_EQ(RegWrite(kChip, 0xA5, 0x3C), 0);
    EXPECT_EQ(adapter.regs[0xA5], 0x3C);
    EXPECT_EQ(adapter.calls, (Calls{"RegisterWrite 7 2C A5 3C"}));
}

TEST_F(RegisterAccessTest, AnyNonZeroWriteAnswerIsAFailure)
{
    adapter.failWrites = {0x16};
    for (int answer : {1, 2, 255, -1}) {
        adapter.writeFailureResult = answer;
        EXPECT_EQ(RegWrite(kChip, 0x16, 0x3F), 1) << "answer " << answer;
    }
}

TEST_F(RegisterAccessTest, AddressUsesItsLowEightBits)
{
    uint8_t value = 0;
    RegRead(0x12C, 0x00, value);
    RegWrite(0x12C, 0x00, 0xFF);
    EXPECT_EQ(adapter.calls, (Calls{"RegisterRead 7 2C 00", "RegisterWrite 7 2C 00 FF"}));
}

TEST_F(RegisterAccessTest, EachRegisterOperationIsOneCallEvenWhenItFails)
{
    adapter.failReads = {0x10};
    adapter.failWrites = {0x10};
    uint8_t value = 0;
    RegRead(kChip, 0x10, value);
    RegWrite(kChip, 0x10, 0x01);
    RegRead(kChip, 0x11, value);
    RegWrite(kChip, 0x11, 0x01);
    EXPECT_EQ(adapter.calls,
              (Calls{"RegisterRead 7 2C 10", "RegisterWrite 7 2C 10 01", "RegisterRead 7 2C 11",
                     "RegisterWrite 7 2C 11 01"}));
    EXPECT_EQ(adapter.WriteLog(), "10=01 11=01");
}

TEST_F(RegisterAccessTest, ResetSessionForgetsHandleAndVersions)
{
    LinkResetSession();
    uint8_t ffw = 0xEE;
    uint8_t value = 0;
    AdapterFfwVersion(ffw);
    RegRead(kChip, 0x00, value);
    EXPECT_EQ(ffw, 0x00);
    EXPECT_EQ(g_adapterHandle, 0);
    EXPECT_EQ(adapter.calls, (Calls{"RegisterRead 0 2C 00"}));
}

}  // namespace
