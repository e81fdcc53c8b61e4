#include "LinuxI2cAdapter.h"

#include "I2cBuses.h"
#include "Quote.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

std::string ErrorText(int error)
{
    return std::strerror(-error);
}

constexpr const char* kPullUps = " Check the board's power and pull-ups";

bool OnUsbBridge(const std::string& node, const std::string& sysClassDir)
{
    for (const I2cBusInfo& bus : ListI2cBuses(sysClassDir.empty() ? kSysClassI2cDev : sysClassDir))
        if (bus.node == node) return bus.usbBridge;
    return false;
}

// What the bus lacks of SMBus byte-data access; empty when it has it both ways.
std::string MissingByteData(unsigned long funcs)
{
    const bool read = (funcs & I2C_FUNC_SMBUS_READ_BYTE_DATA) != 0;
    const bool write = (funcs & I2C_FUNC_SMBUS_WRITE_BYTE_DATA) != 0;
    if (read && write)
        return {};
    if (read)
        return "SMBus byte-data writes";
    if (write)
        return "SMBus byte-data reads";
    return "SMBus byte-data access";
}

}  // namespace

std::string HexAddress(uint16_t address)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(address));
    return text;
}

LinuxI2cAdapter::LinuxI2cAdapter(std::string node, I2cDevSys& sys)
    : m_node(std::move(node)), m_sys(sys)
{
}

LinuxI2cAdapter::LinuxI2cAdapter(std::string node, std::unique_ptr<I2cDevSys> sys)
    : m_node(std::move(node)), m_ownedSys(std::move(sys)), m_sys(*m_ownedSys)
{
}

LinuxI2cAdapter::~LinuxI2cAdapter()
{
    CloseBus();
}

void LinuxI2cAdapter::FollowBusName(std::string namePart, std::string sysClassDir)
{
    m_busName = std::move(namePart);
    m_sysClassDir = std::move(sysClassDir);
}

void LinuxI2cAdapter::RequireBusName(std::string busName, std::string sysClassDir)
{
    m_requiredName = std::move(busName);
    m_sysClassDir = std::move(sysClassDir);
}

std::string LinuxI2cAdapter::NameMismatch() const
{
    if (m_requiredName.empty())
        return {};
    const std::vector<I2cBusInfo> buses = ListI2cBuses(m_sysClassDir);
    const auto bus = std::find_if(buses.begin(), buses.end(),
                                  [&](const I2cBusInfo& b) { return b.node == m_node; });
    if (bus == buses.end())
        return m_node + " is gone, and with it the bus " + Quoted(m_requiredName) +
               "; plug it in and choose it again under Adapter";
    if (bus->name == m_requiredName)
        return {};
    return m_node + " is now " + Quoted(bus->name) + ", not the " + Quoted(m_requiredName) +
           " chosen: not opened; choose the adapter again under Adapter";
}

// A bus that is gone takes its descriptor with it: the handle of a session
// opened before must not look usable to a new open that failed.
int LinuxI2cAdapter::FindControllers()
{
    m_openProblem = {};
    if (!m_busName.empty()) {
        const I2cBusLookup found = FindI2cBusByName(m_busName, m_sysClassDir);
        if (!found.error.empty()) {
            CloseBus();
            Report(found.error);
            return 0;
        }
        m_node = found.bus.node;
    }
    if (const std::string mismatch = NameMismatch(); !mismatch.empty()) {
        CloseBus();
        Report(mismatch);
        return 0;
    }
    int bus = 0;
    const int rc = m_sys.StatNode(m_node, bus);
    if (rc == 0)
        return 1;
    CloseBus();
    if (rc == -ENOENT)
        Report(m_node + " does not exist; is the adapter plugged in and the i2c-dev module loaded?",
               rc);
    else if (rc == -ENODEV)
        Report(m_node + " is not an i2c-dev device node");
    else
        Report("cannot reach " + m_node + ": " + ErrorText(rc), rc);
    return 0;
}

int LinuxI2cAdapter::GetSerialNumber(int index, char* serial)
{
    if (index != 0 || serial == nullptr)
        return -ENODEV;
    std::string name;
    int bus = 0;
    if (m_sys.StatNode(m_node, bus) != 0 || m_sys.ReadBusName(bus, name) != 0 || name.empty())
        name = m_node;
    const size_t length = std::min(name.size(), static_cast<size_t>(kTvxSerialSize - 1));
    std::memcpy(serial, name.data(), length);
    serial[length] = '\0';
    return 0;
}

// The serial number only names the bus this adapter was made for.
int LinuxI2cAdapter::Open(const char*)
{
    CloseBus();
    const int fd = m_sys.Open(m_node);
    if (fd < 0) {
        std::string line = "cannot open " + m_node + ": " + ErrorText(fd);
        if (fd == -EACCES || fd == -EPERM)
            line += "; add yourself to the i2c group (or a udev rule)";
        else if (fd == -ENOENT || fd == -ENODEV || fd == -ENXIO)
            line += "; is the adapter plugged in?";
        Report(line, fd);
        return 0;
    }
    m_fd = fd;
    m_usbBridge = OnUsbBridge(m_node, m_sysClassDir);
    // A descriptor is never negative, so the handle is always positive.
    return fd + 1;
}

int LinuxI2cAdapter::FirmwareVersionRead(int handle, unsigned char* buffer, int size)
{
    if (!IsOpenHandle(handle))
        return -EBADF;
    if (buffer == nullptr || size < 0)
        return -EINVAL;
    std::memset(buffer, 0, static_cast<size_t>(size));
    return 0;
}

// The arguments configure the vendor adapter's port; the kernel driver of the
// bus already owns its speed and pins. What matters is how a register can be
// reached: byte-data transfers both ways, else plain I2C messages.
int LinuxI2cAdapter::I2cControl(int handle, int, int, int)
{
    if (!IsOpenHandle(handle))
        return -EBADF;
    unsigned long funcs = 0;
    if (const int rc = m_sys.IoctlFuncs(m_fd, funcs); rc < 0) {
        Report("cannot query " + m_node + " (" + ErrorText(rc) + "); is it an I2C bus?");
        return rc;
    }
    const std::string missing = MissingByteData(funcs);
    m_plainI2c = !missing.empty() && (funcs & I2C_FUNC_I2C) != 0;
    if (!missing.empty() && !m_plainI2c) {
        Report(m_node + " has no " + missing + " and no plain I2C transfers");
        return -EOPNOTSUPP;
    }
    return 0;
}

int LinuxI2cAdapter::GpioWriteControl(int handle, const std::array<int, 13>&)
{
    return IsOpenHandle(handle) ? 0 : -EBADF;
}

int LinuxI2cAdapter::PowerWriteControl(int handle, int, int)
{
    return IsOpenHandle(handle) ? 0 : -EBADF;
}

int LinuxI2cAdapter::RegisterRead(int handle, uint16_t address, uint8_t reg)
{
    if (!IsOpenHandle(handle))
        return AccessFailed(-EBADF, m_node + " is not open");
    if (const int rc = SelectAddress(address); rc < 0)
        return rc;
    uint8_t value = 0;
    if (const int rc = ReadByte(address, reg, value); rc < 0)
        return TransferFailed(address, rc);
    return value;
}

int LinuxI2cAdapter::RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value)
{
    if (!IsOpenHandle(handle))
        return AccessFailed(-EBADF, m_node + " is not open");
    if (const int rc = SelectAddress(address); rc < 0)
        return rc;
    if (const int rc = WriteByte(address, reg, value); rc < 0)
        return TransferFailed(address, rc);
    return 0;
}

// As plain I2C: the register number written, a repeated start, one byte read.
int LinuxI2cAdapter::ReadByte(uint16_t address, uint8_t reg, uint8_t& value)
{
    if (m_plainI2c) {
        i2c_msg messages[] = {
            {.addr = address, .flags = 0, .len = 1, .buf = &reg},
            {.addr = address, .flags = I2C_M_RD, .len = 1, .buf = &value},
        };
        return SendMessages(messages);
    }
    i2c_smbus_data data{};
    i2c_smbus_ioctl_data args{
        .read_write = I2C_SMBUS_READ, .command = reg, .size = I2C_SMBUS_BYTE_DATA, .data = &data};
    const int rc = m_sys.IoctlSmbus(m_fd, args);
    value = data.byte;
    return rc;
}

// As plain I2C: one message, the register number and the value.
int LinuxI2cAdapter::WriteByte(uint16_t address, uint8_t reg, uint8_t value)
{
    if (m_plainI2c) {
        uint8_t bytes[] = {reg, value};
        i2c_msg message{.addr = address, .flags = 0, .len = sizeof bytes, .buf = bytes};
        return SendMessages({&message, 1});
    }
    i2c_smbus_data data{};
    data.byte = value;
    i2c_smbus_ioctl_data args{
        .read_write = I2C_SMBUS_WRITE, .command = reg, .size = I2C_SMBUS_BYTE_DATA, .data = &data};
    return m_sys.IoctlSmbus(m_fd, args);
}

// The kernel answers with the number of messages done: fewer than all is a
// failed access even when it names no error.
int LinuxI2cAdapter::SendMessages(std::span<i2c_msg> messages)
{
    i2c_rdwr_ioctl_data args{.msgs = messages.data(), .nmsgs = static_cast<__u32>(messages.size())};
    const int done = m_sys.IoctlRdwr(m_fd, args);
    if (done < 0)
        return done;
    return done == static_cast<int>(messages.size()) ? 0 : -EIO;
}

bool LinuxI2cAdapter::IsOpenHandle(int handle) const
{
    return m_fd >= 0 && handle == m_fd + 1;
}

// I2C_SLAVE, never I2C_SLAVE_FORCE: when a kernel driver has claimed the
// address, the access fails rather than racing that driver. I2C_RDWR
// messages carry their own address, but are held to the same rule.
int LinuxI2cAdapter::SelectAddress(uint16_t address)
{
    if (address == m_selectedAddress)
        return 0;
    const int rc = m_sys.IoctlValue(m_fd, I2C_SLAVE, address);
    if (rc < 0) {
        m_selectedAddress = -1;
        if (rc == -EBUSY)
            return AccessFailed(rc,
                                "address " + HexAddress(address) + " on " + m_node +
                                    " is busy: a kernel driver owns it",
                                "a kernel driver owns the address");
        return AccessFailed(rc,
                            "cannot select address " + HexAddress(address) + " on " + m_node +
                                ": " + ErrorText(rc),
                            "cannot select the address (" + ErrorText(rc) + ")");
    }
    m_selectedAddress = address;
    return 0;
}

// A transfer that timed out or found the bus busy leaves the bus stuck; the
// chip object marks it so from the answer.
int LinuxI2cAdapter::TransferFailed(uint16_t address, int error)
{
    if (error == -ETIMEDOUT)
        return AccessFailed(error,
                            "I2C bus " + m_node + " timed out: is SDA or SCL held low?" + kPullUps,
                            "the bus timed out", "is SDA or SCL held low?" + std::string(kPullUps));
    if (error == -EBUSY)
        return AccessFailed(error,
                            "I2C bus " + m_node +
                                " stays busy: is SDA or SCL held low, or another master on it?" +
                                kPullUps,
                            "the bus stays busy",
                            "is SDA or SCL held low, or another master on it?" +
                                std::string(kPullUps));
    // Bus drivers report a missing acknowledge as ENXIO or EREMOTEIO (and
    // i2c-stub an address with no chip as ENODEV); reads and writes then fail
    // alike, so all are one cause.
    if (error == -ENXIO || error == -EREMOTEIO || error == -ENODEV)
        return AccessFailed(error,
                            "no answer from address " + HexAddress(address) + " on " + m_node +
                                "; is the board powered and connected, and the chip at this "
                                "address?",
                            "no device answered",
                            "is the board powered and connected, and the chip at this address?");
    return AccessFailed(error,
                        "I2C transfer with " + HexAddress(address) + " on " + m_node +
                            " failed: " + ErrorText(error),
                        "the transfer failed (" + ErrorText(error) + ")");
}

int LinuxI2cAdapter::AccessFailed(int error, std::string text, std::string cause, std::string hint)
{
    m_accessProblem = {.text = std::move(text),
                       .cause = std::move(cause),
                       .hint = std::move(hint),
                       .error = -error,
                       .bus = m_node,
                       .usbBridge = m_usbBridge};
    return error;
}

// Whoever opens the adapter tells the line; each open starts afresh.
void LinuxI2cAdapter::Report(const std::string& line, int error)
{
    m_openProblem = {.text = line,
                     .cause = {},
                     .hint = {},
                     .error = -error,
                     .bus = m_node,
                     .usbBridge = m_usbBridge};
}

void LinuxI2cAdapter::CloseBus()
{
    if (m_fd >= 0)
        m_sys.Close(m_fd);
    m_fd = -1;
    m_selectedAddress = -1;
    m_plainI2c = false;
}

std::unique_ptr<TvxAdapter> MakeLinuxI2cAdapter(const std::string& node)
{
    return std::make_unique<LinuxI2cAdapter>(node, std::make_unique<RealI2cDevSys>());
}
