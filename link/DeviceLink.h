#pragma once

#include <cstdint>
#include <string>

// The one road to the chip: opens the adapter once and reads and writes
// single 8-bit registers. Status codes, not exceptions.

extern int32_t g_adapterHandle;

enum AdapterOpenResult : int {
    kAdapterOk = 0,
    kAdapterFirmwareFailed = 2,
    kAdapterI2cFailed = 3,
    kAdapterGpioFailed = 4,
    kAdapterPowerFailed = 5,
};

// Finds, opens and configures the adapter. rfw gets the packed RFW version
// byte (major * 16 + minor, modulo 256) unless the firmware read fails.
int AdapterOpen(uint8_t& rfw);
// The packed FFW version kept by the last AdapterOpen; always succeeds.
int AdapterFfwVersion(uint8_t& ffw);

// 0 on success; 1 on failure, leaving value exactly as the caller set it.
int RegRead(unsigned address, uint8_t reg, uint8_t& value);
// 0 on success; 1 when the adapter answers anything but 0.
int RegWrite(unsigned address, uint8_t reg, uint8_t value);

// Why the bus is marked stuck (it timed out or stayed busy), naming it; null
// while it is not. Once marked, every RegRead and RegWrite fails at once
// without waiting on the bus, until LinkClearStuck: call that when the next
// action of the user (or the next command) starts, so each one tries the bus
// once.
const std::string* LinkStuckCause();
void LinkClearStuck();

// Why the last failed register access failed, as the adapter tells it; empty
// when it cannot tell (or no adapter is connected).
std::string LinkAccessFailure();

// The open adapter's session: handle, serial number and firmware version.
// Kept while another adapter is tried, and put back when that one fails.
struct LinkSession {
    int32_t handle = 0;
    std::string serial;
    uint8_t ffwMajor = 0;
    uint8_t ffwMinor = 0;
};
LinkSession LinkSaveSession();
void LinkRestoreSession(const LinkSession& session);

// Back to the state at program start (no handle, FFW pair 0.0), so that each
// test starts as a fresh run of the program does.
void LinkResetSession();
