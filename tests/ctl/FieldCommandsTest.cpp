// zr5130ctl get, set, fields and decode REG=VALUE through the real binary:
// given a board and fields by name, expect these writes and these lines.
#include "CtlRun.h"
#include "NamedFields.h"
#include "RegisterImage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>

namespace {

using Lines = std::vector<std::string>;
using nlohmann::json;

class Fields : public ::testing::Test {
protected:
    CtlRun ctl;
    int m_boards = 0;

    // A blank board but for these registers, in a file of its own.
    std::string Board(std::initializer_list<std::pair<int, int>> values)
    {
        RegisterImage image;
        image.values.fill(0x00);
        for (auto [reg, value] : values)
            image.values[reg] = value < 0 ? std::nullopt : std::optional<uint8_t>(value);
        const std::string name = "board" + std::to_string(++m_boards) + ".txt";
        ctl.WriteFile(name, FormatRegisterImage(image));
        return "sim:" + ctl.Path(name);
    }
    int Run(const std::string& board, Lines args)
    {
        std::remove(ctl.Path("t").c_str());
        args.insert(args.begin(), {"--adapter", board, "--trace", "t"});
        return ctl.Run(args);
    }
};

TEST_F(Fields, SetReadsEachRegisterOnceWritesOnlyTheFieldsBitsAndChecksThem)
{
    const std::string board = Board({{0xA5, 0xE9}, {0xA0, 0x55}, {0xA1, 0xF7}});
    ASSERT_EQ(Run(board, {"set", "pwm-frequency=9616hz"}), 0) << ctl.err;
    EXPECT_EQ(ctl.ReadFile("t"), "R A5 E9 ok\nW A5 E4 ok\nR A5 E4 ok\n");
    EXPECT_EQ(ctl.out, "A5 PWM dimming: E9 -> E4\n");

    ASSERT_EQ(Run(board, {"set", "led-current=0x123"}), 0) << ctl.err;
    EXPECT_EQ(ctl.WriteLines("t"), (Lines{"W A0 23 ok", "W A1 F1 ok"}))
        << "A0 first; PDET Standby and Current Scale kept";

    // Two fields of one register go out in one write; JSON tells each register.
    ASSERT_EQ(
        Run(board,
            {"--json", "set", "Phase Shift Mode=6 PH 6 DR", "PWM_DIRECT=0", "current-scale=5mA"}),
        0)
        << ctl.err;
    EXPECT_EQ(ctl.WriteLines("t"), (Lines{"W A5 09 ok", "W A1 87 ok"}));
    EXPECT_EQ(json::parse(ctl.out)["registers"][0],
              json::parse(R"({"address": "A5", "name": "PWM dimming", "before": "E9",
                              "written": "09", "read": "09"})"));
}

TEST_F(Fields, SetTellsARegisterThatDoesNotTakeItsValueAndExits1)
{
    const std::string board = Board({{0xA5, 0xE9}});
    setenv("ZR5130_SIM_IGNORE_WRITES", "A5", 1);
    const int status = Run(board, {"set", "pwm-frequency=9616hz", "brightness=0x80"});
    unsetenv("ZR5130_SIM_IGNORE_WRITES");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(ctl.WriteLines("t"), (Lines{"W A5 E4 ok"})) << "the first failure ends it";
    EXPECT_EQ(ctl.out, "A5 PWM dimming: E9 -> E4, reads E9\n");
    EXPECT_EQ(ctl.ErrLines(),
              Lines{"zr5130ctl: set: register A5 reads E9 after E4 was written: PWM Frequency "
                    "reads 16828 Hz, not 9616 Hz; nothing was written before it"});

    // A register that does not answer: nothing is written at all.
    EXPECT_EQ(Run(Board({{0xA1, -1}}), {"set", "brightness=1", "current-scale=5mA"}), 1);
    EXPECT_EQ(ctl.WriteLines("t"), Lines{});
    ASSERT_EQ(ctl.ErrLines().size(), 1u);
    const std::string line = ctl.ErrLines()[0];
    EXPECT_TRUE(line.starts_with("zr5130ctl: set: register A1: no answer from 0x2c on sim:") &&
                line.ends_with("; nothing was written"))
        << line;
}

TEST_F(Fields, GetPrintsEachFieldWithItsMeaningAndBits)
{
    const std::string board = Board({{0xA5, 0xE9}, {0xA0, 0x23}, {0xA1, 0xF1}});
    ASSERT_EQ(Run(board, {"get", "PWM_Frequency", "LED Current", "pwm-direct"}), 0) << ctl.err;
    EXPECT_EQ(ctl.OutLines(),
              (Lines{"PWM Frequency = 16828 Hz (A5 bits 3-0 = 9)",
                     "LED Current = 291 (A1 bits 3-0, A0 bits 7-0 = 291)",
                     "PWM Direct = 1 (A5 bit 7 = 1)"}));
    EXPECT_EQ(ctl.ReadFile("t"), "R A5 E9 ok\nR A0 23 ok\nR A1 F1 ok\n") << "each register once";

    ASSERT_EQ(Run(Board({{0xA5, -1}}), {"--json", "get", "pwm-frequency", "brightness"}), 1);
    EXPECT_EQ(json::parse(ctl.out)["fields"],
              json::parse(R"j([{"name": "PWM Frequency", "bits": "A5 bits 3-0",
                               "value": null, "meaning": null,
                               "description": "PWM dimming frequency"},
                              {"name": "Brightness", "bits": "00 bits 7-0", "value": 0,
                               "meaning": "0", "description": "brightness, 0-255 (0-100 %)"}])j"));

    // Every field that fields lists, get reads by its name as listed.
    ASSERT_EQ(ctl.Run({"--json", "fields"}), 0);
    Lines keys = {"get"};
    const json listed = json::parse(ctl.out);
    for (const json& field : listed["fields"]) keys.push_back(field["key"]);
    ASSERT_EQ(keys.size(), chip::AllNamedFields().size() + 1);
    ASSERT_EQ(Run(board, keys), 0) << ctl.err;
    EXPECT_EQ(ctl.OutLines().size(), keys.size() - 1);
}

TEST_F(Fields, FieldsAndDecodeNeedNoChip)
{
    ASSERT_EQ(Run("none", {"fields", "a1h"}), 0) << ctl.err;
    EXPECT_EQ(ctl.OutLines().at(1),
              "    led-current (A1 bits 3-0, A0 bits 7-0): 0-4095, 12-bit LED current");
    EXPECT_TRUE(
        ctl.OutLines().at(3).starts_with("    current-scale (bits 6-4): full-scale LED current: "
                                         "000 = 5mA | 001 = 10mA | "));

    ASSERT_EQ(Run("none", {"decode", "A5=E9", "0x02=a8"}), 0) << ctl.err;
    EXPECT_EQ(ctl.OutLines().size(), 13u);
    EXPECT_TRUE(ctl.out.starts_with("A5 PWM dimming = E9\n"
                                    "    PWM Direct (bit 7) = 1 (1 = direct PWM)\n"
                                    "    Phase Shift Mode (bits 6-4) = \"2 PH 6 DR\"\n"
                                    "    PWM Frequency (bits 3-0) = \"16828 Hz\"\n"
                                    "02 Status = A8\n"))
        << ctl.out;
    ASSERT_EQ(Run("none", {"--json", "decode", "A5=E9"}), 0);
    EXPECT_EQ(json::parse(ctl.out)["registers"][0]["fields"][2]["value"], 9);
    EXPECT_EQ(ctl.ReadFile("t"), "");
}

TEST_F(Fields, BadNamesAndValuesEndWithStatus2AndOneLineAndNoAccess)
{
    const std::string board = Board({{0xA5, 0xE9}});
    const struct {
        Lines args;
        std::string line;
    } cases[] = {
        {{"set", "pwm-freq=4"}, "set: no field 'pwm-freq'; did you mean pwm-frequency?"},
        {{"set", "pwm-frequency=9615hz"}, "did you mean '9616 Hz'?"},
        {{"set", "brightness=1", "pwm-frequency=16"}, "16 is out of range for PWM Frequency"},
        {{"set", "open=0"}, "Open is in register 02 (Status), which is read only"},
        {{"set", "burn=1"}, "register 72 (EEPROM burn), which only the burn steps write"},
        {{"set", "pwm-frequency"}, "'pwm-frequency' is not FIELD=VALUE"},
        {{"get", "led-curent"}, "get: no field 'led-curent'; did you mean led-current?"},
        {{"fields", "50"}, "register 50 is not in the register map"},
        {{"decode", "A5=E9", "zz=01"}, "decode: register 'zz'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(Run(board, c.args), 2);
        ASSERT_EQ(ctl.ErrLines().size(), 1u) << ctl.err;
        EXPECT_NE(ctl.err.find(c.line), std::string::npos) << ctl.err;
        EXPECT_EQ(ctl.ReadFile("t"), "") << "the chip is not touched";
        EXPECT_EQ(ctl.out, "");
    }
}

}  // namespace
