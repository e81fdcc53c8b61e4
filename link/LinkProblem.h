#pragma once

#include <string>

// Why an adapter did not come up or a register access failed, in parts, so
// that each front end says it in its own words and none rewrites another's
// text: the panel shows the adapter's whole sentence, zr5130ctl and Python
// one line built from the parts, Python's BusError carries the errno.
struct LinkProblem {
    // The adapter's whole sentence with what to do about it, as the panel's
    // status line shows it ("no answer from address 0x2c on /dev/i2c-7; is
    // the board powered ..."); empty when the adapter cannot tell.
    std::string text;
    // The cause in words, without register, address or bus: "no device
    // answered", "the bus timed out"; empty when the adapter cannot tell.
    std::string cause;
    // What to do about it, when the adapter knows: "is SDA or SCL held low?".
    std::string hint;
    // The kernel's errno (ENXIO, EREMOTEIO, ETIMEDOUT, EACCES, ...); 0 when
    // there is none.
    int error = 0;
    // The bus it happened on ("/dev/i2c-7"); empty when the adapter does not
    // name one.
    std::string bus;
    // The bus is a USB-to-I2C bridge: only there is a cable worth checking.
    bool usbBridge = false;
};
