#include "DeviceLink.h"
#include "ScratchDir.h"
#include "ScriptedAdapter.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TraceTest : public testing::Test {
protected:
    void TearDown() override { TraceClose(); }

    void Open()
    {
        std::string error;
        ASSERT_TRUE(TraceOpen(path, error)) << error;
    }

    const ScratchDir scratch;
    const std::string path = scratch.File("trace.txt");
};

TEST_F(TraceTest, WritesOneLinePerOperation)
{
    Open();
    EXPECT_TRUE(TraceEnabled());
    PanelTrace().Read(0xA5, 0x3C, true);
    PanelTrace().Read(0xA5, 0x3C, false);
    PanelTrace().Write(0x0A, 0x00, true);
    PanelTrace().Write(0xFF, 0xE7, false);
    TraceClose();
    EXPECT_FALSE(TraceEnabled());
    EXPECT_EQ(ReadFile(path), "R A5 3C ok\nR A5 -- fail\nW 0A 00 ok\nW FF E7 fail\n");
}

TEST_F(TraceTest, LinkReportsEveryRegisterOperation)
{
    ScriptedAdapter adapter;
    ScopedAdapter installed(&adapter);
    adapter.regs[0x02] = 0x30;
    adapter.failReads = {0x03};
    adapter.failWrites = {0x16};
    Open();
    uint8_t value = 0;
    RegRead(0x2C, 0x02, value);
    RegRead(0x2C, 0x03, value);
    RegWrite(0x2C, 0x00, 0x80);
    RegWrite(0x2C, 0x16, 0x3F);
    TraceClose();
    EXPECT_EQ(ReadFile(path), "R 02 30 ok\nR 03 -- fail\nW 00 80 ok\nW 16 3F fail\n");
}

TEST_F(TraceTest, AppendsToAnExistingFile)
{
    std::ofstream(path) << "R 00 00 ok\n";
    Open();
    PanelTrace().Write(0x01, 0x02, true);
    TraceClose();
    EXPECT_EQ(ReadFile(path), "R 00 00 ok\nW 01 02 ok\n");
}

TEST_F(TraceTest, NothingIsWrittenWhileClosed)
{
    Open();
    PanelTrace().Read(0x01, 0x01, true);
    TraceClose();
    PanelTrace().Read(0x02, 0x02, true);
    PanelTrace().Write(0x03, 0x03, false);
    EXPECT_FALSE(TraceEnabled());
    EXPECT_EQ(ReadFile(path), "R 01 01 ok\n");
}

TEST_F(TraceTest, EachLineReachesTheFileWhenTheAccessHappens)
{
    Open();
    for (int i = 0; i < 26; ++i)
        PanelTrace().Read(static_cast<uint8_t>(i), 0x00, true);
    EXPECT_EQ(ReadFile(path).size(), 26u * 11u);

    // As a crash or a closed terminal ends it: with no chance to flush.
    EXPECT_EXIT(
        {
            PanelTrace().Write(0xA5, 0x3C, true);
            std::raise(SIGKILL);
        },
        testing::KilledBySignal(SIGKILL), "");
    EXPECT_TRUE(ReadFile(path).ends_with("R 19 00 ok\nW A5 3C ok\n"));
}

TEST_F(TraceTest, OpenFailureNamesTheFileAndReason)
{
    const std::string bad = scratch.File("no-such-dir/trace.txt");
    std::string error;
    EXPECT_FALSE(TraceOpen(bad, error));
    EXPECT_FALSE(TraceEnabled());
    EXPECT_EQ(error, bad + ": cannot open: No such file or directory");
}

}  // namespace
