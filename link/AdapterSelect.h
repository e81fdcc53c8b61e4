#pragma once

#include "I2cBuses.h"
#include "I2cDev.h"
#include "TextInput.h"
#include "TvxAdapter.h"

#include <functional>
#include <memory>
#include <string>

// Which adapter answers the tvx operations, chosen once from ZR5130_ADAPTER:
// unset or "sim" (simulated board), "sim:FILE" (simulated board loaded from a
// register image), "none" (no adapter connected), "/dev/i2c-N" (Linux bus),
// "i2c:NAME" (the Linux bus whose adapter name contains NAME).
struct AdapterChoice {
    std::unique_ptr<TvxAdapter> adapter;  // null for "none" and on error
    std::string notice;                   // one line for standard error, or empty
    std::string error;                    // non-empty: refuse to start (exit status 2)
};

// What besides ZR5130_ADAPTER shapes the adapter.
struct AdapterOptions {
    // ZR5130_SIM_STATUS: hex values the simulated board's status register
    // answers in turn, "30,38,30".
    std::string simStatus;
    // ZR5130_SIM_IGNORE_WRITES: registers of the simulated board that
    // acknowledge a write and keep their value, "A5,A1": a chip whose
    // register does not take what is written, for trying read-back checks.
    std::string simIgnoreWrites;
    std::string sysClassDir = kSysClassI2cDev;
    // Whether "sim:-" loads the dump from standard input (zr5130ctl's
    // --adapter) or from a file named "-".
    Dash dash = Dash::IsAFile;
    // The system calls behind a Linux bus; the real ones when empty.
    std::function<std::unique_ptr<I2cDevSys>()> systemCalls;
};

AdapterOptions AdapterOptionsFromEnvironment();

AdapterChoice ChooseAdapter(const char* setting,
                            const AdapterOptions& options = AdapterOptionsFromEnvironment());
