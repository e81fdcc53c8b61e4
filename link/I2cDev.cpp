#include "I2cDev.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace {

// A failed call that left errno at 0 must still read as a failure.
int NegErrno()
{
    return errno != 0 ? -errno : -EIO;
}

}  // namespace

RealI2cDevSys::RealI2cDevSys(std::string sysClassDir) : m_sysClassDir(std::move(sysClassDir)) {}

int RealI2cDevSys::StatNode(const std::string& node, int& bus)
{
    struct stat st {};
    if (::stat(node.c_str(), &st) != 0)
        return NegErrno();
    if (!S_ISCHR(st.st_mode) || major(st.st_rdev) != kI2cDevMajor)
        return -ENODEV;
    bus = static_cast<int>(minor(st.st_rdev));
    return 0;
}

int RealI2cDevSys::ReadBusName(int bus, std::string& name)
{
    const std::string path = m_sysClassDir + "/i2c-" + std::to_string(bus) + "/name";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return NegErrno();
    char text[256];
    const ssize_t n = ::read(fd, text, sizeof text);
    const int rc = n < 0 ? NegErrno() : 0;
    ::close(fd);
    if (rc < 0)
        return rc;
    name.assign(text, static_cast<size_t>(n));
    while (!name.empty() && (name.back() == '\n' || name.back() == ' '))
        name.pop_back();
    return 0;
}

// The descriptor is what gets checked, not the path: the path could be
// swapped for something else between a check and the open.
int RealI2cDevSys::Open(const std::string& node)
{
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return NegErrno();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || major(st.st_rdev) != kI2cDevMajor) {
        ::close(fd);
        return -ENODEV;
    }
    return fd;
}

void RealI2cDevSys::Close(int fd)
{
    ::close(fd);
}

int RealI2cDevSys::IoctlValue(int fd, unsigned long request, unsigned long value)
{
    return ::ioctl(fd, request, value) < 0 ? NegErrno() : 0;
}

int RealI2cDevSys::IoctlFuncs(int fd, unsigned long& funcs)
{
    return ::ioctl(fd, I2C_FUNCS, &funcs) < 0 ? NegErrno() : 0;
}

int RealI2cDevSys::IoctlSmbus(int fd, i2c_smbus_ioctl_data& args)
{
    return ::ioctl(fd, I2C_SMBUS, &args) < 0 ? NegErrno() : 0;
}

int RealI2cDevSys::IoctlRdwr(int fd, i2c_rdwr_ioctl_data& args)
{
    const int done = ::ioctl(fd, I2C_RDWR, &args);
    return done < 0 ? NegErrno() : done;
}
