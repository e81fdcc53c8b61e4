// The register dumps in examples/ as a user runs them: ZR5130_ADAPTER=sim:FILE
// must start the simulated board with the registers each file describes.
#include "AdapterSelect.h"
#include "RegisterImage.h"
#include "SimBoard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace {

constexpr int kAbsent = RegisterImage::kAbsent;

// The registers of the panel's readback grid.
constexpr uint8_t kGrid[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xA0, 0xA1,
                             0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA,
                             0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0x72, 0x98, 0x9E};

using Registers = std::map<uint8_t, int>;  // the rest of the grid reads 00

const Registers kE08Programmed = {
    {0x01, 0x05}, {0x02, 0x30}, {0x72, 0x83}, {0x98, 0x1B}, {0x9E, 0x22}, {0xA0, 0xFF},
    {0xA1, 0xCF}, {0xA2, 0x2F}, {0xA3, 0x5E}, {0xA4, 0x72}, {0xA5, 0x24}, {0xA6, 0x80},
    {0xA7, 0xFE}, {0xA9, 0xA0}, {0xAA, 0x0F}, {0xAE, 0x0F}};

Registers WithStatus(Registers registers, int status)
{
    registers[0x02] = status;
    return registers;
}

const std::map<std::string, Registers> kExamples = {
    // Blank: bits 3-0 of 0x72 clear, status VRef OK and VBoost OK.
    {"blank-chip.txt", {{0x02, 0x30}}},
    {"e08-programmed.txt", kE08Programmed},
    // Open, VRef OK and Over Voltage; VBoost OK gone.
    {"status-faults.txt", WithStatus(kE08Programmed, 0xA8)},
    {"registers-not-answering.txt",
     {{0x02, 0x30}, {0x03, kAbsent}, {0x04, kAbsent}, {0x05, kAbsent}, {0x06, kAbsent},
      {0xA8, kAbsent}, {0xA9, kAbsent}, {0xAA, kAbsent}, {0xAB, kAbsent}, {0xAC, kAbsent},
      {0xAD, kAbsent}, {0xAE, kAbsent}, {0xAF, kAbsent}}},
};

const std::filesystem::path kExamplesDir = ZR5130_EXAMPLES_DIR;

TEST(Examples, EveryDumpInTheFolderIsDescribedHere)
{
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(kExamplesDir))
        if (entry.path().extension() == ".txt") found.insert(entry.path().filename().string());
    std::set<std::string> described;
    for (const auto& [name, registers] : kExamples) described.insert(name);
    EXPECT_EQ(found, described);
}

TEST(Examples, EachStartsTheSimulatedBoardWithItsRegisters)
{
    for (const auto& [name, expected] : kExamples) {
        SCOPED_TRACE(name);
        const std::string setting = "sim:" + (kExamplesDir / name).string();
        AdapterChoice choice = ChooseAdapter(setting.c_str());
        ASSERT_EQ(choice.error, "");
        ASSERT_NE(choice.adapter, nullptr);
        TvxAdapter& board = *choice.adapter;
        const int handle = board.Open(SimBoard::kSerial);
        for (uint8_t reg : kGrid) {
            const auto it = expected.find(reg);
            const int want = it == expected.end() ? 0x00 : it->second;
            const int read = board.RegisterRead(handle, SimBoard::kChipAddress, reg);
            EXPECT_EQ(read < 0 ? kAbsent : read, want) << "register " << std::hex << int(reg);
        }
    }
}

}  // namespace
