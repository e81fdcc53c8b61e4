#include "AdapterList.h"
#include "AdapterSelect.h"
#include "DeviceLink.h"
#include "I2cBuses.h"
#include "FakeI2cDevSys.h"
#include "LinuxI2cAdapter.h"
#include "ScriptedAdapter.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>

namespace {

const std::string kNode = "/dev/i2c-3";
const std::string kSlave2c = "ioctl 5 " + Hex(I2C_SLAVE) + " 0x2c";

// Every test watches standard error from its start: the adapter never
// prints, its causes are data.
class LinuxI2cAdapterTest : public testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStderr(); }

    void TearDown() override
    {
        if (m_capturing) {
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        }
    }

    std::string Stderr()
    {
        m_capturing = false;
        return testing::internal::GetCapturedStderr();
    }

    // The device link's opening sequence; the handle it gets.
    int OpenBus()
    {
        char serial[kTvxSerialSize] = {};
        EXPECT_NE(adapter.FindControllers(), 0);
        EXPECT_GE(adapter.GetSerialNumber(0, serial), 0);
        return adapter.Open(serial);
    }

    FakeI2cDevSys sys;
    LinuxI2cAdapter adapter{kNode, sys};

private:
    bool m_capturing = true;
};

// Finding the bus

TEST_F(LinuxI2cAdapterTest, PresentNodeIsOneControllerFoundQuietly)
{
    EXPECT_NE(adapter.FindControllers(), 0);
    EXPECT_EQ(sys.calls, std::vector<std::string>{"stat /dev/i2c-3"});
    EXPECT_EQ(Stderr(), "");
}

TEST_F(LinuxI2cAdapterTest, MissingOrForeignNodeFindsNoControllerAndSaysWhy)
{
    const struct {
        int stat;
        std::string told;
    } cases[] = {
        {-ENOENT,
         "/dev/i2c-3 does not exist; is the adapter plugged in and the i2c-dev module loaded?"},
        {-ENODEV, "/dev/i2c-3 is not an i2c-dev device node"},
        {-EACCES, "cannot reach /dev/i2c-3: Permission denied"},
    };
    for (const auto& c : cases) {
        sys.statResult = c.stat;
        EXPECT_EQ(adapter.FindControllers(), 0);
        EXPECT_EQ(adapter.OpenFailure(), c.told);
        EXPECT_EQ(adapter.OpenProblem().bus, kNode);
        EXPECT_FALSE(adapter.OpenProblem().usbBridge) << "no sysfs puts it below a USB device";
    }
    EXPECT_EQ(adapter.OpenProblem().error, EACCES);
}

// The panel's device link tells an adapter's problem on standard error once,
// until an access succeeds again.
TEST_F(LinuxI2cAdapterTest, MissingNodeIsToldOnceByThePanelsLinkWhenAskedAgain)
{
    ScopedAdapter installed(&adapter);
    sys.statResult = -ENOENT;
    uint8_t rfw = 0;
    EXPECT_NE(AdapterOpen(rfw), kAdapterOk);
    EXPECT_NE(AdapterOpen(rfw), kAdapterOk);
    EXPECT_EQ(Stderr(), "zr5130-eval: /dev/i2c-3 does not exist; is the adapter plugged in and "
                        "the i2c-dev module loaded?\n");
}

// The serial number stands for the bus name

TEST_F(LinuxI2cAdapterTest, SerialNumberIsTheSysfsNameOfTheNodesBus)
{
    sys.bus = 7;
    char serial[kTvxSerialSize];
    std::memset(serial, 'x', sizeof serial);
    EXPECT_GE(adapter.GetSerialNumber(0, serial), 0);
    EXPECT_STREQ(serial, "CP2112 SMBus Bridge on hidraw0");
    EXPECT_EQ(sys.calls, (std::vector<std::string>{"stat /dev/i2c-3", "name 7"}));
}

TEST_F(LinuxI2cAdapterTest, SerialNumberFallsBackToTheNodePath)
{
    char serial[kTvxSerialSize];

    sys.nameResult = -ENOENT;
    EXPECT_GE(adapter.GetSerialNumber(0, serial), 0);
    EXPECT_STREQ(serial, "/dev/i2c-3");

    sys.nameResult = 0;
    sys.busName = "";
    std::memset(serial, 'x', sizeof serial);
    EXPECT_GE(adapter.GetSerialNumber(0, serial), 0);
    EXPECT_STREQ(serial, "/dev/i2c-3");

    sys.statResult = -ENOENT;
    std::memset(serial, 'x', sizeof serial);
    EXPECT_GE(adapter.GetSerialNumber(0, serial), 0);
    EXPECT_STREQ(serial, "/dev/i2c-3");
}

TEST_F(LinuxI2cAdapterTest, LongBusNameIsCutToTheBufferAndTerminated)
{
    sys.busName = std::string(200, 'n');
    std::array<char, kTvxSerialSize + 16> buffer;
    buffer.fill('#');
    EXPECT_GE(adapter.GetSerialNumber(0, buffer.data()), 0);
    EXPECT_EQ(std::strlen(buffer.data()), static_cast<size_t>(kTvxSerialSize - 1));
    EXPECT_EQ(buffer[kTvxSerialSize - 1], '\0');
    for (size_t i = kTvxSerialSize; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], '#') << "written past the serial buffer at " << i;
}

TEST_F(LinuxI2cAdapterTest, OnlyTheFirstControllerHasASerialNumber)
{
    char serial[kTvxSerialSize] = {};
    EXPECT_LT(adapter.GetSerialNumber(1, serial), 0);
    EXPECT_LT(adapter.GetSerialNumber(0, nullptr), 0);
}

// Opening

TEST_F(LinuxI2cAdapterTest, OpenGivesAPositiveHandleEvenForDescriptorZero)
{
    for (const int fd : {0, 5}) {
        sys.openResult = fd;
        const int handle = OpenBus();
        EXPECT_GT(handle, 0) << "descriptor " << fd;
        EXPECT_GE(adapter.I2cControl(handle, 0, 0, 1), 0) << "descriptor " << fd;
        EXPECT_EQ(sys.calls.back(), "funcs " + std::to_string(fd));
    }
    EXPECT_EQ(sys.CountCalls("open /dev/i2c-3"), 2u);
    EXPECT_EQ(Stderr(), "");
}

TEST_F(LinuxI2cAdapterTest, PermissionDeniedFailsTheSessionWithOneHint)
{
    sys.openResult = -EACCES;
    const int handle = OpenBus();
    EXPECT_LE(handle, 0);

    std::array<unsigned char, 5> version{};
    EXPECT_LT(adapter.FirmwareVersionRead(handle, version.data(), 5), 0);
    EXPECT_LT(adapter.I2cControl(handle, 0, 0, 1), 0);
    EXPECT_LT(adapter.RegisterRead(handle, 0x2C, 0x00), 0);
    EXPECT_NE(adapter.RegisterWrite(handle, 0x2C, 0x00, 0x10), 0);
    EXPECT_EQ(sys.CountCalls("ioctl"), 0u);
    EXPECT_EQ(sys.CountCalls("smbus"), 0u);
    EXPECT_EQ(adapter.OpenFailure(), "cannot open /dev/i2c-3: Permission denied; add yourself to "
                                     "the i2c group (or a udev rule)");
    EXPECT_EQ(adapter.OpenProblem().error, EACCES);
}

TEST_F(LinuxI2cAdapterTest, OpenFailureOtherThanPermissionIsNamed)
{
    sys.openResult = -ENODEV;
    EXPECT_LE(OpenBus(), 0);
    EXPECT_EQ(adapter.OpenFailure(), "cannot open /dev/i2c-3: No such device; is the adapter "
                                     "plugged in?");
}

TEST_F(LinuxI2cAdapterTest, FirmwareVersionOfAnOpenBusIsZero)
{
    const int handle = OpenBus();
    std::array<unsigned char, 8> version;
    version.fill(0xEE);
    EXPECT_GE(adapter.FirmwareVersionRead(handle, version.data(), 5), 0);
    EXPECT_EQ(version, (std::array<unsigned char, 8>{0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE}));
}

TEST_F(LinuxI2cAdapterTest, GpioAndPowerSucceedWithoutTouchingTheBus)
{
    const int handle = OpenBus();
    const size_t callsBefore = sys.calls.size();
    EXPECT_GE(adapter.GpioWriteControl(handle, {0, 0, 1, 1, 1, 1, 2, 1, 0, 0, 0, 0, 0}), 0);
    EXPECT_GE(adapter.PowerWriteControl(handle, 1, 0), 0);
    EXPECT_EQ(sys.calls.size(), callsBefore);
}

TEST_F(LinuxI2cAdapterTest, HandlesOtherThanTheOpenOneAreRefused)
{
    const int handle = OpenBus();
    const size_t callsBefore = sys.calls.size();
    std::array<unsigned char, 5> version{};
    for (const int other : {0, -1, handle + 1, handle - 1}) {
        EXPECT_LT(adapter.FirmwareVersionRead(other, version.data(), 5), 0) << other;
        EXPECT_LT(adapter.I2cControl(other, 0, 0, 1), 0) << other;
        EXPECT_LT(adapter.GpioWriteControl(other, {}), 0) << other;
        EXPECT_LT(adapter.PowerWriteControl(other, 1, 0), 0) << other;
        EXPECT_LT(adapter.RegisterRead(other, 0x2C, 0x00), 0) << other;
        EXPECT_NE(adapter.RegisterWrite(other, 0x2C, 0x00, 0x00), 0) << other;
    }
    EXPECT_EQ(sys.calls.size(), callsBefore);
}

TEST_F(LinuxI2cAdapterTest, DescriptorIsClosedOnReopenAndOnDestruction)
{
    FakeI2cDevSys local;
    {
        LinuxI2cAdapter scoped(kNode, local);
        local.openResult = 4;
        const int first = scoped.Open("bus");
        local.openResult = 6;
        const int second = scoped.Open("bus");
        EXPECT_EQ(local.calls, (std::vector<std::string>{"open /dev/i2c-3", "close 4", "open /dev/i2c-3"}));
        EXPECT_LT(scoped.RegisterRead(first, 0x2C, 0x00), 0);
        EXPECT_GE(scoped.RegisterRead(second, 0x2C, 0x00), 0);
        local.calls.clear();
    }
    EXPECT_EQ(local.calls, std::vector<std::string>{"close 6"});

    local.calls.clear();
    local.openResult = -EACCES;
    {
        LinuxI2cAdapter failed(kNode, local);
        EXPECT_LE(failed.Open("bus"), 0);
    }
    EXPECT_EQ(local.CountCalls("close"), 0u) << "nothing was open to close";
}

// Checking what the bus can do

TEST_F(LinuxI2cAdapterTest, ByteDataAccessIsEnoughForI2cControl)
{
    sys.funcs = I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_WRITE_BYTE_DATA;
    const int handle = OpenBus();
    EXPECT_GE(adapter.I2cControl(handle, 0, 0, 1), 0);
    EXPECT_EQ(Stderr(), "");
}

// A bus lacking byte-data access either way takes the register number
// written, a repeated start and one byte read; a write as one message.
TEST_F(LinuxI2cAdapterTest, BusWithoutByteDataBothWaysTakesPlainI2cMessages)
{
    const std::vector<std::string> smbus = {"smbus 5 write 0x2c 0xa5 0x3c size 2",
                                            "smbus 5 read 0x2c 0x02 size 2"};
    const std::vector<std::string> plain = {"rdwr 5 0x2c w 0xa5 0x3c",
                                            "rdwr 5 0x2c w 0x02, 0x2c r 1"};
    const struct {
        unsigned long funcs;
        const std::vector<std::string>& calls;
    } buses[] = {
        {I2C_FUNC_I2C | I2C_FUNC_SMBUS_BYTE_DATA, smbus},
        {I2C_FUNC_I2C, plain},
        {I2C_FUNC_I2C | I2C_FUNC_SMBUS_READ_BYTE_DATA, plain},
        {I2C_FUNC_I2C | I2C_FUNC_SMBUS_WRITE_BYTE_DATA, plain},
    };
    for (const auto& bus : buses) {
        sys.funcs = bus.funcs;
        sys.registers = {};
        sys.registers[0x02] = 0x81;
        const int handle = OpenBus();
        ASSERT_GE(adapter.I2cControl(handle, 0, 0, 1), 0) << Hex(static_cast<unsigned>(bus.funcs));
        ASSERT_GE(adapter.RegisterRead(handle, 0x2C, 0x00), 0);  // selects the address
        sys.calls.clear();
        EXPECT_EQ(adapter.RegisterWrite(handle, 0x2C, 0xA5, 0x3C), 0);
        EXPECT_EQ(adapter.RegisterRead(handle, 0x2C, 0x02), 0x81);
        EXPECT_EQ(sys.calls, bus.calls) << Hex(static_cast<unsigned>(bus.funcs));
        EXPECT_EQ(sys.registers[0xA5], 0x3C);
    }
    EXPECT_EQ(Stderr(), "");
}

TEST_F(LinuxI2cAdapterTest, PlainI2cReadWhoseSecondMessageFailsGivesNoValue)
{
    sys.funcs = I2C_FUNC_I2C;
    sys.registers[0x02] = 0x81;
    const int handle = OpenBus();
    ASSERT_GE(adapter.I2cControl(handle, 0, 0, 1), 0);
    sys.rdwrMessagesDone = 1;
    EXPECT_EQ(adapter.RegisterRead(handle, 0x2C, 0x02), -EIO);
    sys.rdwrMessagesDone = I2C_RDWR_IOCTL_MAX_MSGS;
    sys.transferFailures = {-EREMOTEIO};
    EXPECT_EQ(adapter.RegisterRead(handle, 0x2C, 0x02), -EREMOTEIO);
    EXPECT_EQ(adapter.RegisterRead(handle, 0x2C, 0x02), 0x81);
    EXPECT_EQ(sys.CountCalls("smbus"), 0u);
}

TEST_F(LinuxI2cAdapterTest, BusWithNeitherByteDataNorPlainI2cIsRefusedNamingWhatItLacks)
{
    const int handle = OpenBus();
    const struct {
        unsigned long funcs;
        std::string lacking;
    } buses[] = {
        {I2C_FUNC_SMBUS_WRITE_BYTE_DATA, "SMBus byte-data reads"},
        {I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_QUICK, "SMBus byte-data writes"},
        {I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_WORD_DATA, "SMBus byte-data access"},
    };
    for (const auto& bus : buses) {
        sys.funcs = bus.funcs;
        EXPECT_EQ(adapter.I2cControl(handle, 0, 0, 1), -EOPNOTSUPP);
        EXPECT_EQ(adapter.OpenFailure(), kNode + " has no " + bus.lacking + " and no plain I2C transfers");
    }
}

TEST_F(LinuxI2cAdapterTest, I2cControlFailsWhenTheNodeIsNoI2cBus)
{
    sys.funcsResult = -ENOTTY;
    const int handle = OpenBus();
    EXPECT_LT(adapter.I2cControl(handle, 0, 0, 1), 0);
    EXPECT_EQ(adapter.OpenFailure(),
              "cannot query /dev/i2c-3 (Inappropriate ioctl for device); is it an I2C bus?");
}

// Register access

TEST_F(LinuxI2cAdapterTest, ValuesAndRegistersPassExactly)
{
    const int handle = OpenBus();
    ASSERT_GE(adapter.RegisterRead(handle, 0x2C, 0x00), 0);  // selects the address
    const uint8_t regs[] = {0x00, 0x7F, 0x80, 0xA5, 0xFF};
    const uint8_t values[] = {0x00, 0x7F, 0x80, 0xFF};
    for (const uint8_t reg : regs) {
        for (const uint8_t value : values) {
            sys.calls.clear();
            EXPECT_EQ(adapter.RegisterWrite(handle, 0x2C, reg, value), 0);
            EXPECT_EQ(sys.registers[reg], value);
            EXPECT_EQ(adapter.RegisterRead(handle, 0x2C, reg), value);
            EXPECT_EQ(sys.calls, (std::vector<std::string>{
                                     "smbus 5 write 0x2c " + Hex(reg) + " " + Hex(value) + " size 2",
                                     "smbus 5 read 0x2c " + Hex(reg) + " size 2",
                                 }));
        }
    }
    EXPECT_EQ(Stderr(), "");
}

TEST_F(LinuxI2cAdapterTest, AddressIsSelectedWithI2cSlaveOnlyWhenItChanges)
{
    const int handle = OpenBus();
    for (int reg = 0; reg < 26; ++reg)
        EXPECT_GE(adapter.RegisterRead(handle, 0x2C, static_cast<uint8_t>(reg)), 0);
    EXPECT_EQ(adapter.RegisterWrite(handle, 0x2C, 0x00, 0x40), 0);
    EXPECT_EQ(sys.CountCalls("ioctl"), 1u);
    EXPECT_EQ(sys.CountCalls(kSlave2c), 1u);

    // Nothing answers at 0x2d; the fake reports that as ENXIO.
    EXPECT_LT(adapter.RegisterRead(handle, 0x2D, 0x00), 0);
    EXPECT_EQ(adapter.RegisterRead(handle, 0x2C, 0x00), 0x40);
    EXPECT_EQ(sys.CountCalls("ioctl"), 3u);
    EXPECT_EQ(sys.CountCalls("ioctl 5 " + Hex(I2C_SLAVE) + " 0x2d"), 1u);
    EXPECT_EQ(sys.CountCalls("ioctl 5 " + Hex(I2C_SLAVE_FORCE)), 0u);
}

TEST_F(LinuxI2cAdapterTest, ReopenedBusSelectsTheAddressAgain)
{
    const int first = OpenBus();
    EXPECT_GE(adapter.RegisterRead(first, 0x2C, 0x01), 0);
    const int second = adapter.Open("bus");
    EXPECT_GE(adapter.RegisterRead(second, 0x2C, 0x01), 0);
    EXPECT_EQ(sys.CountCalls(kSlave2c), 2u);
}

TEST_F(LinuxI2cAdapterTest, AddressOwnedByAKernelDriverFailsWithoutForce)
{
    sys.slaveResult = -EBUSY;
    const int handle = OpenBus();
    for (int i = 0; i < 13; ++i) {
        EXPECT_LT(adapter.RegisterRead(handle, 0x2C, 0xA0), 0);
        EXPECT_NE(adapter.RegisterWrite(handle, 0x2C, 0xA0, 0x12), 0);
    }
    EXPECT_EQ(sys.CountCalls("smbus"), 0u);
    EXPECT_EQ(sys.CountCalls(kSlave2c), 26u) << "a failed selection must not be remembered";
    EXPECT_EQ(sys.CountCalls("ioctl 5 " + Hex(I2C_SLAVE_FORCE)), 0u);
    EXPECT_EQ(adapter.AccessFailure(), "address 0x2c on /dev/i2c-3 is busy: a kernel driver owns it");
    EXPECT_EQ(adapter.AccessProblem().cause, "a kernel driver owns the address");
}

TEST_F(LinuxI2cAdapterTest, OtherSelectionErrorsAreNamed)
{
    sys.slaveResult = -EINVAL;
    const int handle = OpenBus();
    EXPECT_LT(adapter.RegisterRead(handle, 0x2C, 0x00), 0);
    EXPECT_EQ(adapter.AccessFailure(), "cannot select address 0x2c on /dev/i2c-3: Invalid argument");
}

TEST_F(LinuxI2cAdapterTest, NackOnReadOrWriteIsAFailureNeverAValue)
{
    const int handle = OpenBus();
    sys.registers[0x02] = 0x33;
    for (const int nack : {-EREMOTEIO, -ENXIO}) {
        sys.transferFailures = {nack, nack};
        EXPECT_EQ(adapter.RegisterRead(handle, 0x2C, 0x02), nack);
        const int written = adapter.RegisterWrite(handle, 0x2C, 0x02, 0x55);
        EXPECT_NE(written, 0);
        EXPECT_EQ(written, nack);
        const LinkProblem problem = adapter.AccessProblem();
        EXPECT_EQ(problem.error, -nack);
        EXPECT_EQ(problem.cause, "no device answered");
        EXPECT_EQ(problem.bus, kNode);
    }
    EXPECT_EQ(sys.registers[0x02], 0x33);
}

TEST_F(LinuxI2cAdapterTest, SilentChipIsToldOnceByThePanelsLinkUntilAnAccessSucceeds)
{
    ScopedAdapter installed(&adapter);
    uint8_t rfw = 0;
    ASSERT_EQ(AdapterOpen(rfw), kAdapterOk);
    const std::string line =
        "zr5130-eval: no answer from address 0x2c on /dev/i2c-3; is the board powered and "
        "connected, and the chip at this address?\n";

    uint8_t value = 0;
    sys.transferFailures.assign(26, -EREMOTEIO);
    sys.transferFailures.push_back(-ENXIO);
    for (int reg = 0; reg < 26; ++reg)
        EXPECT_EQ(RegRead(0x2C, static_cast<uint8_t>(reg), value), 1);
    EXPECT_EQ(RegWrite(0x2C, 0x00, 0x01), 1);

    EXPECT_EQ(RegRead(0x2C, 0x00, value), 0);
    sys.transferFailures = {-ENXIO, -ENXIO};
    EXPECT_EQ(RegRead(0x2C, 0x00, value), 1);
    EXPECT_EQ(RegRead(0x2C, 0x01, value), 1);

    EXPECT_EQ(Stderr(), line + line);
}

TEST_F(LinuxI2cAdapterTest, EachTransferFaultIsToldOnceByThePanelsLink)
{
    ScopedAdapter installed(&adapter);
    uint8_t rfw = 0;
    ASSERT_EQ(AdapterOpen(rfw), kAdapterOk);
    sys.transferFailures = {-EIO, -EPROTO, -EIO, -EPROTO};
    uint8_t value = 0;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(RegRead(0x2C, 0x00, value), 1);
    EXPECT_EQ(Stderr(),
              "zr5130-eval: I2C transfer with 0x2c on /dev/i2c-3 failed: Input/output error\n"
              "zr5130-eval: I2C transfer with 0x2c on /dev/i2c-3 failed: Protocol error\n");
}

// The real system calls, on what this machine has: no i2c-dev nodes, but
// missing paths, other device nodes and plain files.
class RealI2cDevSysTest : public testing::Test {
protected:
    void WriteFile(const std::filesystem::path& path, const std::string& text)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }

    const ScratchDir scratch;
    const std::filesystem::path dir = scratch.Path();
    RealI2cDevSys sys{"/nonexistent-sysfs"};
};

TEST_F(RealI2cDevSysTest, StatAcceptsOnlyI2cDevNodes)
{
    int bus = -1;
    EXPECT_EQ(sys.StatNode((dir / "i2c-9").string(), bus), -ENOENT);
    EXPECT_EQ(sys.StatNode("/dev/null", bus), -ENODEV);
    WriteFile(dir / "plain", "x");
    EXPECT_EQ(sys.StatNode((dir / "plain").string(), bus), -ENODEV);
    EXPECT_EQ(bus, -1);
}

TEST_F(RealI2cDevSysTest, BusNameComesFromSysfsWithoutTheNewline)
{
    RealI2cDevSys sysfs(dir.string());
    WriteFile(dir / "i2c-7" / "name", "CP2112 SMBus Bridge on hidraw0\n");
    std::string name;
    EXPECT_EQ(sysfs.ReadBusName(7, name), 0);
    EXPECT_EQ(name, "CP2112 SMBus Bridge on hidraw0");
    EXPECT_EQ(sysfs.ReadBusName(8, name), -ENOENT);
}

// What is opened is checked, not the path before: anything but an i2c-dev
// node is closed again.
TEST_F(RealI2cDevSysTest, OpenAndIoctlsAnswerWithErrno)
{
    EXPECT_EQ(sys.Open((dir / "i2c-9").string()), -ENOENT);

    WriteFile(dir / "plain", "x");
    for (const std::string& node : {(dir / "plain").string(), std::string("/dev/null")})
        EXPECT_EQ(sys.Open(node), -ENODEV) << node;

    const int fd = ::open((dir / "plain").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    unsigned long funcs = 0;
    i2c_smbus_data data{};
    i2c_smbus_ioctl_data args{
        .read_write = I2C_SMBUS_READ, .command = 0, .size = I2C_SMBUS_BYTE_DATA, .data = &data};
    EXPECT_EQ(sys.IoctlFuncs(fd, funcs), -ENOTTY);
    EXPECT_EQ(sys.IoctlValue(fd, I2C_SLAVE, 0x2C), -ENOTTY);
    EXPECT_EQ(sys.IoctlSmbus(fd, args), -ENOTTY);
    i2c_rdwr_ioctl_data messages{.msgs = nullptr, .nmsgs = 0};
    EXPECT_EQ(sys.IoctlRdwr(fd, messages), -ENOTTY);
    sys.Close(fd);
    EXPECT_EQ(sys.IoctlFuncs(fd, funcs), -EBADF);
}

TEST_F(RealI2cDevSysTest, FactoryAdapterOnAMissingNodeFindsNothing)
{
    const std::string node = (dir / "i2c-9").string();
    testing::internal::CaptureStderr();
    const auto adapter = MakeLinuxI2cAdapter(node);
    EXPECT_EQ(adapter->FindControllers(), 0);
    char serial[kTvxSerialSize];
    EXPECT_GE(adapter->GetSerialNumber(0, serial), 0);
    EXPECT_EQ(serial, node);
    const int handle = adapter->Open(serial);
    EXPECT_LE(handle, 0);
    std::array<unsigned char, 5> version{};
    EXPECT_LT(adapter->FirmwareVersionRead(handle, version.data(), 5), 0);
    EXPECT_EQ(adapter->OpenFailure(),
              "cannot open " + node + ": No such file or directory; is the adapter plugged in?");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Buses chosen by name, against a sysfs tree laid out as the kernel does:
// the class entries are links into the device tree, where a USB bridge's bus
// sits below the root hub usbN. The PC's own SMBus is bus 0.
class BusByNameTest : public testing::Test {
protected:
    BusByNameTest()
    {
        options.sysClassDir = (root / "class/i2c-dev").string();
        AddBus(0, "SMBus I801 adapter at efa0", "pci0000:00/0000:00:1f.4");
        AddBus(7, kBridge, "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:10C4:EA90.0001");
        options.systemCalls = [this] {
            auto made = std::make_unique<FakeI2cDevSys>();
            sys = made.get();
            return made;
        };
    }

    void AddBus(int number, const std::string& name, const std::string& parent)
    {
        const std::string bus = "i2c-" + std::to_string(number);
        const std::filesystem::path device = root / "devices" / parent / bus / "i2c-dev" / bus;
        std::filesystem::create_directories(device);
        std::filesystem::create_directories(options.sysClassDir);
        std::ofstream(device / "name") << name << "\n";
        std::filesystem::create_directory_symlink(device, options.sysClassDir + "/" + bus);
    }

    int OpenBus(TvxAdapter& adapter)
    {
        char serial[kTvxSerialSize] = {};
        if (adapter.FindControllers() == 0 || adapter.GetSerialNumber(0, serial) < 0) return 0;
        return adapter.Open(serial);
    }

    static constexpr const char* kBridge = "CP2112 SMBus Bridge on hidraw0";
    const ScratchDir scratch;
    const std::filesystem::path root = scratch.Path();
    AdapterOptions options;
    FakeI2cDevSys* sys = nullptr;  // owned by the adapter
};

TEST_F(BusByNameTest, NamePartPicksItsBusIgnoringCaseAndFollowsItAcrossAReplug)
{
    const AdapterChoice choice = ChooseAdapter("i2c:cp2112", options);
    ASSERT_NE(choice.adapter, nullptr) << choice.error;
    EXPECT_EQ(choice.notice, "zr5130-eval: using the I2C bus /dev/i2c-7: CP2112 SMBus Bridge on hidraw0");
    sys->registers[0xA0] = 0x5A;
    const int first = OpenBus(*choice.adapter);
    EXPECT_EQ(choice.adapter->RegisterRead(first, 0x2C, 0xA0), 0x5A);

    // Pulled out: the name is looked up again, the old descriptor let go.
    std::filesystem::remove(options.sysClassDir + "/i2c-7");
    EXPECT_EQ(OpenBus(*choice.adapter), 0);
    EXPECT_EQ(choice.adapter->OpenFailure(),
              "no I2C bus named like 'cp2112'; buses found: /dev/i2c-0: SMBus I801 adapter at efa0");
    EXPECT_LT(choice.adapter->RegisterRead(first, 0x2C, 0xA0), 0);

    AddBus(9, kBridge, "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:10C4:EA90.0002");
    EXPECT_EQ(choice.adapter->RegisterRead(OpenBus(*choice.adapter), 0x2C, 0xA0), 0x5A);
    EXPECT_EQ(sys->CountCalls("open"), 2u);
    EXPECT_EQ(sys->calls[sys->calls.size() - 7], "close 5");
    EXPECT_EQ(sys->calls[sys->calls.size() - 3], "open /dev/i2c-9");
}

TEST_F(BusByNameTest, ListsBusesFromSysfsOnlyAndRefusesNoneOrSeveralMatches)
{
    const std::vector<I2cBusInfo> buses = ListI2cBuses(options.sysClassDir);
    ASSERT_EQ(buses.size(), 2u);
    EXPECT_FALSE(buses[0].usbBridge);
    EXPECT_TRUE(buses[1].usbBridge);
    const std::string both = DescribeI2cBus(buses[0]) + "; " + DescribeI2cBus(buses[1]);
    EXPECT_EQ(both, "/dev/i2c-0: SMBus I801 adapter at efa0; /dev/i2c-7: " + std::string(kBridge));
    EXPECT_EQ(ChooseAdapter("i2c:MCP2221", options).error,
              "ZR5130_ADAPTER: no I2C bus named like 'MCP2221'; buses found: " + both);
    EXPECT_EQ(ChooseAdapter("i2c:smbus", options).error,
              "ZR5130_ADAPTER: 'smbus' names 2 I2C buses: " + both + "; give more of the name, or /dev/i2c-N");
    EXPECT_EQ(ChooseAdapter("i2c:", options).error,
              "ZR5130_ADAPTER=i2c: needs part of the adapter's name (i2c:CP2112)");
    options.sysClassDir += "/missing";
    EXPECT_EQ(ChooseAdapter("i2c:CP2112", options).error,
              "ZR5130_ADAPTER: no I2C bus named like 'CP2112': no buses in " + options.sysClassDir +
                  "; plug in the adapter and load i2c-dev (sudo modprobe i2c-dev)");
    EXPECT_EQ(sys, nullptr) << "no system call was made";
}

TEST_F(BusByNameTest, AdapterListPutsBridgesFirstNamedAsAReplugLeavesThem)
{
    AddBus(3, "i2c-tiny-usb at bus 001 device 005", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0");
    const auto listed = [&] {
        std::string text;
        for (const AdapterListEntry& entry : ListAdapters(options.sysClassDir))
            text += entry.setting + " = " + entry.text + (entry.usbBridge ? " (USB)\n" : "\n");
        return text;
    };
    EXPECT_EQ(listed(), "sim = Simulated Board\n"
                        "i2c:i2c-tiny-usb = /dev/i2c-3: i2c-tiny-usb at bus 001 device 005 (USB)\n"
                        "i2c:CP2112 SMBus Bridge = /dev/i2c-7: CP2112 SMBus Bridge on hidraw0 (USB)\n"
                        "i2c:SMBus I801 adapter at efa0 = /dev/i2c-0: SMBus I801 adapter at efa0\n"
                        "sim:FILE = Register Dump File\nnone = No Adapter\n");
    // Two bridges of a kind: the name would pick both, so each goes by its node.
    AddBus(8, "CP2112 SMBus Bridge on hidraw1", "pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:10C4:EA90.0003");
    const std::string twice = listed();
    EXPECT_NE(twice.find("\n/dev/i2c-7 = /dev/i2c-7: CP2112 SMBus Bridge on hidraw0 (USB)\n"
                         "/dev/i2c-8 = /dev/i2c-8: CP2112 SMBus Bridge on hidraw1 (USB)\n"), std::string::npos) << twice;
    EXPECT_EQ(sys, nullptr) << "no system call was made";
}

}  // namespace
