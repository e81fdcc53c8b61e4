// zr5130ctl through the real binary: given a board (a register dump loaded
// as the simulated board) and a command line, expect this output, this exit
// status and exactly these register writes in the trace.
#include "CtlRun.h"
#include "FakeSysfs.h"
#include "RegisterImage.h"
#include "StatusFlags.h"
#include "zr5130_version.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace {

using Lines = std::vector<std::string>;

// A board after Load of E08, as i2cdump shows it.
RegisterImage E08Board()
{
    RegisterImage image;
    image.values.fill(0x00);
    image.values[0x01] = 0x05;
    image.values[0x02] = 0x30;
    image.values[0x72] = 0x83;
    image.values[0x98] = 0x1B;
    image.values[0x9E] = 0x22;
    const int a0[] = {0xFF, 0xCF, 0x2F, 0x5E, 0x72, 0x24, 0x80, 0xFE,
                      0x00, 0xA0, 0x0F, 0x00, 0x00, 0x00, 0x0F, 0x00};
    for (int i = 0; i < 16; ++i) image.values[0xA0 + i] = a0[i];
    return image;
}

RegisterImage With(RegisterImage image,
                   std::initializer_list<std::pair<int, std::optional<uint8_t>>> values)
{
    for (auto [reg, value] : values) image.values[reg] = value;
    return image;
}

// The registers of the map, as dump reads them, and nothing else.
RegisterImage MapRegistersOf(const RegisterImage& board)
{
    RegisterImage map;
    for (int reg : {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x16, 0x72, 0x98, 0x9E, 0xA0, 0xA1,
                    0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF})
        map.values[reg] = board.values[reg];
    return map;
}

class Ctl : public ::testing::Test {
protected:
    CtlRun ctl;

    std::string Board(const std::string& name, const RegisterImage& image) { return ctl.Board(name, image); }
    Lines OutLines() const { return ctl.OutLines(); }
    // Lines that start a register: not indented.
    Lines RegisterLines() const
    {
        Lines lines;
        for (const std::string& line : OutLines())
            if (!line.starts_with(' ')) lines.push_back(line);
        return lines;
    }
};

TEST_F(Ctl, DumpHoldsEveryRegisterOfTheMapAndRestoresIt)
{
    const RegisterImage e08 = With(E08Board(), {{0x16, 0x3F}});
    const std::string board = Board("board.txt", e08);
    ASSERT_EQ(ctl.Run({"--adapter", board, "dump"}), 0) << ctl.err;
    EXPECT_EQ(ctl.out, FormatRegisterImage(MapRegistersOf(e08)));

    // The LED enables go from one board to a blank one through the dump.
    ctl.WriteFile("dump1.txt", ctl.out);
    ASSERT_EQ(ctl.Run({"--adapter", "sim", "--yes", "--trace", "t", "restore", "dump1.txt"}), 0)
        << ctl.err;
    EXPECT_EQ(ctl.WriteLines("t").at(18), "W 16 3F ok");

    ASSERT_EQ(ctl.Run({"--json", "--adapter", board, "dump"}), 0);
    const auto json = nlohmann::json::parse(ctl.out);
    ASSERT_EQ(json["registers"].size(), 27u);
    EXPECT_EQ(json["registers"][7], nlohmann::json({{"address", "16"}, {"value", "3F"}}));
}

TEST_F(Ctl, ReadsAndWritesRegistersGivenInThePanelsHexForms)
{
    const std::string board = Board("board.txt", E08Board());
    ASSERT_EQ(ctl.Run({"--adapter", board, "read", "02", "0xa5", "a5h", "A5"}), 0);
    EXPECT_EQ(ctl.out, "30\n24\n24\n24\n");

    EXPECT_EQ(ctl.Run({"--adapter", board, "--trace", "t", "write", "a5", "3c"}), 0);
    EXPECT_EQ(ctl.WriteLines("t"), Lines{"W A5 3C ok"});
}

TEST_F(Ctl, LoadAndBurnMakeThePanelsWritesAndShowItsTexts)
{
    const std::string board = Board("board.txt", E08Board());
    ASSERT_EQ(ctl.Run({"--adapter", board, "--trace", "e03", "load", "E03"}), 0);
    EXPECT_EQ(ctl.out, "No Config loaded\n");
    EXPECT_EQ(ctl.WriteLines("e03"), Lines{"W 01 04 ok"});  // 05 with the backlight bit cleared

    // Without register 01 the tool cannot clear one bit of it: nothing is written.
    const std::string deaf = Board("deaf.txt", With(E08Board(), {{0x01, std::nullopt}}));
    EXPECT_EQ(ctl.Run({"--adapter", deaf, "--trace", "e00", "load", "E00"}), 1);
    EXPECT_EQ(ctl.WriteLines("e00"), Lines{});
    EXPECT_NE(ctl.err.find("register 01"), std::string::npos);

    ASSERT_EQ(ctl.Run({"--adapter", board, "--trace", "burn", "burn", "prepare"}), 0);
    EXPECT_EQ(ctl.out, "Apply 6V to VLDO\n");
    ASSERT_EQ(ctl.Run({"--adapter", board, "--trace", "burn", "burn", "complete"}), 0);
    EXPECT_EQ(ctl.out, "Remove 6V from VLDO\n");
    EXPECT_EQ(ctl.WriteLines("burn"), (Lines{"W 72 80 ok", "W 72 80 ok"}));
}

TEST_F(Ctl, RestoreWritesWhatThePanelWritesAndReportsWhatDoesNotReadBack)
{
    const std::string dump = ctl.Path("good.txt");
    ctl.WriteFile("good.txt", FormatRegisterImage(With(E08Board(), {{0x16, 0x3F}, {0x00, 0x80}})));
    ASSERT_EQ(ctl.Run({"--trace", "t", "restore", dump, "--adapter", "sim"}), 0) << ctl.err;
    EXPECT_EQ(ctl.WriteLines("t"),
              (Lines{"W 98 1B ok", "W 9E 22 ok", "W A0 FF ok", "W A1 CF ok", "W A2 2F ok",
                     "W A3 5E ok", "W A4 72 ok", "W A5 24 ok", "W A6 80 ok", "W A7 FE ok",
                     "W A8 00 ok", "W A9 A0 ok", "W AA 0F ok", "W AB 00 ok", "W AC 00 ok",
                     "W AD 00 ok", "W AE 0F ok", "W AF 00 ok", "W 16 3F ok", "W 00 80 ok",
                     "W 01 05 ok"}));
    EXPECT_EQ(ctl.out, "");
}

TEST_F(Ctl, DiffFindsExactlyTheChangedRegistersAndFields)
{
    ctl.WriteFile("a.txt", FormatRegisterImage(E08Board()));
    const RegisterImage changed = With(E08Board(), {{0xA5, 0xE9}, {0x03, 0x01}, {0x50, 0x01}});
    ctl.WriteFile("b.txt", FormatRegisterImage(changed));
    EXPECT_EQ(ctl.Run({"diff", ctl.Path("a.txt"), ctl.Path("a.txt")}), 0);
    EXPECT_EQ(ctl.out, "");

    EXPECT_EQ(ctl.Run({"diff", ctl.Path("a.txt"), ctl.Path("b.txt")}), 1);
    EXPECT_EQ(RegisterLines(),
              (Lines{"03 Unknown: 00 -> 01", "50: 00 -> 01", "A5 PWM dimming: 24 -> E9"}));
    EXPECT_EQ(OutLines().size(), 6u);  // A5's three fields all differ
    EXPECT_NE(ctl.out.find("Phase Shift Mode (bits 6-4): \"4 PH 4 DR\" -> \"2 PH 6 DR\""),
              std::string::npos);

    EXPECT_EQ(ctl.Run({"--json", "diff", ctl.Path("a.txt"), ctl.Path("b.txt")}), 1);
    const auto json = nlohmann::json::parse(ctl.out);
    EXPECT_EQ(json["equal"], false);
    ASSERT_EQ(json["registers"].size(), 3u);
    EXPECT_EQ(json["registers"][2]["fields"]["PWM Frequency"]["a"],
              nlohmann::json({{"value", 4}, {"meaning", "9616 Hz"}}));
    EXPECT_EQ(json["registers"][2]["fields"]["PWM Frequency"]["b"],
              nlohmann::json({{"value", 9}, {"meaning", "16828 Hz"}}));
    EXPECT_EQ(json["registers"][2]["fields"].size(), 3u);

    // Against the chip only the map's registers are read: 50 is not compared.
    EXPECT_EQ(ctl.Run({"--adapter", "sim:" + ctl.Path("b.txt"), "diff", ctl.Path("a.txt")}), 1);
    EXPECT_EQ(RegisterLines(), (Lines{"03 Unknown: 00 -> 01", "A5 PWM dimming: 24 -> E9"}));
}

TEST_F(Ctl, DecodeNamesEveryGridRegisterWithItsFields)
{
    ctl.WriteFile("board.txt", FormatRegisterImage(E08Board()));
    ASSERT_EQ(ctl.Run({"decode", ctl.Path("board.txt")}), 0) << ctl.err;
    const Lines registers = RegisterLines();
    ASSERT_EQ(registers.size(), 27u);
    EXPECT_EQ(registers.front(), "00 Brightness = 00");
    EXPECT_EQ(registers[7], "16 LED enables = 00");
    EXPECT_EQ(registers.back(), "AF Unknown = 00");
    EXPECT_NE(ctl.out.find("\n    Phase Shift Mode (bits 6-4) = \"4 PH 4 DR\"\n"),
              std::string::npos);
    EXPECT_NE(ctl.out.find("03 Unknown = 00\n    no field is known\n"), std::string::npos);

    ASSERT_EQ(ctl.Run({"--json", "--adapter", "sim:" + ctl.Path("board.txt"), "decode"}), 0);
    const auto json = nlohmann::json::parse(ctl.out);
    ASSERT_EQ(json["registers"].size(), 27u);
    EXPECT_EQ(json["registers"][2]["access"], "read only");
    EXPECT_EQ(json["registers"][2]["fields"][2]["name"], "VRef OK");
    EXPECT_EQ(json["registers"][2]["fields"][2]["value"], 1);

    // A dump through a pipe reads as the file does.
    const std::string fromFile = ctl.out;
    ctl.input = ctl.ReadFile("board.txt");
    ASSERT_EQ(ctl.Run({"--json", "decode", "-"}), 0) << ctl.err;
    EXPECT_EQ(ctl.out, fromFile);

    // A field decoded in one shape with what get gives for it.
    const auto frequency = json["registers"][16]["fields"][2];
    ASSERT_EQ(ctl.Run({"--json", "--adapter", "sim:" + ctl.Path("board.txt"), "get",
                       "pwm-frequency"}),
              0);
    EXPECT_EQ(nlohmann::json::parse(ctl.out)["fields"][0], frequency);
    EXPECT_EQ(frequency["meaning"], "9616 Hz");
}

TEST_F(Ctl, ReplayRepeatsTheTracesWritesAfterCheckingAllOfIt)
{
    ctl.WriteFile("session.txt", "R 01 05 ok\nW 01 04 ok\nR A5 -- fail\nW A5 24 fail\n"
                                 "W A5 14 ok\nW 16 3F ok\n");
    ASSERT_EQ(ctl.Run({"replay", "--dry-run", ctl.Path("session.txt")}), 0);
    EXPECT_EQ(ctl.out, "W 01 04\nW A5 14\nW 16 3F\n");  // what failed then is not repeated

    const std::string board = Board("board.txt", E08Board());
    ASSERT_EQ(ctl.Run({"--adapter", board, "--trace", "t", "replay", ctl.Path("session.txt")}), 0);
    EXPECT_EQ(ctl.WriteLines("t"), (Lines{"W 01 04 ok", "W A5 14 ok", "W 16 3F ok"}));
}

// Each command on a board whose register A5 does not answer: status 1, one
// line naming the register and the cause, what could be read on standard
// output, and no write after the failed one (the first failed write ends a
// replay).
TEST_F(Ctl, EachCommandTellsTheRegisterThatDoesNotAnswer)
{
    const RegisterImage deafImage = With(E08Board(), {{0xA5, std::nullopt}});
    const std::string deaf = Board("deaf.txt", deafImage);
    const std::string noAnswer = "no answer from 0x2c on " + deaf;
    ctl.WriteFile("good.txt", FormatRegisterImage(E08Board()));
    ctl.WriteFile("session.txt", "R 01 05 ok\nW 01 04 ok\nR A5 -- fail\nW A5 24 fail\n"
                                 "W A5 14 ok\nW 16 3F ok\n");
    const struct {
        Lines args;
        std::string out;  // JSON compared as JSON
        std::string err;  // after "zr5130ctl: "
        std::optional<Lines> writes;
    } cases[] = {
        {{"dump"}, FormatRegisterImage(MapRegistersOf(deafImage)), "register A5: " + noAnswer, Lines{}},
        {{"read", "02", "A5"}, "30\n--\n", "register A5: " + noAnswer, Lines{}},
        {{"--json", "read", "02", "A5"},
         R"({"registers": [{"address": "02", "value": "30"}, {"address": "A5", "value": null}],
             "errors": [{"message": "register A5: )" + noAnswer + R"(", "register": "A5",
                         "adapter": ")" + deaf + R"("}]})",
         "register A5: " + noAnswer, Lines{}},
        {{"get", "pwm-frequency"}, "PWM Frequency = -- (A5 bits 3-0 not read)\n",
         "get: register A5: " + noAnswer, Lines{}},
        {{"diff", "good.txt"}, "A5 PWM dimming: 24 -> --\n", "register A5: " + noAnswer, Lines{}},
        {{"write", "A5", "3C"}, "", "write of 3C to register A5 failed: " + noAnswer,
         Lines{"W A5 3C fail"}},
        {{"restore", "good.txt"}, "", "restore: write of 24 to register A5 failed: " + noAnswer,
         std::nullopt},
        {{"replay", "session.txt"}, "",
         "replay: session.txt:5: write of 14 to register A5 failed: " + noAnswer +
             "; written before it: 01 (1 of 3 writes)",
         Lines{"W 01 04 ok", "W A5 14 fail"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        std::remove(ctl.Path("t").c_str());
        Lines args = {"--adapter", deaf, "--trace", "t"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(ctl.Run(args), 1);
        if (c.out.starts_with('{')) {
            EXPECT_EQ(nlohmann::json::parse(ctl.out), nlohmann::json::parse(c.out));
        } else {
            EXPECT_EQ(ctl.out, c.out);
        }
        EXPECT_EQ(ctl.ErrLines(), Lines{"zr5130ctl: " + c.err});
        if (c.writes) {
            EXPECT_EQ(ctl.WriteLines("t"), *c.writes);
        }
    }
}

// The same everywhere: whatever the panel remembered or the environment says.
TEST_F(Ctl, AdaptersListsWhatAdapterCanNameInTextAndJson)
{
    std::filesystem::create_directories(ctl.Path("config/zr5130"));
    ctl.WriteFile("config/zr5130/zr5130-eval.conf", "[General]\nadapter=i2c:CP2112\n");
    ctl.Set("ZR5130_ADAPTER", "i2c:nothing-like-this");
    ASSERT_EQ(ctl.Run({"adapters"}), 0) << ctl.err;
    const std::string text = ctl.out;
    ASSERT_EQ(ctl.Run({"--json", "adapters"}), 0) << ctl.err;
    const auto json = nlohmann::json::parse(ctl.out)["adapters"];
    EXPECT_TRUE(text.starts_with("sim  ") && text.ends_with("\nnone      No Adapter\n")) << text;
    EXPECT_EQ(json.front(), nlohmann::json({{"adapter", "sim"}, {"name", "Simulated Board"}}));
    EXPECT_EQ(json.size(), size_t(std::count(text.begin(), text.end(), '\n')));
}

TEST_F(Ctl, WatchTellsTheStartThenEachChangeAndEndsCleanly)
{
    // A local ISO 8601 time in milliseconds with its offset, then the change.
    const auto line = [](const std::string& text) {
        const std::string shape = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd 02 30 on: VRef OK, VBoost OK";
        if (text.size() != shape.size()) return false;
        for (size_t i = 0; i < shape.size(); ++i) {
            const bool ok = shape[i] == 'd'   ? std::isdigit(static_cast<unsigned char>(text[i]))
                            : shape[i] == '+' ? text[i] == '+' || text[i] == '-'
                                              : text[i] == shape[i];
            if (!ok) return false;
        }
        return true;
    };
    ctl.Set("ZR5130_ADAPTER", "sim");
    ASSERT_EQ(ctl.Run({"watch", "--interval", "10", "--count", "5"}), 0) << ctl.err;
    ASSERT_EQ(OutLines().size(), 1u);  // the status register does not change by itself
    EXPECT_TRUE(line(OutLines()[0])) << OutLines()[0];

    EXPECT_EQ(ctl.Run({"watch", "--interval", "10"}, "0.3"), 128 + SIGINT);
    ASSERT_EQ(OutLines().size(), 1u);
    EXPECT_TRUE(line(OutLines()[0])) << OutLines()[0];

    const std::string board = Board("board.txt", With(E08Board(), {{0xA5, std::nullopt}}));
    EXPECT_EQ(ctl.Run({"--json", "--adapter", board, "watch", "--count", "2", "A0", "A5"}), 1);
    ASSERT_EQ(OutLines().size(), 2u);
    EXPECT_EQ(nlohmann::json::parse(OutLines()[0])["to"], "FF");
    EXPECT_EQ(nlohmann::json::parse(OutLines()[1])["to"], nullptr);

    // What a change reports for the status register.
    const FlagChange fault = StatusFlagChange(0x30, 0x39);
    EXPECT_EQ(fault.on, (Lines{"Over Voltage", "UVLO"}));
    EXPECT_EQ(fault.off, Lines{});
    const FlagChange cleared = StatusFlagChange(0x39, 0x08);
    EXPECT_EQ(cleared.off, (Lines{"VRef OK", "VBoost OK", "UVLO"}));
    EXPECT_EQ(StatusFlagChange(0x39, std::nullopt).off, Lines{});
}

// A watch left overnight: a bus that times out, then a board unplugged and
// plugged back; each failed attempt is one line, the next comes 5 s later,
// and the watch goes on where it was.
TEST_F(Ctl, WatchRunsOnThroughATimeoutAndAReplug)
{
    ctl.Set("ZR5130_SIM_STATUS", "30,timeout,replug,38");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ctl.Run({"--adapter", "sim", "watch", "--interval", "10", "--count", "4"}), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    const Lines out = OutLines();
    ASSERT_EQ(out.size(), 3u) << ctl.out;
    EXPECT_TRUE(out[1].ends_with(" 02 30 -> --")) << out[1];
    EXPECT_TRUE(out[2].ends_with(" 02 -- -> 38 on: VRef OK, VBoost OK, Over Voltage")) << out[2];
    const Lines err = ctl.ErrLines();
    ASSERT_EQ(err.size(), 2u) << ctl.err;
    EXPECT_NE(err[0].find(": register 02: the simulated board's bus timed out"), std::string::npos);
    EXPECT_TRUE(err[0].ends_with("; trying again in 5 s")) << err[0];
    EXPECT_TRUE(err[1].ends_with(": register 02: no answer from 0x2c on the simulated board; "
                                 "trying again in 5 s")) << err[1];
}

// Results that cannot be written are a failure, told once; a watch stops.
TEST_F(Ctl, OutputThatCannotBeWrittenEndsWithStatus1AndOneLine)
{
    const struct {
        CtlRun::Output output;
        std::string cause;
    } outputs[] = {{CtlRun::Output::Full, "No space left on device"},
                   {CtlRun::Output::Closed, "Bad file descriptor"},
                   {CtlRun::Output::BrokenPipe, "Broken pipe"}};
    const Lines commands[] = {{"dump"},         {"read", "02"},          {"--json", "decode"},
                              {"--help"},       {"watch", "--interval", "10"},
                              {"get", "brightness"}, {"set", "brightness=1"}, {"fields"}};
    for (const auto& o : outputs) {
        for (const Lines& command : commands) {
            SCOPED_TRACE(o.cause + ": " + command.front());
            Lines args = {"--adapter", "sim"};
            args.insert(args.end(), command.begin(), command.end());
            ctl.output = o.output;
            EXPECT_EQ(ctl.Run(args, "5"), 1);  // an interrupted watch would end with 130
            EXPECT_EQ(ctl.err, "zr5130ctl: standard output: " + o.cause + "\n");
        }
    }
    ctl.output = CtlRun::Output::Captured;
    EXPECT_EQ(ctl.Run({"--adapter", "sim", "--trace", "/dev/full", "write", "A5", "3C"}), 1);
    EXPECT_EQ(ctl.err, "zr5130ctl: --trace=/dev/full: cannot write: No space left on device; the "
                       "trace stops here\n");
}

// --adapter, then ZR5130_ADAPTER; an empty one is no choice, and without a
// choice nothing that needs the chip runs.
TEST_F(Ctl, TheAdapterIsAlwaysChosenOnPurpose)
{
    const std::string board = Board("board.txt", With(E08Board(), {{0xA5, 0x77}}));
    const std::string other = Board("other.txt", E08Board());
    for (const std::optional<std::string>& unset : {std::optional<std::string>(""), {}}) {
        ctl.Set("ZR5130_ADAPTER", unset);
        EXPECT_EQ(ctl.Run({"--trace", "t", "write", "A5", "3C"}), 2);
        EXPECT_TRUE(ctl.err.starts_with("zr5130ctl: no adapter chosen; give --adapter sim for "
                                        "the simulated board")) << ctl.err;
        EXPECT_FALSE(std::filesystem::exists(ctl.Path("t")));
    }
    // Then the panel's choice, while it is still the one chosen.
    std::filesystem::create_directories(ctl.Path("config/zr5130"));
    ctl.WriteFile("config/zr5130/zr5130-eval.conf", "[General]\nadapter=" + board + "\n");
    ASSERT_EQ(ctl.Run({"read", "A5"}), 0) << ctl.err;
    EXPECT_EQ(ctl.out, "77\n");
    ctl.WriteFile("config/zr5130/zr5130-eval.conf", "[General]\nadapter=/dev/i2c-77\n");
    EXPECT_EQ(ctl.Run({"read", "A5"}), 2);
    EXPECT_TRUE(ctl.err.starts_with("zr5130ctl: remembered adapter '/dev/i2c-77' not used: "))
        << ctl.err;

    // Files alone need no adapter.
    EXPECT_EQ(ctl.Run({"diff", ctl.Path("board.txt"), ctl.Path("board.txt")}), 0) << ctl.err;
    EXPECT_EQ(ctl.Run({"decode", ctl.Path("board.txt")}), 0) << ctl.err;

    ctl.Set("ZR5130_ADAPTER", board);
    ASSERT_EQ(ctl.Run({"read", "A5"}), 0);
    EXPECT_EQ(ctl.out, "77\n");
    // Global options before or after the command; the last of a repeated one counts.
    ASSERT_EQ(ctl.Run({"--adapter", "bogus", "read", "A5", "--adapter", other, "--json"}), 0);
    EXPECT_EQ(nlohmann::json::parse(ctl.out)["registers"][0]["value"], "24");
}

// The panel's choice of a bus, kept by the part of its name a replug keeps
// or by its node with the whole name: used while such a bus is there, and
// refused (status 2, nothing opened) once it is gone or another bus has the
// node. This machine has no /dev/i2c-7: a bus found is named by the open
// that fails.
TEST_F(Ctl, ARememberedBusIsFoundByItsNameOrRefused)
{
    constexpr const char* kBridge = "CP2112 SMBus Bridge on hidraw0";
    constexpr const char* kSmbus = "SMBus I801 adapter at efa0";
    const Lines openFailed = {
        "zr5130ctl: /dev/i2c-7 does not exist; is the adapter plugged in and the i2c-dev module "
        "loaded?"};
    const std::string byNode = "adapter=/dev/i2c-7\nadapterName=" + std::string(kBridge);
    const std::string howTo =
        "; give --adapter, or choose again under Adapter in zr5130-eval's window menu";
    const struct {
        std::vector<std::pair<int, std::string>> buses;
        std::string remembered;
        int status;
        Lines err;
    } cases[] = {
        {{{0, kSmbus}, {7, kBridge}}, "adapter=i2c:CP2112 SMBus Bridge", 1, openFailed},
        {{{0, kSmbus}, {7, kBridge}}, byNode, 1, openFailed},
        {{{7, kSmbus}, {8, "CP2112 SMBus Bridge on hidraw1"}}, byNode, 2,
         {"zr5130ctl: remembered adapter '/dev/i2c-7' not used: /dev/i2c-7 is now '" +
          std::string(kSmbus) + "', not '" + kBridge + "'" + howTo}},
        {{{0, kSmbus}}, "adapter=i2c:CP2112 SMBus Bridge", 2,
         {"zr5130ctl: remembered adapter 'i2c:CP2112 SMBus Bridge' not used: no I2C bus named like "
          "'CP2112 SMBus Bridge'; buses found: /dev/i2c-0: " + std::string(kSmbus) + howTo}},
    };
    std::filesystem::create_directories(ctl.Path("config/zr5130"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remembered);
        std::filesystem::remove_all(ctl.Path("sys"));
        const FakeSysfs sysfs(ctl.Path("sys"));
        for (const auto& [number, name] : c.buses)
            sysfs.AddBus(number, name,
                         name.starts_with("SMBus") ? FakeSysfs::kPciParent : FakeSysfs::kUsbParent);
        ctl.sysClass = ctl.Path("sys/class");
        ctl.WriteFile("config/zr5130/zr5130-eval.conf", "[General]\n" + c.remembered + "\n");
        const int status = ctl.Run({"--trace", "t", "read", "02"});
        if (status == CtlRun::kNoNamespace) GTEST_SKIP() << "no user and mount namespaces here";
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(ctl.ErrLines(), c.err);
        EXPECT_EQ(ctl.ReadFile("t"), "") << "nothing answered";
    }
}

// "-" is standard input, bounded like a file and taken once.
TEST_F(Ctl, StandardInputStandsInForOneDump)
{
    const std::string good = FormatRegisterImage(With(E08Board(), {{0x16, 0x3F}}));
    ctl.WriteFile("good.txt", good);
    ctl.input = good;
    ASSERT_EQ(ctl.Run({"--adapter", "sim", "--trace", "t", "restore", "-"}), 0) << ctl.err;
    EXPECT_EQ(ctl.WriteLines("t").size(), 21u);
    EXPECT_EQ(ctl.Run({"--adapter", "sim:-", "diff", ctl.Path("good.txt")}), 0) << ctl.out;
    EXPECT_EQ(ctl.Run({"diff", "-", ctl.Path("good.txt")}), 0) << ctl.out;
    EXPECT_EQ(ctl.Run({"--adapter", "sim:-", "diff", "-"}), 2);
    EXPECT_EQ(ctl.ErrLines(), Lines{"zr5130ctl: diff - and --adapter=sim:-: standard input can be "
                                    "read only once; save it to a file and name that"});
    ctl.input = std::string(2 * 1024 * 1024, '\n');
    EXPECT_EQ(ctl.Run({"decode", "-"}), 2);
    EXPECT_NE(ctl.err.find("standard input: too large"), std::string::npos) << ctl.err;
}

// At a terminal, burn and restore ask first, as i2cset does.
TEST_F(Ctl, BurnAndRestoreAskAtATerminalUnlessYes)
{
    ctl.WriteFile("good.txt", FormatRegisterImage(E08Board()));
    const struct {
        Lines command;
        std::string answer;
        int status;
        size_t writes;
    } cases[] = {
        {{"burn", "prepare"}, "n\n", 2, 0},
        {{"burn", "complete"}, "yes\n", 0, 1},
        {{"restore", "good.txt"}, "\n", 2, 0},
        {{"restore", "good.txt"}, "y\n", 0, 21},
        {{"restore", "good.txt", "--yes"}, "n\n", 0, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command.front() + " answered " + c.answer);
        std::remove(ctl.Path("t").c_str());
        Lines args = {"--adapter", "sim", "--trace", "t"};
        args.insert(args.end(), c.command.begin(), c.command.end());
        EXPECT_EQ(ctl.RunOnTerminal(args, c.answer), c.status) << ctl.err;
        EXPECT_EQ(ctl.WriteLines("t").size(), c.writes);
        EXPECT_EQ(ctl.err.find("[y/N]") != std::string::npos, c.command.back() != "--yes");
    }
}

// Under --json every command prints one JSON document per line; the ones
// that write report each write and what the register reads after it.
TEST_F(Ctl, EveryCommandPrintsJsonUnderJson)
{
    ctl.WriteFile("good.txt", FormatRegisterImage(E08Board()));
    ctl.WriteFile("session.txt", "W 01 04 ok\nW A5 14 ok\n");
    const struct {
        Lines command;
        int status;
    } cases[] = {
        {{"read", "02"}, 0},      {{"write", "A5", "3C"}, 0},     {{"dump"}, 0},
        {{"decode"}, 0},          {{"diff", "good.txt"}, 1},      {{"load", "E08"}, 0},
        {{"restore", "good.txt"}, 0}, {{"burn", "prepare"}, 0},   {{"watch", "--count", "1"}, 0},
        {{"replay", "session.txt"}, 0}, {{"replay", "--dry-run", "session.txt"}, 0}, {{"adapters"}, 0},
    };
    for (const auto& [command, status] : cases) {
        SCOPED_TRACE(command.front());
        Lines args = {"--json", "--adapter", "sim"};
        args.insert(args.end(), command.begin(), command.end());
        EXPECT_EQ(ctl.Run(args), status) << ctl.err;
        ASSERT_EQ(OutLines().size(), 1u) << ctl.out;
        const auto json = nlohmann::json::parse(ctl.out);
        const bool writes = std::set<std::string>{"write", "load", "restore", "burn", "replay"}
                                .contains(command.front());
        EXPECT_EQ(json.contains("writes"), writes) << ctl.out;
        EXPECT_EQ(json.contains("readBack"), writes && command[1] != "--dry-run") << ctl.out;
    }
    ASSERT_EQ(ctl.Run({"--json", "--adapter", "sim", "write", "A5", "3C"}), 0);
    EXPECT_EQ(nlohmann::json::parse(ctl.out),
              nlohmann::json::parse(R"({"writes": [{"address": "A5", "value": "3C", "ok": true}],
                                        "readBack": [{"address": "A5", "value": "3C"}]})"));
}

// Each kind of bad input: status 2, one line naming it, nothing written.
TEST_F(Ctl, BadInputEndsWithStatus2AndOneLineAndWritesNothing)
{
    ctl.WriteFile("board.txt", FormatRegisterImage(E08Board()));
    std::string torn = FormatRegisterImage(E08Board());
    torn.replace(torn.find("\n20: 00") + 5, 2, "zz");  // line 4, register 20
    ctl.WriteFile("torn.txt", torn);
    ctl.WriteFile("bad-trace.txt", "W 01 04 ok\nW A5 14 ok\nW A5 1 ok\nW 16 3F ok\n");
    ctl.WriteFile("burn-trace.txt", "W 01 04 ok\nW 72 80 ok\n");
    ctl.WriteFile("nul-trace.txt", std::string("W 01 04 ok\nW A5 \0\x1b ok\n", 22));
    ctl.WriteFile("long-trace.txt", std::string(5000, ' ') + "\n");
    std::string huge;
    while (huge.size() <= 1024 * 1024) huge += "W 01 04 ok\n";
    ctl.WriteFile("huge-trace.txt", huge);
    ASSERT_EQ(::mkfifo(ctl.Path("fifo").c_str(), 0600), 0);
    const struct {
        Lines args;
        std::string named;
    } cases[] = {
        {{"frob"}, "frob"},
        {{"--frob", "read", "02"}, "--frob"},
        {{"write", "zz", "01"}, "'zz'"},
        {{"write", "A5", "1A5"}, "'1A5' has more than 8 bits"},
        {{"write", "A5", "--", "-1"}, "'-1' is negative"},
        {{"write", "A5", "3Cx"}, "'3Cx'"},
        {{"write", "A5", "0x3Ch"}, "'0x3Ch' is not a hex number"},  // the panel's rule
        {{"write", "+A5", "3C"}, "'+A5' is not a hex number"},
        {{"write", "A5", "3C "}, "'3C ' is not a hex number"},
        {{"write", "72", "80"}, "burn"},
        {{"read"}, "REG"},
        {{"load", "E16"}, "'E16'"},
        {{"burn", "now"}, "now"},
        {{"watch", "--interval", "0"}, "--interval"},
        {{"watch", "--interval", "3600001"}, "--interval"},
        {{"watch", "--count", "0"}, "--count"},
        {{"watch", "--count", "1000000000001"}, "--count"},
        {{"replay", "--dry-run=maybe", "trace.txt"}, "--dry-run"},
        {{"restore", "missing.txt"}, "missing.txt: cannot open"},
        {{"restore", ctl.Path("torn.txt")}, "torn.txt:4:"},
        {{"replay", ctl.Path("bad-trace.txt")}, "bad-trace.txt:3:"},
        {{"replay", ctl.Path("burn-trace.txt")}, "burn-trace.txt:2:"},
        {{"diff", ctl.Path("board.txt"), ctl.Path("torn.txt")}, "torn.txt:4:"},
        {{"--adapter", "bogus", "read", "02"}, "--adapter: unknown adapter 'bogus'"},
        {{"--adapter", "sim:" + ctl.Path("torn.txt"), "dump"}, "torn.txt:4:"},
        {{"--adapter", "", "decode", ctl.Path("board.txt")}, "--adapter is empty"},
        {{"--adapter", "sim", "replay", "fifo"}, "replay: fifo: a named pipe, not a file"},
        {{"--adapter", "sim", "replay", "nul-trace.txt"}, ":2: 'W A5 \\x00\\x1b ok' is not"},
        {{"--adapter", "sim", "replay", "long-trace.txt"}, ":1: line longer than 4096"},
        {{"--adapter", "sim", "replay", "huge-trace.txt"}, "too large for a trace"},
    };
    for (const auto& c : cases) {
        Lines args = {"--trace", "t"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::remove(ctl.Path("t").c_str());
        SCOPED_TRACE(c.args.front() + " ... " + c.args.back());
        EXPECT_EQ(ctl.Run(args), 2);
        ASSERT_EQ(ctl.ErrLines().size(), 1u) << ctl.err;
        EXPECT_NE(ctl.err.find(c.named), std::string::npos) << ctl.err;
        EXPECT_EQ(ctl.WriteLines("t"), Lines{});
        EXPECT_EQ(ctl.out, "");
    }
}

TEST_F(Ctl, HelpVersionAndNoQt)
{
    ASSERT_EQ(ctl.Run({"--version"}), 0);
    EXPECT_EQ(ctl.out, std::string("zr5130ctl ") + kZr5130Version + "\n");
    ASSERT_EQ(ctl.Run({"dump", "--help"}), 0);
    EXPECT_NE(ctl.out.find("i2cdump"), std::string::npos);
    ASSERT_EQ(ctl.Run({"--help"}), 0);
    EXPECT_NE(ctl.out.find("\n  replay "), std::string::npos);
    for (const char* told : {"--adapter, else ZR5130_ADAPTER, else the one chosen under Adapter",
                             "named - is standard input", "--yes", "Exit status: 0 done"})
        EXPECT_NE(ctl.out.find(told), std::string::npos) << told;
    ASSERT_EQ(ctl.Run({"watch", "--help"}), 0);
    for (const char* told : {"--interval MS", "--until FIELD=VALUE", "--timeout SECONDS", "--csv "})
        EXPECT_NE(ctl.out.find(told), std::string::npos) << told;

    std::string libraries;
    FILE* ldd = popen("ldd " ZR5130CTL_EXE, "r");
    ASSERT_NE(ldd, nullptr);
    for (char buffer[512]; fgets(buffer, sizeof buffer, ldd);) libraries += buffer;
    ASSERT_EQ(pclose(ldd), 0);
    EXPECT_NE(libraries.find("libstdc++"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("Qt"), std::string::npos) << libraries;
}

}  // namespace
