#pragma once

#include "FakeI2cDevSys.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

// A sysfs tree laid out as the kernel does: the class entries are links into
// the device tree, where a USB bridge's bus sits below the root hub usbN.
class FakeSysfs {
public:
    static constexpr const char* kPciParent = "pci0000:00/0000:00:1f.4";
    static constexpr const char* kUsbParent = "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:10C4:EA90.0001";

    explicit FakeSysfs(std::filesystem::path root) : m_root(std::move(root))
    {
        std::filesystem::create_directories(SysClassDir());
    }
    ~FakeSysfs() { std::filesystem::remove_all(m_root); }

    std::string SysClassDir() const { return (m_root / "class/i2c-dev").string(); }

    void AddBus(int number, const std::string& name, const std::string& parent) const
    {
        const std::string bus = "i2c-" + std::to_string(number);
        const std::filesystem::path device = m_root / "devices" / parent / bus / "i2c-dev" / bus;
        std::filesystem::create_directories(device);
        std::ofstream(device / "name") << name << "\n";
        std::filesystem::create_directory_symlink(device, SysClassDir() + "/" + bus);
    }

private:
    std::filesystem::path m_root;
};

// Hands the adapters the calls of one fake, so that the chip keeps its
// registers, and the test sees every call, whichever adapter made it.
class SharedI2cDevSys : public I2cDevSys {
public:
    explicit SharedI2cDevSys(FakeI2cDevSys& fake) : m_fake(fake) {}
    int StatNode(const std::string& node, int& bus) override { return m_fake.StatNode(node, bus); }
    int ReadBusName(int bus, std::string& name) override { return m_fake.ReadBusName(bus, name); }
    int Open(const std::string& node) override { return m_fake.Open(node); }
    void Close(int fd) override { m_fake.Close(fd); }
    int IoctlValue(int fd, unsigned long rq, unsigned long value) override { return m_fake.IoctlValue(fd, rq, value); }
    int IoctlFuncs(int fd, unsigned long& funcs) override { return m_fake.IoctlFuncs(fd, funcs); }
    int IoctlSmbus(int fd, i2c_smbus_ioctl_data& args) override { return m_fake.IoctlSmbus(fd, args); }
    int IoctlRdwr(int fd, i2c_rdwr_ioctl_data& args) override { return m_fake.IoctlRdwr(fd, args); }

private:
    FakeI2cDevSys& m_fake;
};
