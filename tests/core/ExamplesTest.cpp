// The register dumps in examples/ as a user runs them: ZR5130_ADAPTER=sim:FILE
// must start the simulated board with the registers each file describes.
#include "AdapterSelect.h"
#include "RegisterImage.h"
#include "RegisterMap.h"
#include "SimBoard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

constexpr std::nullopt_t kAbsent = std::nullopt;
using Registers = std::map<uint8_t, std::optional<uint8_t>>;  // the rest of the grid reads 00

const Registers kE08Programmed = {
    {0x01, 0x05}, {0x02, 0x30}, {0x72, 0x83}, {0x98, 0x1B}, {0x9E, 0x22}, {0xA0, 0xFF},
    {0xA1, 0xCF}, {0xA2, 0x2F}, {0xA3, 0x5E}, {0xA4, 0x72}, {0xA5, 0x24}, {0xA6, 0x80},
    {0xA7, 0xFE}, {0xA9, 0xA0}, {0xAA, 0x0F}, {0xAE, 0x0F}};

const std::map<std::string, Registers> kExamples = {
    // Blank: bits 3-0 of 0x72 clear, status VRef OK and VBoost OK.
    {"blank-chip.txt", {{0x02, 0x30}}},
    {"e08-programmed.txt", kE08Programmed},
    // Open, VRef OK and Over Voltage; VBoost OK gone.
    {"status-faults.txt", [] { Registers r = kE08Programmed; r[0x02] = 0xA8; return r; }()},
    {"registers-not-answering.txt",
     {{0x02, 0x30}, {0x03, kAbsent}, {0x04, kAbsent}, {0x05, kAbsent}, {0x06, kAbsent},
      {0xA8, kAbsent}, {0xA9, kAbsent}, {0xAA, kAbsent}, {0xAB, kAbsent}, {0xAC, kAbsent},
      {0xAD, kAbsent}, {0xAE, kAbsent}, {0xAF, kAbsent}}},
};

TEST(Examples, EachDumpInTheFolderStartsTheSimulatedBoardWithItsRegisters)
{
    size_t loaded = 0;
    for (const auto& file : std::filesystem::directory_iterator(ZR5130_EXAMPLES_DIR)) {
        if (file.path().extension() != ".txt") continue;
        SCOPED_TRACE(file.path().filename());
        const auto expected = kExamples.find(file.path().filename().string());
        ASSERT_NE(expected, kExamples.end()) << "an example this test does not describe";
        AdapterChoice choice = ChooseAdapter(("sim:" + file.path().string()).c_str());
        ASSERT_NE(choice.adapter, nullptr) << choice.error;
        const int handle = choice.adapter->Open(SimBoard::kSerial);
        for (uint8_t reg : chip::ReadbackRegisters()) {
            const auto it = expected->second.find(reg);
            const int read = choice.adapter->RegisterRead(handle, chip::kChipAddress, reg);
            const std::optional<uint8_t> answer = read < 0 ? kAbsent : std::optional<uint8_t>(read);
            EXPECT_EQ(answer, it == expected->second.end() ? 0x00 : it->second)
                << "register " << std::hex << int(reg);
        }
        ++loaded;
    }
    EXPECT_EQ(loaded, kExamples.size());
}

}  // namespace
