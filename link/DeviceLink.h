#pragma once

#include "ChipLink.h"

#include <cstdint>
#include <string>

// The panel's road to the chip: the adapter vendor's function shapes over
// one chip object (LinkChip), the only one in the process. Opens the adapter
// once and reads and writes single 8-bit registers. Status codes, not
// exceptions. zr5130ctl and the Python module hold chip objects of their own.

// The panel's chip object: its lock for a worker that shares the bus with
// the window, its observer for a record of every access.
ChipLink& LinkChip();

// The handle of the panel's session, as the last AdapterOpen left it.
extern int32_t g_adapterHandle;

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

// The open adapter's session, kept while another adapter is tried, and put
// back when that one fails.
LinkSession LinkSaveSession();
void LinkRestoreSession(const LinkSession& session);

// Back to the state at program start (no handle, FFW pair 0.0), so that each
// test starts as a fresh run of the program does.
void LinkResetSession();
