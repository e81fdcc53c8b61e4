// The adapter remembered from the panel's Adapter list: the same bus or none,
// and a settings file read and written like every other file.
#include "AdapterMemory.h"
#include "AdapterList.h"
#include "FakeSysfs.h"
#include "NonFiles.h"
#include "ScratchDir.h"
#include "SettingsFile.h"
#include "tvx.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kBridge0 = "CP2112 SMBus Bridge on hidraw0";
constexpr const char* kSmbus = "SMBus I801 adapter at efa0";
const std::string kUsbParent2 = FakeSysfs::kUsbParent + std::string("2");
const std::string kHowTo =
    "; choose the adapter again under Adapter in zr5130-eval's window menu, or set ZR5130_ADAPTER";

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class AdapterMemoryTest : public testing::Test {
protected:
    AdapterMemoryTest()
    {
        fs::create_directories(config / "zr5130");
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        options.sysClassDir = sysfs.SysClassDir();
        options.systemCalls = [this] { return std::make_unique<SharedI2cDevSys>(bus); };
    }
    ~AdapterMemoryTest() override { unsetenv("XDG_CONFIG_HOME"); }

    fs::path Settings() const { return config / "zr5130/zr5130-eval.conf"; }
    void WriteSettings(const std::string& text) const { std::ofstream(Settings()) << text; }

    // The buses as the kernel numbers them after a replug: the old class
    // entries go, the new ones come.
    void
    Renumber(const std::vector<std::pair<int, std::pair<std::string, std::string>>>& buses) const
    {
        for (const fs::directory_entry& entry : fs::directory_iterator(sysfs.SysClassDir()))
            fs::remove(entry.path());
        for (const auto& [number, bus] : buses) sysfs.AddBus(number, bus.first, bus.second);
    }

    // What a start-up or Reconnect does first: find the bus and open it.
    static int Open(TvxAdapter& adapter)
    {
        char serial[kTvxSerialSize] = {};
        if (adapter.FindControllers() == 0 || adapter.GetSerialNumber(0, serial) < 0) return 0;
        return adapter.Open(serial);
    }

    const ScratchDir scratch;
    const fs::path root = scratch.Path();
    const fs::path config = root / "config";
    FakeSysfs sysfs{root / "sysfs"};
    FakeI2cDevSys bus;
    AdapterOptions options;
};

// Two identical bridges; the first is chosen. After a replug the kernel
// gives the PC's own SMBus its node: neither the next start nor a
// Reconnect of the adapter already open may touch it.
TEST_F(AdapterMemoryTest, ABusKeptByItsNodeIsUsedOnlyWhileItsNameIsTheOneChosen)
{
    Renumber({{0, {kSmbus, FakeSysfs::kPciParent}},
              {7, {kBridge0, FakeSysfs::kUsbParent}},
              {8, {"CP2112 SMBus Bridge on hidraw1", kUsbParent2}}});
    const std::vector<AdapterListEntry> entries = ListAdapters(options.sysClassDir);
    ASSERT_EQ(entries[1].setting, "/dev/i2c-7") << "two buses share the name: kept by its node";
    EXPECT_EQ(RememberAdapter(entries[1].setting, options), "");
    EXPECT_EQ(ReadText(Settings()),
              "[General]\nadapter=/dev/i2c-7\nadapterName=CP2112 SMBus Bridge on hidraw0\n");

    RecalledAdapter recalled = RecallAdapter(options);
    EXPECT_EQ(recalled.setting, "/dev/i2c-7");
    EXPECT_EQ(recalled.problem, "");
    AdapterChoice running = ChooseRecalledAdapter(recalled.setting, recalled.busName, options);
    ASSERT_NE(running.adapter, nullptr) << running.error;
    EXPECT_GT(Open(*running.adapter), 0);

    Renumber({{7, {kSmbus, FakeSysfs::kPciParent}},
              {8, {"CP2112 SMBus Bridge on hidraw2", kUsbParent2}},
              {9, {"CP2112 SMBus Bridge on hidraw3", FakeSysfs::kUsbParent}}});
    bus.calls.clear();
    recalled = RecallAdapter(options);
    EXPECT_EQ(recalled.setting, "");
    EXPECT_EQ(recalled.refusal,
              "remembered adapter '/dev/i2c-7' not used: /dev/i2c-7 is now "
              "'SMBus I801 adapter at efa0', not 'CP2112 SMBus Bridge on hidraw0'");
    EXPECT_EQ(recalled.problem, recalled.refusal + kHowTo);

    EXPECT_EQ(Open(*running.adapter), 0) << "a Reconnect checks the name again";
    AdapterChoice fresh = ChooseRecalledAdapter("/dev/i2c-7", kBridge0, options);
    EXPECT_EQ(Open(*fresh.adapter), 0);
    const std::string refused =
        "/dev/i2c-7 is now 'SMBus I801 adapter at efa0', not the "
        "'CP2112 SMBus Bridge on hidraw0' chosen: not opened; choose the "
        "adapter again under Adapter";
    EXPECT_EQ(running.adapter->OpenFailure(), refused);
    EXPECT_EQ(fresh.adapter->OpenFailure(), refused);
    EXPECT_EQ(bus.CountCalls("open"), 0u);
    EXPECT_EQ(bus.CountCalls("smbus"), 0u);
    EXPECT_EQ(ReadText(Settings()),
              "[General]\nadapter=/dev/i2c-7\nadapterName=CP2112 SMBus Bridge on hidraw0\n")
        << "kept until the user chooses again";
}

// Each remembered text, as old and new versions of the panel wrote it.
TEST_F(AdapterMemoryTest, EachRememberedTextIsUsedOrRefusedWithItsReason)
{
    Renumber({{7, {kBridge0, FakeSysfs::kUsbParent}}});
    const std::string dump = (root / "board.txt").string();
    std::ofstream(dump) << "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n00: 00 30\n";
    const struct {
        std::string file;
        std::string setting;  // used as it is
        std::string refusal;  // after "remembered adapter ... not used: "
    } cases[] = {
        {"", "", ""},
        {"[General]\nadapter=sim\n", "sim", ""},
        {"[General]\nadapter=none\n", "none", ""},
        {"[General]\nadapter=sim:" + dump + "\n", "sim:" + dump, ""},
        {"[General]\nadapter=\"sim:" + dump + "\"\n", "sim:" + dump, ""},
        {"[Other]\nadapter=none\n", "", ""},
        {"[General]\nadapter=/dev/i2c-7\nadapterName=CP2112 SMBus Bridge on hidraw0\n",
         "/dev/i2c-7", ""},
        {"[General]\nadapter=/dev/i2c-7\n", "",
         "it was kept without the name of its bus, so it could now be another bus"},
        {"[General]\nadapter=/dev/i2c-9\nadapterName=CP2112 SMBus Bridge on hidraw0\n", "",
         "the bus 'CP2112 SMBus Bridge on hidraw0' is not among the I2C buses now"},
        {"[General]\nadapter=sim:" + dump + ".gone\n", "",
         dump + ".gone: cannot open: No such file or directory"},
        {"[General]\nadapter=usb\\x1b[2J\n", "", "not an adapter this program knows"},
    };
    for (const auto& c : cases) {
        WriteSettings(c.file);
        const RecalledAdapter recalled = RecallAdapter(options);
        EXPECT_EQ(recalled.setting, c.setting) << c.file;
        if (c.refusal.empty())
            EXPECT_EQ(recalled.problem, "") << c.file;
        else
            EXPECT_TRUE(recalled.refusal.ends_with(" not used: " + c.refusal)) << recalled.refusal;
    }
    EXPECT_TRUE(RecallAdapter(options).refusal.starts_with("remembered adapter 'usb\\x1b[2J' "))
        << "the escape byte is quoted, not sent to the terminal";
}

// A FIFO would block the start, a link would be written through, a folder
// cannot be read: each is told, left as it is, and nothing is remembered.
TEST_F(AdapterMemoryTest, ASettingsFileThatIsNoRegularFileIsToldAndLeftUntouched)
{
    const fs::path target = root / "notes.txt";
    std::ofstream(target) << "my notes\n";
    for (const NonFile kind : {NonFile::NamedPipe, NonFile::SymbolicLink, NonFile::Directory}) {
        fs::remove_all(Settings());
        const std::string made = PlantNonFile(kind, Settings(), target);
        ASSERT_NE(made, "");
        const fs::file_type type = fs::symlink_status(Settings()).type();
        const std::string problem = "settings file '" + Settings().string() + "': " + made +
            ", not a file; the adapter choice is not remembered";
        // Kept apart, so that a read that waits fails the test instead of holding it.
        ASSERT_EXIT(
            {
                ::alarm(2);
                RecallAdapter(options);
                std::_Exit(0);
            },
            testing::ExitedWithCode(0), "")
            << made << " held the read";
        const RecalledAdapter recalled = RecallAdapter(options);
        EXPECT_EQ(recalled.setting, "");
        EXPECT_EQ(recalled.refusal, problem);
        EXPECT_TRUE(recalled.problem.starts_with(problem + "; move it away; choose"))
            << recalled.problem;
        EXPECT_EQ(RememberAdapter("none", options), problem);
        EXPECT_EQ(fs::symlink_status(Settings()).type(), type) << made;
        EXPECT_EQ(ReadText(target), "my notes\n") << made;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(config / "zr5130"), {}), 1)
        << "no file left beside it";
}

TEST_F(AdapterMemoryTest, TheFileIsReplacedWholeNeverRewrittenInPlace)
{
    WriteSettings("[General]\nadapter=sim\n");
    const fs::path before = root / "before.conf";
    fs::create_hard_link(Settings(), before);  // sees the old file's contents
    EXPECT_EQ(RememberAdapter("sim:/a b;c,d=e\"f\\g", options), "");
    EXPECT_EQ(ReadText(before), "[General]\nadapter=sim\n");
    EXPECT_EQ(ReadText(Settings()), "[General]\nadapter=\"sim:/a b;c,d=e\\\"f\\\\g\"\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(config / "zr5130"), {}), 1);

    fs::remove_all(config);  // the folders are made as needed
    EXPECT_EQ(RememberAdapter("none", options), "");
    EXPECT_EQ(ReadText(Settings()), "[General]\nadapter=none\n");
}

TEST(SettingsFileLocation, OnlyAnAbsoluteFolderCounts)
{
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";
    const struct {
        const char* config;  // nullptr: unset
        const char* home;
        std::string path;
    } cases[] = {
        {"/cfg", "/home/u", "/cfg/zr5130/zr5130-eval.conf"},
        {nullptr, "/home/u", "/home/u/.config/zr5130/zr5130-eval.conf"},
        {"relative", "/home/u", "/home/u/.config/zr5130/zr5130-eval.conf"},
        {"", "/home/u", "/home/u/.config/zr5130/zr5130-eval.conf"},
        {nullptr, nullptr, ""},
        {"relative", "also/relative", ""},
    };
    for (const auto& c : cases) {
        c.config ? setenv("XDG_CONFIG_HOME", c.config, 1) : unsetenv("XDG_CONFIG_HOME");
        c.home ? setenv("HOME", c.home, 1) : unsetenv("HOME");
        const SettingsLocation location = UserSettingsLocation();
        EXPECT_EQ(location.path, c.path);
        EXPECT_EQ(location.problem.empty(), !c.path.empty());
        if (c.path.empty()) {
            EXPECT_EQ(RecallAdapter().note,
                      "neither XDG_CONFIG_HOME nor HOME is an absolute path, so "
                      "there is no settings file; the adapter choice is not remembered");
            EXPECT_EQ(RememberAdapter("none"), RecallAdapter().note);
        }
    }
    unsetenv("XDG_CONFIG_HOME");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}

}  // namespace
