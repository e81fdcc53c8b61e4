#pragma once

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <string>

// The system calls behind a Linux i2c-dev bus (/dev/i2c-N), kept behind an
// interface so that the adapter on top can be tested without hardware.
// Every call answers in the kernel's style: 0 (or a descriptor) on success,
// -errno on failure.
class I2cDevSys {
public:
    virtual ~I2cDevSys() = default;

    // stat(2) of the node. 0 and the bus number (the device minor) when it is
    // an i2c-dev character device; -ENODEV when it is some other file.
    virtual int StatNode(const std::string& node, int& bus) = 0;
    // The adapter's name from sysfs (i2c-dev/i2c-<bus>/name), without the
    // trailing newline.
    virtual int ReadBusName(int bus, std::string& name) = 0;

    // open(2) read-write; the descriptor or -errno, -ENODEV when what was
    // opened is not an i2c-dev character device.
    virtual int Open(const std::string& node) = 0;
    virtual void Close(int fd) = 0;

    // ioctl(2) requests that take a plain value (I2C_SLAVE).
    virtual int IoctlValue(int fd, unsigned long request, unsigned long value) = 0;
    // ioctl(fd, I2C_FUNCS, &funcs).
    virtual int IoctlFuncs(int fd, unsigned long& funcs) = 0;
    // ioctl(fd, I2C_SMBUS, &args); a read leaves its answer in *args.data.
    virtual int IoctlSmbus(int fd, i2c_smbus_ioctl_data& args) = 0;
    // ioctl(fd, I2C_RDWR, &args): the messages as one transfer, each read
    // message's answer in its buffer; the number of messages done.
    virtual int IoctlRdwr(int fd, i2c_rdwr_ioctl_data& args) = 0;
};

// The character-device major number of i2c-dev (fixed by the kernel's
// device list).
inline constexpr unsigned kI2cDevMajor = 89;

class RealI2cDevSys : public I2cDevSys {
public:
    // sysClassDir is where the i2c-<bus> directories live; tests point it at
    // a directory of their own.
    explicit RealI2cDevSys(std::string sysClassDir = "/sys/class/i2c-dev");

    int StatNode(const std::string& node, int& bus) override;
    int ReadBusName(int bus, std::string& name) override;
    int Open(const std::string& node) override;
    void Close(int fd) override;
    int IoctlValue(int fd, unsigned long request, unsigned long value) override;
    int IoctlFuncs(int fd, unsigned long& funcs) override;
    int IoctlSmbus(int fd, i2c_smbus_ioctl_data& args) override;
    int IoctlRdwr(int fd, i2c_rdwr_ioctl_data& args) override;

private:
    std::string m_sysClassDir;
};
