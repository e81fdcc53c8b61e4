// Load as the panel and zr5130ctl both make it: register 01 with the
// backlight off, then the entry's preset, every write made and told.
#include "ConfigLoad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using Writes = std::vector<std::pair<uint8_t, uint8_t>>;

struct Chip {
    std::set<uint8_t> refusing;
    Writes seen;

    RegisterWriter Writer()
    {
        return [this](uint8_t reg, uint8_t value) {
            seen.emplace_back(reg, value);
            return !refusing.contains(reg);
        };
    }
};

// Register 01 as given, then the 18 values of a configuration in the order
// Load writes them; the three differ in A3 and A5 alone (E08 as
// examples/e08-programmed.txt holds it).
Writes LoadWrites(uint8_t control, std::optional<std::pair<uint8_t, uint8_t>> a3a5)
{
    Writes writes = {{0x01, control}};
    if (!a3a5) return writes;
    const auto [a3, a5] = *a3a5;
    writes.insert(writes.end(), {{0x98, 0x1B}, {0x9E, 0x22}, {0xA0, 0xFF}, {0xA1, 0xCF},
                                 {0xA2, 0x2F}, {0xA3, a3},   {0xA4, 0x72}, {0xA5, a5},
                                 {0xA6, 0x80}, {0xA7, 0xFE}, {0xA8, 0x00}, {0xA9, 0xA0},
                                 {0xAA, 0x0F}, {0xAB, 0x00}, {0xAC, 0x00}, {0xAD, 0x00},
                                 {0xAE, 0x0F}, {0xAF, 0x00}});
    return writes;
}
constexpr std::pair<uint8_t, uint8_t> kE00{0x5E, 0x14}, kE08{0x5E, 0x24}, kE09{0x02, 0x04};

TEST(ConfigLoad, WritesRegister01WithTheBacklightOffThenTheEntrysPreset)
{
    struct Case {
        int entry;
        uint8_t controlBefore, controlWritten;
        std::optional<std::pair<uint8_t, uint8_t>> a3a5;  // none: no configuration written
        std::string text;
    };
    const Case cases[] = {
        {0, 0x07, 0x06, kE00, "Config E0 loaded"},
        {8, 0x85, 0x84, kE08, "Config E8 loaded"},
        {9, 0x00, 0x00, kE09, "Config E9 loaded"},
        {3, 0xFF, 0xFE, std::nullopt, "No Config loaded"},
        {15, 0x01, 0x00, std::nullopt, "No Config loaded"},
        {-1, 0x01, 0x00, kE00, "Default Config E0 loaded"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        Chip chip;
        const LoadResult load = LoadConfig(c.entry, c.controlBefore, chip.Writer());
        EXPECT_EQ(chip.seen, LoadWrites(c.controlWritten, c.a3a5));
        EXPECT_EQ(load.control, c.controlWritten);
        EXPECT_EQ(load.writes.size(), chip.seen.size());
        EXPECT_FALSE(load.FirstFailed());
        EXPECT_EQ(load.StatusText(), c.text);
    }
}

TEST(ConfigLoad, NamesTheFirstRefusedWriteAndStillMakesTheRest)
{
    Chip chip;
    chip.refusing = {0xA7, 0xA5};
    const LoadResult load = LoadConfig(8, 0x05, chip.Writer());
    EXPECT_EQ(chip.seen, LoadWrites(0x04, kE08));
    const std::optional<LoadWrite> first = load.FirstFailed();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->reg, 0xA5);
    EXPECT_EQ(first->value, 0x24);
    EXPECT_EQ(std::ranges::count(load.writes, false, &LoadWrite::ok), 2);
    EXPECT_EQ(load.StatusText(), std::string("Config E8 load failed"));

    Chip deafControl;
    deafControl.refusing = {0x01};
    const LoadResult none = LoadConfig(4, 0x05, deafControl.Writer());
    ASSERT_TRUE(none.FirstFailed());
    EXPECT_EQ(none.FirstFailed()->reg, 0x01);
    EXPECT_EQ(none.StatusText(), std::string("No Config loaded"));
}

}  // namespace
