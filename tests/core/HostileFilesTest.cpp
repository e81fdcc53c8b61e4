// Register dumps and traces that a careless user or a hostile working folder
// hands the program: whatever they are, the program answers at once, within
// bounded memory, with a message safe to print on a terminal.
#include "RegisterImage.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kHeader =
    "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";

class HostileFiles : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zr5130-hostile-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& text)
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string Fifo()
    {
        const std::string path = dir + "/fifo";
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }

    std::string dir;
};

// The load runs in a child process that a watchdog ends, so a reader that
// blocks or never stops reading fails the test instead of hanging it. The
// child prints the loader's message for the regular expression to match.
void ExpectLoadRefused(const std::string& path, const std::string& message)
{
    EXPECT_EXIT(
        {
            ::alarm(10);
            RegisterImage image;
            std::string error;
            const bool loaded = LoadRegisterImage(path, image, error);
            std::fprintf(stderr, "%s\n", error.c_str());
            std::_Exit(loaded ? 1 : 0);
        },
        testing::ExitedWithCode(0), message)
        << path;
}

void ExpectTraceRefused(const std::string& path, const std::string& message)
{
    EXPECT_EXIT(
        {
            ::alarm(10);
            std::string error;
            const bool opened = TraceOpen(path, error, "ZR5130_TRACE=" + path);
            std::fprintf(stderr, "%s\n", error.c_str());
            std::_Exit(opened ? 1 : 0);
        },
        testing::ExitedWithCode(0), message)
        << path;
}

TEST_F(HostileFiles, NamedPipesAreRefusedWithoutWaitingForTheOtherEnd)
{
    const std::string fifo = Fifo();
    ExpectLoadRefused(fifo, "fifo: a named pipe, not a file");
    ExpectTraceRefused(fifo, "ZR5130_TRACE=.*/fifo: a named pipe, not a file or a terminal");

    // With a reader at the other end the trace would open, and block as soon
    // as that reader stops reading.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ExpectTraceRefused(fifo, "ZR5130_TRACE=.*/fifo: a named pipe, not a file or a terminal");
    ::close(reader);
}

TEST_F(HostileFiles, DumpsBeyondAnyRealSizeAreRefusedWithinBoundedMemory)
{
    const std::string sparse = Write("sparse.txt", "");
    ASSERT_EQ(::truncate(sparse.c_str(), 1L << 30), 0);
    ExpectLoadRefused(sparse, "sparse.txt: too large for a register dump \\(over 1 MiB");
    ExpectLoadRefused("/dev/zero", "/dev/zero: a character device, not a file");
    ExpectLoadRefused(dir, "a directory, not a file");

    const std::string longLine =
        Write("long-line.txt", "notice " + std::string(5000, 'x') + "\n" + kHeader);
    ExpectLoadRefused(longLine, "long-line.txt:1: line longer than 4096 characters");

    // A file that fits the bounds still loads, however much text precedes
    // the table.
    std::string padded;
    while (padded.size() < 900 * 1024)
        padded += "i2cdump: Warning! This program can confuse your I2C bus.\n";
    RegisterImage image;
    std::string error;
    EXPECT_TRUE(LoadRegisterImage(Write("padded.txt", padded + kHeader + "a0: ff\n"), image,
                                  error))
        << error;
    EXPECT_EQ(image.values[0xA0], 0xFF);
}

TEST_F(HostileFiles, MessagesQuoteAFewDozenBytesWithControlBytesEscaped)
{
    const std::string cell = "\x1b]0;owned\x07\x1b[2J" + std::string(3000, 'A');
    const std::string path =
        Write("escape.txt", std::string(kHeader) + "00: 00 " + cell + "\n");
    RegisterImage image;
    std::string error;
    ASSERT_FALSE(LoadRegisterImage(path, image, error));
    EXPECT_EQ(error, path +
                         ":2: register 0x01: '\\x1b]0;owned\\x07\\x1b[2JAAAAAAAAAAAAAAAAAAAAAAAAAA'"
                         "... is not a byte");

    const std::string nul =
        Write("nul.txt", std::string(kHeader) + "00: 00 0" + std::string(1, '\0') + " 00\n");
    ASSERT_FALSE(LoadRegisterImage(nul, image, error));
    EXPECT_EQ(error, nul + ":2: register 0x01: '0\\x00' is not a byte");
}

}  // namespace
