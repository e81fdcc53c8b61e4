// The chip object: its own adapter, session, failure, stuck mark, trace,
// observer and lock; any number of them at once.
#include "ChipLink.h"
#include "FakeI2cDevSys.h"
#include "LinuxI2cAdapter.h"
#include "SimBoard.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace {

using Outcome = WriteCheck::Outcome;

std::unique_ptr<ChipLink> OpenSim(SimBoard*& board, const std::string& name = "sim")
{
    auto owned = std::make_unique<SimBoard>();
    board = owned.get();
    auto chip = std::make_unique<ChipLink>(std::move(owned), name);
    EXPECT_TRUE(chip->Open());
    return chip;
}

TEST(ChipLink, WriteVerifiedFollowsTheMap)
{
    SimBoard* board = nullptr;
    const auto chip = OpenSim(board);
    board->IgnoreWrites({0xA5, 0x72});
    board->Poke(0x72, 0x83);
    board->Poke(0xA8, std::nullopt);
    board->faultInjector = [](bool write, uint8_t reg) { return !write && reg == 0xA9; };
    const struct {
        uint8_t reg, value;
        Outcome outcome;
        std::optional<uint8_t> read;
    } cases[] = {
        {0xA0, 0x23, Outcome::Done, 0x23},
        {0xA5, 0x07, Outcome::Differs, 0x00},    // keeps its value
        {0x02, 0xFF, Outcome::Refused, {}},      // read-only: never written
        {0x72, 0x80, Outcome::Done, {}},         // the burn register: acknowledged is enough
        {0xA8, 0x01, Outcome::WriteFailed, {}},  // does not answer
        {0xA9, 0x01, Outcome::ReadFailed, {}},   // takes it, but the read back fails
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.reg));
        const WriteCheck check = chip->WriteVerified(c.reg, c.value);
        EXPECT_EQ(check.outcome, c.outcome);
        EXPECT_EQ(check.read, c.read);
    }
    EXPECT_EQ(board->Peek(0x02), 0x30);
    EXPECT_EQ(chip->FailureCause(), "no answer from 0x2c on sim");
    EXPECT_EQ(chip->FailureErrno(), ENXIO);
}

TEST(ChipLink, ATimeoutMarksOnlyItsOwnBusStuckUntilCleared)
{
    SimBoard* stuckBoard = nullptr;
    SimBoard* goodBoard = nullptr;
    const auto stuck = OpenSim(stuckBoard, "sim:A");
    const auto good = OpenSim(goodBoard, "sim:B");
    stuckBoard->SetStatusSequence({SimBoard::StatusAnswer::Kind::Timeout, 0x31});
    EXPECT_EQ(stuck->Read(0x02), std::nullopt);
    ASSERT_NE(stuck->StuckCause(), nullptr);
    EXPECT_EQ(*stuck->StuckCause(), "the simulated board's bus timed out (as ZR5130_SIM_STATUS asks)");
    EXPECT_EQ(stuck->FailureErrno(), ETIMEDOUT);
    EXPECT_FALSE(stuck->Write(0xA0, 0x01)) << "fails at once while marked";
    EXPECT_EQ(stuckBoard->Peek(0xA0), 0x00);
    EXPECT_EQ(good->Read(0x02), 0x30);
    EXPECT_EQ(good->StuckCause(), nullptr);
    stuck->ClearStuck();
    EXPECT_EQ(stuck->Read(0x02), 0x31);
}

// The kernel's causes in one line each, naming address and bus; a cable
// only for a USB bridge.
TEST(ChipLink, LinuxFailuresAreOneLineEach)
{
    const struct {
        int error;
        std::string line;
    } cases[] = {
        {-ENXIO, "no device answered at 0x2c on /dev/i2c-3; is the board powered and connected, "
                 "and the chip at this address?"},
        {-ETIMEDOUT, "the bus timed out at 0x2c on /dev/i2c-3; is SDA or SCL held low? Check the "
                     "board's power and pull-ups"},
        {-EIO, "the transfer failed (Input/output error) at 0x2c on /dev/i2c-3"},
    };
    for (const auto& c : cases) {
        FakeI2cDevSys sys;
        ChipLink chip(std::make_unique<LinuxI2cAdapter>("/dev/i2c-3", sys), "/dev/i2c-3");
        ASSERT_TRUE(chip.Open());
        sys.transferFailures = {c.error};
        EXPECT_EQ(chip.Read(0x02), std::nullopt);
        EXPECT_EQ(chip.FailureCause(), c.line);
        EXPECT_EQ(chip.FailureErrno(), -c.error);
        EXPECT_EQ(chip.FailureCause().find("USB"), std::string::npos);
        EXPECT_EQ(chip.FailureCause().find('\n'), std::string::npos);
    }
}

TEST(ChipLink, EachChipTracesAndTellsItsOwnAccesses)
{
    SimBoard* boardA = nullptr;
    SimBoard* boardB = nullptr;
    const auto a = OpenSim(boardA);
    const auto b = OpenSim(boardB);
    const std::string path = testing::TempDir() + "chiplink-trace.txt";
    std::remove(path.c_str());
    TraceFile trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, error)) << error;
    a->AddTrace(trace);
    std::vector<RegisterAccess> seen;
    a->SetObserver([&](const RegisterAccess& access) { seen.push_back(access); });
    boardA->Poke(0x03, std::nullopt);

    EXPECT_TRUE(a->WriteVerified(0xA5, 0xE4).Ok());
    EXPECT_EQ(a->Read(0x03), std::nullopt);
    EXPECT_EQ(b->Read(0xA5), 0x00) << "the other chip's board is its own";
    trace.Close();
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "W A5 E4 ok\nR A5 E4 ok\nR 03 -- fail\n");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[0].write && seen[0].reg == 0xA5 && seen[0].value == 0xE4 && seen[0].ok);
    EXPECT_TRUE(!seen[2].write && seen[2].reg == 0x03 && !seen[2].ok);
    EXPECT_LE(seen[0].time, seen[2].time);
}

}  // namespace
