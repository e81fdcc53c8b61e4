#pragma once

#include "I2cDev.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

inline std::string Hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

// Stands in for the kernel: one chip answering at kChip on the bus, with a
// register file that writes change and reads answer from. Records every call
// as a line of text so tests can compare what reached the "kernel".
class FakeI2cDevSys : public I2cDevSys {
public:
    static constexpr unsigned kChip = 0x2C;

    int statResult = 0;
    int bus = 3;
    int nameResult = 0;
    std::string busName = "CP2112 SMBus Bridge on hidraw0";
    int openResult = 5;  // the descriptor, or -errno
    int funcsResult = 0;
    unsigned long funcs = I2C_FUNC_I2C | I2C_FUNC_SMBUS_BYTE_DATA;
    int slaveResult = 0;
    std::deque<int> transferFailures;  // -errno answers for the next transfers
    unsigned rdwrMessagesDone = I2C_RDWR_IOCTL_MAX_MSGS;  // an I2C_RDWR stops after this many
    std::array<uint8_t, 256> registers{};

    std::vector<std::string> calls;

    int StatNode(const std::string& node, int& busOut) override
    {
        calls.push_back("stat " + node);
        if (statResult == 0)
            busOut = bus;
        return statResult;
    }

    int ReadBusName(int busIn, std::string& name) override
    {
        calls.push_back("name " + std::to_string(busIn));
        if (nameResult == 0)
            name = busName;
        return nameResult;
    }

    int Open(const std::string& node) override
    {
        calls.push_back("open " + node);
        return openResult;
    }

    void Close(int fd) override { calls.push_back("close " + std::to_string(fd)); }

    int IoctlValue(int fd, unsigned long request, unsigned long value) override
    {
        calls.push_back("ioctl " + std::to_string(fd) + " " + Hex(static_cast<unsigned>(request)) +
                        " " + Hex(static_cast<unsigned>(value)));
        if (request != I2C_SLAVE && request != I2C_SLAVE_FORCE)
            return -ENOTTY;
        if (slaveResult == 0)
            m_address = value;
        return slaveResult;
    }

    int IoctlFuncs(int fd, unsigned long& funcsOut) override
    {
        calls.push_back("funcs " + std::to_string(fd));
        if (funcsResult == 0)
            funcsOut = funcs;
        return funcsResult;
    }

    int IoctlSmbus(int fd, i2c_smbus_ioctl_data& args) override
    {
        const bool read = args.read_write == I2C_SMBUS_READ;
        std::string call = "smbus " + std::to_string(fd) + (read ? " read " : " write ") +
                           Hex(static_cast<unsigned>(m_address)) + " " + Hex(args.command);
        if (!read && args.data != nullptr)
            call.append(" ").append(Hex(args.data->byte));
        call.append(" size ").append(std::to_string(args.size));
        calls.push_back(call);

        if (args.size != I2C_SMBUS_BYTE_DATA || args.data == nullptr)
            return -EINVAL;
        if (!transferFailures.empty()) {
            const int rc = transferFailures.front();
            transferFailures.pop_front();
            return rc;
        }
        if (m_address != kChip)
            return -ENXIO;
        if (read)
            args.data->byte = registers[args.command];
        else
            registers[args.command] = args.data->byte;
        return 0;
    }

    // The chip as plain I2C sees it: a written message sets the register
    // pointer with its first byte and writes the rest from there; a read
    // message reads from the pointer. Recorded one message after another:
    // "rdwr 5 0x2c w 0xa5, 0x2c r 1".
    int IoctlRdwr(int fd, i2c_rdwr_ioctl_data& args) override
    {
        std::string call = "rdwr " + std::to_string(fd);
        for (unsigned i = 0; i < args.nmsgs; ++i) {
            const i2c_msg& message = args.msgs[i];
            call.append(i == 0 ? " " : ", ").append(Hex(message.addr));
            if (message.flags == I2C_M_RD)
                call.append(" r ").append(std::to_string(message.len));
            else if (message.flags == 0)
                for (unsigned b = 0; b < message.len; ++b)
                    call.append(b == 0 ? " w " : " ").append(Hex(message.buf[b]));
            else
                call.append(" flags ").append(Hex(message.flags));
        }
        calls.push_back(call);

        if (!transferFailures.empty()) {
            const int rc = transferFailures.front();
            transferFailures.pop_front();
            return rc;
        }
        const unsigned done = std::min(args.nmsgs, rdwrMessagesDone);
        for (unsigned i = 0; i < done; ++i) {
            i2c_msg& message = args.msgs[i];
            if (message.addr != kChip)
                return -ENXIO;
            const bool read = message.flags & I2C_M_RD;
            for (unsigned b = 0; b < message.len; ++b) {
                if (read)
                    message.buf[b] = registers[m_pointer++];
                else if (b == 0)
                    m_pointer = message.buf[0];
                else
                    registers[m_pointer++] = message.buf[b];
            }
        }
        return static_cast<int>(done);
    }

    size_t CountCalls(const std::string& prefix) const
    {
        return static_cast<size_t>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
            return c.rfind(prefix, 0) == 0;
        }));
    }

private:
    unsigned long m_address = 0;
    uint8_t m_pointer = 0;  // the register a plain I2C read or write goes to next
};
