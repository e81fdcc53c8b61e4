#pragma once

#include "TvxAdapter.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A test adapter that answers like a healthy board unless told otherwise.
// Every answer is a member the test may change; every call is recorded.
// Register reads and writes go to a 256-byte register file as on a chip,
// whatever handle and address they name (the call log shows those).
class ScriptedAdapter : public TvxAdapter {
public:
    // Answers.
    int controllers = 1;
    int serialResult = 0;
    std::string serial = "TEST-0001";
    int openHandle = 7;
    int firmwareResult = 5;
    std::array<unsigned char, 5> firmware{2, 5, 1, 0, 0};
    int i2cResult = 0;
    int gpioResult = 0;
    int powerResult = 0;
    std::array<uint8_t, 256> regs{};
    std::set<uint8_t> failReads;       // these registers fail to read ...
    std::set<uint8_t> failWrites;      // ... or to write ...
    std::set<uint8_t> keepValues;      // ... or take a write but keep their value ...
    std::set<uint8_t> deafAfterWrite;  // ... or fail to read once written
    int readFailureResult = -1;
    int writeFailureResult = 1;

    // Records, in call order.
    std::vector<std::string> calls;  // "RegisterWrite 7 2C A5 3C"
    std::vector<std::pair<uint8_t, uint8_t>> writes;  // every write attempted
    std::vector<uint8_t> reads;                       // every register read attempted

    // The attempted writes as "A5=3C 16=00".
    std::string WriteLog() const;
    // Forgets the records, not the answers or the registers.
    void ClearRecords();

    int FindControllers() override;
    int GetSerialNumber(int index, char* buffer) override;
    int Open(const char* buffer) override;
    int FirmwareVersionRead(int handle, unsigned char* buffer, int size) override;
    int I2cControl(int handle, int a, int b, int c) override;
    int GpioWriteControl(int handle, const std::array<int, 13>& values) override;
    int PowerWriteControl(int handle, int a, int b) override;
    int RegisterRead(int handle, uint16_t address, uint8_t reg) override;
    int RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value) override;
};

// Installs an adapter (nullptr: none connected) for one test and starts the
// link afresh, as a new run of the program would; restores the previous
// adapter on destruction.
class ScopedAdapter {
public:
    explicit ScopedAdapter(TvxAdapter* adapter);
    ~ScopedAdapter();
    ScopedAdapter(const ScopedAdapter&) = delete;
    ScopedAdapter& operator=(const ScopedAdapter&) = delete;

private:
    TvxAdapter* m_previous;
};
