// Load as the panel and zr5130ctl both make it: register 01 with the
// backlight off, then the entry's preset, every write made and told.
#include "ConfigLoad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

struct Chip {
    std::set<uint8_t> refusing;
    std::vector<std::pair<uint8_t, uint8_t>> seen;

    RegisterWriter Writer()
    {
        return [this](uint8_t reg, uint8_t value) {
            seen.emplace_back(reg, value);
            return !refusing.contains(reg);
        };
    }
};

std::vector<std::pair<uint8_t, uint8_t>> Expected(uint8_t control, const Preset* preset)
{
    std::vector<std::pair<uint8_t, uint8_t>> writes = {{0x01, control}};
    if (preset)
        for (const RegisterValue& rv : preset->values) writes.emplace_back(rv.reg, rv.value);
    return writes;
}

TEST(ConfigLoad, WritesRegister01WithTheBacklightOffThenTheEntrysPreset)
{
    struct Case {
        int entry;
        uint8_t controlBefore, controlWritten;
        const Preset* preset;
        std::string text;
    };
    const Case cases[] = {
        {0, 0x07, 0x06, &kPresetE0, "Config E0 loaded"},
        {8, 0x85, 0x84, &kPresetE8, "Config E8 loaded"},
        {9, 0x00, 0x00, &kPresetE9, "Config E9 loaded"},
        {3, 0xFF, 0xFE, nullptr, "No Config loaded"},
        {15, 0x01, 0x00, nullptr, "No Config loaded"},
        {-1, 0x01, 0x00, &kPresetE0, "Default Config E0 loaded"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        Chip chip;
        const LoadResult load = LoadConfig(c.entry, c.controlBefore, chip.Writer());
        EXPECT_EQ(chip.seen, Expected(c.controlWritten, c.preset));
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
    EXPECT_EQ(chip.seen, Expected(0x04, &kPresetE8));
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
