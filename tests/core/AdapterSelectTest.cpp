#include "AdapterSelect.h"
#include "ProgramName.h"
#include "RegisterImage.h"
#include "ScratchDir.h"
#include "SimBoard.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kSimNotice =
    "zr5130-eval: using the simulated board; set ZR5130_ADAPTER=/dev/i2c-N for real hardware "
    "(or none, or sim:FILE)";

const char* const kDump =
    "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n"
    "00: 80 05 31 00 00 00 00 00 00 00 00 00 00 00 00 00    ?.1.............\n"
    "10: 00 00 00 00 00 00 3f 00 00 00 00 00 00 00 00 00    ......?.........\n"
    "20: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "30: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "40: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "50: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "60: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "70: 00 00 0f 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "80: XX XX XX XX XX XX XX XX XX XX XX XX XX XX XX XX    XXXXXXXXXXXXXXXX\n"
    "90: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "a0: 12 34 00 00 00 00 00 00 00 00 00 00 00 00 00 00    .4..............\n"
    "b0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "c0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "d0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "e0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n"
    "f0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n";

bool IsBlankSimBoard(const TvxAdapter* adapter)
{
    const auto* board = dynamic_cast<const SimBoard*>(adapter);
    return board && board->Peek(0x02) == 0x30 && board->Peek(0x72) == 0x00;
}

TEST(ChooseAdapter, DefaultsToTheSimulatedBoard)
{
    for (const char* setting : {static_cast<const char*>(nullptr), "", "sim"}) {
        SCOPED_TRACE(setting ? setting : "(unset)");
        const AdapterChoice choice = ChooseAdapter(setting);
        EXPECT_TRUE(IsBlankSimBoard(choice.adapter.get()));
        EXPECT_EQ(choice.notice, kSimNotice);
        EXPECT_EQ(choice.error, "");
    }
}

TEST(ChooseAdapter, SimWithAFileLoadsTheRegisterImage)
{
    const ScratchDir scratch;
    const std::string path = scratch.File("select-board.txt");
    std::ofstream(path) << kDump;
    const AdapterChoice choice = ChooseAdapter(("sim:" + path).c_str());
    const auto* board = dynamic_cast<const SimBoard*>(choice.adapter.get());
    ASSERT_NE(board, nullptr) << choice.error;
    EXPECT_EQ(board->Peek(0x00), 0x80);
    EXPECT_EQ(board->Peek(0x02), 0x31);
    EXPECT_EQ(board->Peek(0x72), 0x0F);
    EXPECT_EQ(board->Peek(0xA1), 0x34);
    EXPECT_EQ(board->Peek(0x85), std::nullopt);
    EXPECT_NE(choice.notice.find(path), std::string::npos) << choice.notice;
    EXPECT_EQ(choice.error, "");
}

TEST(ChooseAdapter, SimWithABadFileRefusesWithTheLoadersMessage)
{
    const ScratchDir scratch;
    const std::string path = scratch.File("select-broken.txt");
    std::ofstream(path) << "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n00: 0z\n";
    RegisterImage image;
    std::string loaderError;
    ASSERT_FALSE(LoadRegisterImage(path, image, loaderError));

    const AdapterChoice choice = ChooseAdapter(("sim:" + path).c_str());
    EXPECT_EQ(choice.adapter, nullptr);
    EXPECT_EQ(choice.error,
              "ZR5130_ADAPTER=sim:" + path + ":2: register 0x00: '0z' is not a byte");

    const AdapterChoice missing = ChooseAdapter("sim:");
    EXPECT_EQ(missing.adapter, nullptr);
    EXPECT_NE(missing.error, "");
}

TEST(ChooseAdapter, NoneMeansNoAdapterConnected)
{
    const AdapterChoice choice = ChooseAdapter("none");
    EXPECT_EQ(choice.adapter, nullptr);
    EXPECT_NE(choice.notice.find("no adapter connected"), std::string::npos) << choice.notice;
    EXPECT_EQ(choice.error, "");
}

// The notices carry the name of the program that chose: zr5130ctl shares the choice.
TEST(ChooseAdapter, NoticesNameTheRunningProgram)
{
    LinkSetProgramName("zr5130ctl");
    const AdapterChoice choice = ChooseAdapter("none");
    LinkSetProgramName("zr5130-eval");
    EXPECT_EQ(choice.notice, "zr5130ctl: no adapter connected (ZR5130_ADAPTER=none)");
}

TEST(ChooseAdapter, DevicePathSelectsTheLinuxBus)
{
    const AdapterChoice choice = ChooseAdapter("/dev/i2c-77");
    ASSERT_NE(choice.adapter, nullptr);
    EXPECT_EQ(choice.error, "");
    EXPECT_NE(choice.notice.find("/dev/i2c-77"), std::string::npos) << choice.notice;
    // No such bus here: the adapter finds no controller rather than failing to start.
    EXPECT_EQ(choice.adapter->FindControllers(), 0);
    EXPECT_NE(choice.adapter->OpenFailure().find("/dev/i2c-77"), std::string::npos);
}

TEST(ChooseAdapter, SimStatusScriptsTheStatusRegisterOfTheSimulatedBoard)
{
    AdapterOptions options;
    options.simStatus = "30, 38,b0";
    const AdapterChoice choice = ChooseAdapter("sim", options);
    std::vector<int> answers;
    for (int i = 0; i < 4; ++i) answers.push_back(choice.adapter->RegisterRead(SimBoard::kHandle, 0x2C, 0x02));
    EXPECT_EQ(answers, (std::vector<int>{0x30, 0x38, 0xB0, 0x30}));
    // Bus faults at chosen reads: no answer, a bus that times out (the chip
    // object then marks it stuck), a replug that loses the session until the
    // board is opened again.
    options.simStatus = "30,XX,timeout,replug,31";
    const AdapterChoice faulty = ChooseAdapter("sim", options);
    TvxAdapter& board = *faulty.adapter;
    const auto read = [&](int handle) { return board.RegisterRead(handle, 0x2C, 0x02); };
    const int handle = SimBoard::kHandle;
    EXPECT_EQ(read(handle), 0x30);
    EXPECT_EQ(read(handle), -ENXIO);
    EXPECT_EQ(read(handle), -ETIMEDOUT);
    EXPECT_EQ(board.AccessFailure(), "the simulated board's bus timed out (as ZR5130_SIM_STATUS asks)");
    EXPECT_EQ(board.RegisterRead(handle, 0x2C, 0xA0), 0x00);
    EXPECT_LT(read(handle), 0);  // the replug: the session is gone
    EXPECT_LT(board.RegisterRead(handle, 0x2C, 0xA0), 0);
    char serial[kTvxSerialSize] = "SIM-ZR5130";
    EXPECT_EQ(read(board.Open(serial)), 0x31);

    options.simStatus = "30;3";
    EXPECT_EQ(ChooseAdapter("sim", options).error,
              "ZR5130_SIM_STATUS: '30;3' is not a list of two-digit hex values, XX, timeout or "
              "replug (for example 30,38,30)");
}

TEST(ChooseAdapter, SimIgnoreWritesKeepsTheValuesOfTheNamedRegisters)
{
    AdapterOptions options;
    options.simIgnoreWrites = "a5 A1";
    const AdapterChoice choice = ChooseAdapter("sim", options);
    for (uint8_t reg : {0xA0, 0xA1, 0xA5})
        EXPECT_EQ(choice.adapter->RegisterWrite(SimBoard::kHandle, 0x2C, reg, 0x3C), 0);
    std::vector<int> values;
    for (uint8_t reg : {0xA0, 0xA1, 0xA5})
        values.push_back(choice.adapter->RegisterRead(SimBoard::kHandle, 0x2C, reg));
    EXPECT_EQ(values, (std::vector<int>{0x3C, 0x00, 0x00}));
    options.simIgnoreWrites = "A5,1";
    EXPECT_EQ(ChooseAdapter("sim", options).error,
              "ZR5130_SIM_IGNORE_WRITES: 'A5,1' is not a list of two-digit hex registers (for "
              "example A5,A1)");
}

TEST(ChooseAdapter, RejectsAnythingElse)
{
    for (const char* setting : {"SIM", "simulated", "tavrix", " sim"}) {
        const AdapterChoice choice = ChooseAdapter(setting);
        EXPECT_EQ(choice.adapter, nullptr);
        EXPECT_EQ(choice.error, std::string("ZR5130_ADAPTER: unknown adapter '") + setting +
                                    "' (use sim, sim:FILE, none, /dev/i2c-N or i2c:NAME)");
    }
}

}  // namespace
