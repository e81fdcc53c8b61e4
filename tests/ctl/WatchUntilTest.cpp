// zr5130ctl watch through the real binary: --until, --timeout, --csv, on
// one board and on several, and a pipe whose reader ends first.
#include "CtlRun.h"
#include "RegisterImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/wait.h>

namespace {

using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

class WatchUntil : public ::testing::Test {
protected:
    CtlRun ctl;

    // A blank chip but for these registers, as an adapter setting.
    std::string Board(const std::string& name,
                      std::initializer_list<std::pair<int, std::optional<uint8_t>>> values)
    {
        RegisterImage image;
        image.values.fill(0x00);
        image.values[0x02] = 0x30;
        for (const auto& [reg, value] : values) image.values[reg] = value;
        ctl.WriteFile(name, FormatRegisterImage(image));
        return "sim:" + ctl.Path(name);
    }

    // Runs the tool; answers its status and how long it ran.
    std::pair<int, double> Timed(const Lines& args)
    {
        const auto start = Clock::now();
        const int status = ctl.Run(args);
        return {status, std::chrono::duration<double>(Clock::now() - start).count()};
    }
};

// "2025-03-14T09:26:53.589+01:00" as milliseconds since the epoch; -1 when
// it is not such a time.
long long EpochMs(const std::string& text)
{
    tm t{};
    int ms = 0;
    int offsetH = 0;
    int offsetM = 0;
    char sign = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%c%2d:%2d%c", &t.tm_year, &t.tm_mon,
                    &t.tm_mday, &t.tm_hour, &t.tm_min, &t.tm_sec, &ms, &sign, &offsetH, &offsetM,
                    &end) != 10 ||
        (sign != '+' && sign != '-') || text.size() != 29)
        return -1;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    const long long offsetS = (sign == '-' ? -1 : 1) * (offsetH * 3600 + offsetM * 60);
    return (static_cast<long long>(timegm(&t)) - offsetS) * 1000 + ms;
}

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TEST_F(WatchUntil, EndsWhenTheChipShowsTheFieldOrTellsThatItDidNot)
{
    const std::string e08 = Board("a5.txt", {{0xA5, 0xE9}});
    const struct Case {
        const char* what;
        const char* status;  // ZR5130_SIM_STATUS; null: the register keeps its value
        Lines args;
        int exit;
        std::string lastLine;  // how standard output's last line ends
        std::string err;
        double minS, maxS;  // how long it ran
    } cases[] = {
        {"raised on the third read", "30,30,38", {"--until", "over-voltage=1", "--timeout", "5"},
         0, " 02 30 -> 38 on: Over Voltage", "", 0.01, 2},
        {"the field by its name as the map writes it", "30,38", {"--until", "Over Voltage=1"}, 0,
         " 02 30 -> 38 on: Over Voltage", "", 0, 2},
        {"holds at the first read", nullptr, {"--until", "vboost-ok=1", "--timeout", "5"}, 0,
         " 02 30 on: VRef OK, VBoost OK", "", 0, 2},
        {"never raised: the timeout", nullptr,
         {"--until", "over-voltage=1", "--timeout", "0.3"}, 1, " 02 30 on: VRef OK, VBoost OK",
         "zr5130ctl: watch: Over Voltage = 1 not seen within 0.3 s; last read 02 = 30\n", 0.3, 2},
        {"never raised: the count", "30,30,30,38",
         {"--until", "over-voltage=1", "--count", "3"}, 1, " 02 30 on: VRef OK, VBoost OK",
         "zr5130ctl: watch: Over Voltage = 1 not seen in 3 reads; last read 02 = 30\n", 0, 2},
        {"raised, then cleared before the end", "38,30",
         {"--until", "over-voltage=0", "--timeout", "5"}, 0, " 02 38 -> 30 off: Over Voltage",
         "", 0, 2},
        {"timeout alone ends with status 0", nullptr, {"--timeout", "0.3"}, 0,
         " 02 30 on: VRef OK, VBoost OK", "", 0.3, 2},
        {"a field of another register watches that one", nullptr,
         {"--adapter", e08, "--until", "pwm-frequency=0x9", "--timeout", "0.2"}, 0, " A5 E9", "",
         0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ctl.Set("ZR5130_SIM_STATUS", c.status ? std::optional<std::string>(c.status) : std::nullopt);
        Lines args = {"--adapter", "sim", "watch", "--interval", "20"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto [status, seconds] = Timed(args);
        EXPECT_EQ(status, c.exit) << ctl.err;
        ASSERT_FALSE(ctl.OutLines().empty());
        EXPECT_TRUE(ctl.OutLines().back().ends_with(c.lastLine)) << ctl.out;
        EXPECT_EQ(ctl.err, c.err);
        EXPECT_GE(seconds, c.minS);
        EXPECT_LT(seconds, c.maxS);
    }
    // Only the register of the field is read.
    EXPECT_EQ(ctl.out.find(" 02 "), std::string::npos) << ctl.out;
}

TEST_F(WatchUntil, BadFieldsAndFormatsAreRefusedBeforeAnyRead)
{
    const struct {
        Lines args;
        std::string err;
    } cases[] = {
        {{"--until", "over-voltage"},
         "watch: --until 'over-voltage' is not FIELD=VALUE (for example over-voltage=1)"},
        {{"--until", "over-voltag=1"},
         "watch: --until: no field 'over-voltag'; did you mean over-voltage?"},
        {{"--until", "over-voltage=2"}, "watch: --until: 2 is out of range for Over Voltage"},
        {{"--until", "over-voltage=1 0"}, "watch: --until: "},
        {{"--csv", "--json"}, "watch: --csv and --json are two formats; give one"},
        {{"--timeout", "0"}, "--timeout"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        Lines args = {"--adapter", "sim", "--trace", ctl.Path("trace.txt"), "watch"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(ctl.Run(args), 2);
        ASSERT_EQ(ctl.ErrLines().size(), 1u) << ctl.err;
        EXPECT_NE(ctl.err.find(c.err), std::string::npos) << ctl.err;
        EXPECT_EQ(ctl.ReadFile("trace.txt"), "");
    }
}

// Every read is a row, in the columns of the panel's Timeline: a failed one
// too, and the flags only for the status register.
TEST_F(WatchUntil, CsvHasARowForEveryReadWithItsTime)
{
    const std::string board = Board("board.txt", {{0xA8, std::nullopt}});
    ctl.Set("ZR5130_SIM_STATUS", "30,38,20");
    const long long before = NowMs();
    ASSERT_EQ(ctl.Run({"--adapter", board, "watch", "--csv", "--interval", "10", "--count", "4",
                       "02", "A8"}),
              1);  // A8 does not answer
    const long long after = NowMs();
    const Lines expected = {
        "time,kind,register,value,Open,Short,VRef OK,VBoost OK,Over Voltage,Over Current,TSD,UVLO",
        "read,02,30,0,0,1,1,0,0,0,0", "failed read,A8,--,,,,,,,,",
        "read,02,38,0,0,1,1,1,0,0,0", "failed read,A8,--,,,,,,,,",
        "read,02,20,0,0,1,0,0,0,0,0", "failed read,A8,--,,,,,,,,",
        "read,02,30,0,0,1,1,0,0,0,0", "failed read,A8,--,,,,,,,,",
    };
    const Lines lines = ctl.OutLines();
    ASSERT_EQ(lines.size(), expected.size()) << ctl.out;
    EXPECT_EQ(lines[0], expected[0]);
    long long previous = before;
    for (size_t i = 1; i < lines.size(); ++i) {
        const size_t comma = lines[i].find(',');
        EXPECT_EQ(lines[i].substr(comma + 1), expected[i]);
        const long long ms = EpochMs(lines[i].substr(0, comma));
        EXPECT_GE(ms, previous) << lines[i];
        EXPECT_LE(ms, after) << lines[i];
        previous = ms;
    }
    EXPECT_NE(ctl.err.find("register A8"), std::string::npos) << ctl.err;
}

// --each: an adapter column first (quoted where the path holds a comma);
// --until waits for every board, and a board that showed it is read no more.
TEST_F(WatchUntil, EachBoardIsWaitedForAndNamedInItsRows)
{
    const std::string raised = Board("raised.txt", {{0x02, 0x38}});
    const std::string calm = Board("calm,1.txt", {});
    const std::string quoted = "\"" + calm + "\"";
    const struct {
        std::string second;
        int exit;
        std::string err;
    } cases[] = {
        {calm, 1,
         "zr5130ctl: watch: " + calm +
             ": Over Voltage = 1 not seen within 0.2 s; last read 02 = 30\n"},
        {raised, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        EXPECT_EQ(ctl.Run({"--each", raised, "--each", c.second, "watch", "--csv", "--interval",
                           "20", "--until", "over-voltage=1", "--timeout", "0.2"}),
                  c.exit);
        EXPECT_EQ(ctl.err, c.err);
        const Lines lines = ctl.OutLines();
        ASSERT_GE(lines.size(), 3u) << ctl.out;
        EXPECT_TRUE(lines[0].starts_with("adapter,time,kind,register,value,Open,")) << lines[0];
        EXPECT_TRUE(lines[1].starts_with(raised + ",") &&
                    lines[1].ends_with(",read,02,38,0,0,1,1,1,0,0,0"))
            << lines[1];
        const std::string second = c.second == calm ? quoted : raised;
        for (size_t i = 2; i < lines.size(); ++i)
            EXPECT_TRUE(lines[i].starts_with(second + ",")) << lines[i];
        if (c.exit == 1) {
            EXPECT_GT(lines.size(), 4u) << "the calm board was read until the end";
        }
    }
}

// grep -m1 ends the pipeline while the register never changes: the watch
// notices its reader gone without writing, and ends as a write would have
// ended it (SIGPIPE), not at its next read a minute later.
TEST_F(WatchUntil, EndsSoonAfterThePipesReaderEnds)
{
    const std::string command = "set -o pipefail; env -u ZR5130_TRACE -u ZR5130_SIM_STATUS " +
        std::string(ZR5130CTL_EXE) + " --adapter sim watch --interval 60000 | grep -m1 ' 02 30' > " +
        ctl.Path("grep.txt");
    const auto start = Clock::now();
    const int status = std::system(("bash -c \"" + command + "\"").c_str());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGPIPE);
    EXPECT_LT(seconds, 1.5);
    EXPECT_NE(ctl.ReadFile("grep.txt").find(" 02 30 on: VRef OK"), std::string::npos);
}

}  // namespace
