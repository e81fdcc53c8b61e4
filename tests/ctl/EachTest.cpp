// Several boards in one command: --each, as head lays out several files.
#include "CtlRun.h"
#include "RegisterImage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using Lines = std::vector<std::string>;

class Each : public ::testing::Test {
protected:
    CtlRun ctl;

    // A blank chip but for these registers, as its adapter setting.
    std::string Board(const std::string& name,
                      std::initializer_list<std::pair<int, std::optional<uint8_t>>> values)
    {
        return ctl.Board(name, CtlRun::BlankChip(values));
    }
};

TEST_F(Each, DumpPrintsEveryBoardUnderItsLineAndEachTableRestores)
{
    const std::string a = Board("a.txt", {{0xA5, 0xE4}});
    const std::string b = Board("b.txt", {{0xA5, 0xE9}, {0x16, 0x3F}});
    ASSERT_EQ(ctl.Run({"--each", a, "dump", "--each", b}), 0) << ctl.err;
    const size_t second = ctl.out.find("\n\n==> " + b + " <==\n");
    ASSERT_TRUE(ctl.out.starts_with("==> " + a + " <==\n")) << ctl.out;
    ASSERT_NE(second, std::string::npos) << ctl.out;
    const std::string tableA = ctl.out.substr(a.size() + 9, second + 1 - (a.size() + 9));
    const std::string tableB = ctl.out.substr(second + b.size() + 11);
    ctl.WriteFile("table-b.txt", tableB);
    ASSERT_EQ(ctl.Run({"--adapter", "sim:" + ctl.Path("table-b.txt"), "read", "A5", "16"}), 0)
        << ctl.err;
    EXPECT_EQ(ctl.out, "E9\n3F\n");
    ctl.WriteFile("table-a.txt", tableA);
    ASSERT_EQ(ctl.Run({"--adapter", "sim:" + ctl.Path("table-a.txt"), "read", "A5"}), 0)
        << ctl.err;
    EXPECT_EQ(ctl.out, "E4\n");
}

TEST_F(Each, JsonIsOneLinePerBoardNamingItAndAnyFailureFailsTheCommand)
{
    const std::string a = Board("a.txt", {});
    const std::string deaf = Board("deaf.txt", {{0xA5, std::nullopt}});
    EXPECT_EQ(ctl.Run({"--json", "--each", a, "--each", deaf, "read", "A5"}), 1);
    const Lines lines = ctl.OutLines();
    ASSERT_EQ(lines.size(), 2u) << ctl.out;
    EXPECT_EQ(nlohmann::json::parse(lines[0]),
              nlohmann::json::parse(R"({"adapter": ")" + a +
                                    R"(", "registers": [{"address": "A5", "value": "00"}]})"));
    EXPECT_EQ(nlohmann::json::parse(lines[1])["adapter"], deaf);
    EXPECT_EQ(nlohmann::json::parse(lines[1])["registers"][0]["value"], nullptr);
    EXPECT_EQ(ctl.ErrLines(), Lines{"zr5130ctl: register A5: no answer from 0x2c on " + deaf});
}

TEST_F(Each, WritesGoToEveryBoardAndACommandWithoutAChipRunsOnce)
{
    const std::string a = Board("a.txt", {});
    const std::string b = Board("b.txt", {});
    ASSERT_EQ(ctl.Run({"--each", a, "--each", b, "--trace", "t", "set", "pwm-frequency=3"}), 0)
        << ctl.err;
    EXPECT_EQ(ctl.WriteLines("t"), (Lines{"W A5 03 ok", "W A5 03 ok"}));
    ASSERT_EQ(ctl.Run({"--each", a, "--each", b, "decode", "A5=E4"}), 0);
    EXPECT_EQ(ctl.out.find("==>"), std::string::npos);
    EXPECT_EQ(ctl.OutLines().front(), "A5 PWM dimming = E4");
    EXPECT_EQ(std::count(ctl.out.begin(), ctl.out.end(), '\n'), 4) << "once: " << ctl.out;
}

TEST_F(Each, DiffOfTwoLiveBoardsNamesTheDifferingFields)
{
    const std::string a = Board("a.txt", {{0xA5, 0x24}});
    const std::string b = Board("b.txt", {{0xA5, 0xE9}});
    EXPECT_EQ(ctl.Run({"diff", "--each", a, "--each", b}), 1) << ctl.err;
    EXPECT_EQ(ctl.OutLines().front(), "A5 PWM dimming: 24 -> E9");
    EXPECT_NE(ctl.out.find("PWM Frequency (bits 3-0): \"9616 Hz\" -> \"16828 Hz\""),
              std::string::npos)
        << ctl.out;
    EXPECT_EQ(ctl.Run({"diff", "--each", a, "--each", a}), 0) << ctl.out;
    EXPECT_EQ(ctl.out, "");
}

TEST_F(Each, WatchReadsEveryBoardInEachRoundAndPrefixesItsLines)
{
    const std::string a = Board("a.txt", {});
    const std::string b = Board("b.txt", {{0x02, 0x38}});
    ASSERT_EQ(ctl.Run({"--each", a, "--each", b, "watch", "--count", "2", "--interval", "1"}), 0)
        << ctl.err;
    const Lines lines = ctl.OutLines();
    ASSERT_EQ(lines.size(), 2u) << ctl.out;
    EXPECT_TRUE(lines[0].starts_with(a + " 20") && lines[0].find(" 02 30") != std::string::npos)
        << lines[0];
    EXPECT_TRUE(lines[1].starts_with(b + " 20") && lines[1].find(" 02 38") != std::string::npos)
        << lines[1];
}

TEST_F(Each, MisusesAreRefusedBeforeAnyBoardIsOpened)
{
    const std::string a = Board("a.txt", {});
    const struct {
        Lines args;
        std::string line;
    } cases[] = {
        {{"--each", a, "--adapter", a, "dump"},
         "zr5130ctl: --each and --adapter cannot be given together; give --each once per board "
         "(--each sim:A --each sim:B), or --adapter for one"},
        {{"--each", a, "diff"},
         "zr5130ctl: diff: give a dump to compare (diff A [B]), or two boards with --each and no "
         "dump"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ctl.Run(c.args), 2);
        EXPECT_EQ(ctl.ErrLines(), Lines{c.line});
        EXPECT_EQ(ctl.out, "");
    }
}

}  // namespace
