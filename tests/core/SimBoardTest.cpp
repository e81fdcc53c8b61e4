#include "DeviceLink.h"
#include "ScriptedAdapter.h"
#include "SimBoard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kHandle = SimBoard::kHandle;
constexpr uint16_t kChip = chip::kChipAddress;

TEST(SimBoardAdapter, AnswersAsOneHealthyAdapter)
{
    SimBoard board;
    char serial[kTvxSerialSize] = {};
    EXPECT_EQ(board.FindControllers(), 1);
    EXPECT_EQ(board.GetSerialNumber(0, serial), 0);
    EXPECT_STREQ(serial, "SIM-ZR5130");
    EXPECT_LT(board.GetSerialNumber(1, serial), 0);
    EXPECT_EQ(board.Open(serial), kHandle);
    EXPECT_EQ(board.Open("OTHER-0001"), 0);

    unsigned char firmware[5] = {9, 9, 9, 9, 9};
    EXPECT_GE(board.FirmwareVersionRead(kHandle, firmware, 5), 0);
    EXPECT_EQ(std::vector<int>(firmware, firmware + 5), (std::vector<int>{2, 5, 1, 0, 0}));
    EXPECT_LT(board.FirmwareVersionRead(kHandle, firmware, 3), 0);
    EXPECT_LT(board.FirmwareVersionRead(0, firmware, 5), 0);

    EXPECT_EQ(board.I2cControl(kHandle, 0, 0, 1), 0);
    EXPECT_EQ(board.GpioWriteControl(kHandle, {0, 0, 1, 1, 1, 1, 2, 1, 0, 0, 0, 0, 0}), 0);
    EXPECT_EQ(board.PowerWriteControl(kHandle, 1, 0), 0);
    EXPECT_LT(board.I2cControl(0, 0, 0, 1), 0);
    EXPECT_LT(board.GpioWriteControl(0, {}), 0);
    EXPECT_LT(board.PowerWriteControl(0, 1, 0), 0);
}

TEST(SimBoardAdapter, OpensThroughTheLink)
{
    SimBoard board;
    ScopedAdapter installed(&board);
    uint8_t rfw = 0;
    uint8_t ffw = 0;
    EXPECT_EQ(AdapterOpen(rfw), kAdapterOk);
    AdapterFfwVersion(ffw);
    EXPECT_EQ(g_adapterHandle, kHandle);
    EXPECT_EQ(rfw, 0x25);
    EXPECT_EQ(ffw, 0x10);
}

TEST(SimBoardAdapter, RefusesRegistersBeforeTheOpen)
{
    SimBoard board;
    ScopedAdapter installed(&board);
    uint8_t value = 0x5A;
    EXPECT_EQ(RegRead(kChip, 0x02, value), 1);
    EXPECT_EQ(value, 0x5A);
    EXPECT_EQ(RegWrite(kChip, 0x00, 0x80), 1);
    EXPECT_EQ(board.Peek(0x00), 0x00);
}

TEST(SimBoardChip, StartsAsABlankChip)
{
    SimBoard board;
    for (int reg = 0; reg < 256; ++reg) {
        const int expected = reg == chip::kStatusRegister ? 0x30 : 0x00;
        EXPECT_EQ(board.RegisterRead(kHandle, kChip, static_cast<uint8_t>(reg)), expected)
            << "register " << reg;
    }
}

TEST(SimBoardChip, KeepsWritesExceptToTheStatusRegister)
{
    SimBoard board;
    EXPECT_EQ(board.RegisterWrite(kHandle, kChip, 0xA5, 0x3C), 0);
    EXPECT_EQ(board.RegisterRead(kHandle, kChip, 0xA5), 0x3C);
    EXPECT_EQ(board.RegisterWrite(kHandle, kChip, 0x02, 0xFF), 0);
    EXPECT_EQ(board.RegisterRead(kHandle, kChip, 0x02), 0x30);
}

TEST(SimBoardChip, OnlyAnswersAtItsAddressAndHandle)
{
    SimBoard board;
    board.Poke(0x00, 0x42);
    EXPECT_LT(board.RegisterRead(kHandle, 0x2D, 0x00), 0);
    EXPECT_NE(board.RegisterWrite(kHandle, 0x2D, 0x00, 0x11), 0);
    EXPECT_LT(board.RegisterRead(0, kChip, 0x00), 0);
    EXPECT_NE(board.RegisterWrite(0, kChip, 0x00, 0x11), 0);
    EXPECT_EQ(board.Peek(0x00), 0x42);
}

TEST(SimBoardChip, AbsentRegisterDoesNotAnswer)
{
    SimBoard board;
    RegisterImage image;
    image.values.fill(0x00);
    image.values[0x10] = std::nullopt;
    image.values[0x11] = 0x77;
    board.Load(image);
    EXPECT_LT(board.RegisterRead(kHandle, kChip, 0x10), 0);
    EXPECT_NE(board.RegisterWrite(kHandle, kChip, 0x10, 0x01), 0);
    EXPECT_EQ(board.Peek(0x10), std::nullopt);
    EXPECT_EQ(board.RegisterRead(kHandle, kChip, 0x11), 0x77);
}

TEST(SimBoardChip, LoadReplacesEveryRegisterIncludingStatus)
{
    SimBoard board;
    board.RegisterWrite(kHandle, kChip, 0x40, 0x99);
    RegisterImage image;
    image.values.fill(0x00);
    image.values[0x02] = 0x01;
    image.values[0xFF] = 0xEE;
    board.Load(image);
    EXPECT_EQ(board.Peek(0x02), 0x01);
    EXPECT_EQ(board.Peek(0x40), 0x00);
    EXPECT_EQ(board.Peek(0xFF), 0xEE);
}

TEST(SimBoardChip, InjectedFaultsFailJustTheChosenAccesses)
{
    SimBoard board;
    std::vector<std::pair<bool, int>> seen;
    board.faultInjector = [&seen](bool isWrite, uint8_t reg) {
        seen.emplace_back(isWrite, reg);
        return isWrite && reg == 0xA5;
    };
    EXPECT_NE(board.RegisterWrite(kHandle, kChip, 0xA5, 0x3C), 0);
    EXPECT_EQ(board.Peek(0xA5), 0x00);
    EXPECT_EQ(board.RegisterWrite(kHandle, kChip, 0xA4, 0x3C), 0);
    EXPECT_EQ(board.RegisterRead(kHandle, kChip, 0xA5), 0x00);
    EXPECT_EQ(seen, (std::vector<std::pair<bool, int>>{{true, 0xA5}, {true, 0xA4}, {false, 0xA5}}));

    board.faultInjector = [](bool isWrite, uint8_t) { return !isWrite; };
    EXPECT_LT(board.RegisterRead(kHandle, kChip, 0xA4), 0);
}

}  // namespace
