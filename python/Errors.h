#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// What goes wrong behind the Python module, as C++ exceptions; Module.cpp
// turns each into its Python exception. Bad arguments are
// std::invalid_argument (ValueError).

// Any zr5130.Error that is not one of the kinds below: a chip that was
// closed, a trace that could not be written.
struct ModuleFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The adapter could not be chosen or did not come up (zr5130.AdapterError).
struct AdapterFailure : ModuleFailure {
    using ModuleFailure::ModuleFailure;
};

// A register access failed (zr5130.BusError, an OSError): "register A5:
// CAUSE", with the kernel's errno where it gave one (0: none).
struct BusFailure : ModuleFailure {
    BusFailure(uint8_t reg, std::string cause, int error = 0);
    uint8_t reg;
    std::string cause;
    int error;
};

// A register was written and reads back otherwise (zr5130.MismatchError).
struct MismatchFailure : BusFailure {
    MismatchFailure(uint8_t reg, uint8_t wrote, uint8_t read, std::string fields);
    uint8_t wrote;
    uint8_t read;
};

// A register dump that cannot be read (zr5130.DumpError): "FILE:N: what".
struct DumpFailure : ModuleFailure {
    // message as the dump reader gives it: "FILE:N: what" or "FILE: what".
    DumpFailure(std::string file, const std::string& message, int line);
    std::string file;
    int line = 0;  // 0: not about one line
};

// A file that cannot be opened or written (OSError).
struct FileFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A field name the map does not know (KeyError), with the nearest one.
struct UnknownName : std::runtime_error {
    using std::runtime_error::runtime_error;
};
