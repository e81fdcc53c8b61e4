#pragma once

#include "I2cBuses.h"
#include "I2cDev.h"
#include "TextInput.h"
#include "TvxAdapter.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Which adapter answers the tvx operations, chosen once from ZR5130_ADAPTER:
// unset or "sim" (simulated board), "sim:FILE" (simulated board loaded from a
// register image), "none" (no adapter connected), "/dev/i2c-N" (Linux bus),
// "i2c:NAME" (the Linux bus whose adapter name contains NAME).
struct AdapterChoice {
    std::unique_ptr<TvxAdapter> adapter;  // null for "none" and on error
    std::string notice;                   // one line for standard error, or empty
    // Non-empty: refuse to start (exit status 2), naming the setting's
    // source; its parts follow, so that no front end rewrites the text.
    std::string error;
    // What the error is about: the source of the setting ("ZR5130_ADAPTER",
    // "--adapter", "the remembered adapter"), or the simulated board's
    // option ("ZR5130_SIM_STATUS").
    std::string errorSetting;
    // error after errorSetting: "=sim:board.txt:3: ...", ": unknown adapter ...".
    std::string errorRest;
    // The setting and cause without the source: "sim:board.txt:3: ...",
    // "i2c: needs part ...", "unknown adapter ...".
    std::string errorDetail;
    // The cause alone: "unknown adapter 'usb' (use ...)", and for a dump
    // that cannot be read what the dump reader says without file and line.
    std::string errorCause;
    // A dump (sim:FILE) that cannot be read: its path and the line at fault
    // (0: not one line).
    std::string dumpFile;
    int dumpLine = 0;
    std::string dumpError;  // the dump reader's whole text: "FILE:N: what"
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
    // ZR5130_SIM_TIMEOUT: how long, in seconds (decimals allowed), a read of
    // the simulated board waits when its bus times out ("timeout" in
    // ZR5130_SIM_STATUS); empty: not at all.
    std::string simTimeout;
    std::string sysClassDir = kSysClassI2cDev;
    // Whether "sim:-" loads the dump from standard input (zr5130ctl's
    // --adapter) or from a file named "-".
    Dash dash = Dash::IsAFile;
    // The system calls behind a Linux bus; the real ones when empty.
    std::function<std::unique_ptr<I2cDevSys>()> systemCalls;
};

AdapterOptions AdapterOptionsFromEnvironment();

// The dump reader's error "NAME:N: what" or "NAME: what" (NAME as
// TextInputName gives it) taken apart: the line (0: not one line) and what.
struct DumpErrorParts {
    int line = 0;
    std::string what;
};
DumpErrorParts SplitDumpError(const std::string& name, std::string_view error);

// source names where setting came from in the notice and the error:
// "ZR5130_ADAPTER", "--adapter", "the remembered adapter".
AdapterChoice ChooseAdapter(const char* setting,
                            const AdapterOptions& options = AdapterOptionsFromEnvironment(),
                            const std::string& source = "ZR5130_ADAPTER");
