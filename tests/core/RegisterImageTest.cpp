#include "NonFiles.h"
#include "RegisterImage.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::nullopt_t kAbsent = std::nullopt;

// The table as i2cdump prints it: lower-case hex, XX for no answer, and the
// ASCII column.
std::vector<std::string> DumpLines(const RegisterImage& image)
{
    std::vector<std::string> lines = {
        "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef"};
    for (int row = 0; row < 16; ++row) {
        char text[8];
        std::snprintf(text, sizeof text, "%02x: ", row * 16);
        std::string line = text;
        std::string ascii;
        for (int column = 0; column < 16; ++column) {
            const std::optional<uint8_t> entry = image.values[row * 16 + column];
            if (!entry) {
                line += "XX ";
                ascii += 'X';
            } else {
                const int value = *entry;
                std::snprintf(text, sizeof text, "%02x ", value);
                line += text;
                ascii += value >= 0x20 && value < 0x7F ? static_cast<char>(value) : '.';
            }
        }
        lines.push_back(line + "   " + ascii);
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

// Every register answers 00.
RegisterImage Blank()
{
    RegisterImage image;
    image.values.fill(0x00);
    return image;
}

RegisterImage Pattern()
{
    RegisterImage image;
    for (int reg = 0; reg < 256; ++reg)
        image.values[reg] = uint8_t((reg * 37 + 11) % 256);
    image.values[0x10] = kAbsent;
    image.values[0xFF] = kAbsent;
    return image;
}

bool Parse(const std::string& text, RegisterImage& image, std::string& error)
{
    std::istringstream in(text);
    return ParseRegisterImage(in, image, error);
}

TEST(RegisterImageParse, RoundTripsAnI2cdumpTable)
{
    const RegisterImage original = Pattern();
    RegisterImage parsed;
    std::string error;
    ASSERT_TRUE(Parse(Join(DumpLines(original)), parsed, error)) << error;
    EXPECT_EQ(parsed.values, original.values);
}

TEST(RegisterImageParse, ReadsAHandWrittenDump)
{
    std::vector<std::string> lines = DumpLines(Blank());
    lines[0] = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f";
    lines[1] = "00: 00 00 30 00 00 00 00 00 00 00 00 00 00 00 00 00    ..0.............";
    lines[11] = "a0: FF 0f Ab XX xx 00 00 00 00 00 00 00 00 00 00 00";
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(Parse(Join(lines), image, error)) << error;
    EXPECT_EQ(image.values[0x02], 0x30);
    EXPECT_EQ(image.values[0xA0], 0xFF);
    EXPECT_EQ(image.values[0xA1], 0x0F);
    EXPECT_EQ(image.values[0xA2], 0xAB);
    EXPECT_EQ(image.values[0xA3], kAbsent);
    EXPECT_EQ(image.values[0xA4], kAbsent);
    EXPECT_EQ(image.values[0xA5], 0x00);
}

TEST(RegisterImageParse, ToleratesBlankLinesTrailingSpaceAndCrLf)
{
    std::vector<std::string> lines = DumpLines(Pattern());
    std::string text = "\n  \n";
    for (const std::string& line : lines)
        text += line + " \t\r\n\n";
    text += "\n";
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(Parse(text, image, error)) << error;
    EXPECT_EQ(image.values, Pattern().values);
}

TEST(RegisterImageParse, ReportsEachFaultWithItsLine)
{
    struct Case {
        int line;  // 1-based line of the dump to replace
        std::string text;
        std::string error;
    };
    const std::string zeros = " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    const std::string noHeader =
        "not an i2cdump byte table: its column header '0  1  2 ... f' is missing";
    const Case cases[] = {
        {1, "00: 00" + zeros, noHeader},
        {1, "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  f  e", noHeader},
        {5, "30: G1" + zeros, "line 5: register 0x30: 'G1' is not a byte"},
        {5, "30: 100" + zeros, "line 5: register 0x30: '100' is not a byte"},
        {5, "30: 0" + zeros, "line 5: register 0x30: '0' is not a byte"},
        {5, "30:  00" + zeros, "line 5: register 0x30: '00' is out of its column"},
        {5, "30: 00 \x1b[2J" + std::string(3000, 'A'),
         "line 5: register 0x31: '\\x1b[2J" + std::string(36, 'A') + "'... is not a byte"},
        {5, std::string("30: 00 0\0\t1", 11), "line 5: register 0x31: '0\\x00\\t1' is not a byte"},
        {5, "20: 00" + zeros, "line 5: row '20:' appears twice"},
        {5, "50: 00" + zeros, "line 6: row '40:' after row '50:'; rows go up from '00:' to 'f0:'"},
        {5, " 30: 00", "line 5: expected a row label '00:' to 'f0:', found ' 30: 00'"},
        {5, "30:00" + zeros, "line 5: expected a space after '30:'"},
        {5, "30: 00" + zeros + " 00", "line 5: row '30:': unexpected '00' after register 0x3f"},
        {5, "30: 00" + zeros + "    0123456789abcdefg",
         "line 5: row '30:': unexpected 'g' after the 16 characters that repeat the bytes"},
        {5, std::string(5000, 'x'), "line 5: line longer than 4096 characters; not an i2cdump table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> lines = DumpLines(Blank());
        lines[c.line - 1] = c.text;
        RegisterImage image;
        std::string error;
        EXPECT_FALSE(Parse(Join(lines), image, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(RegisterImageParse, RowsAndCellsThatAreNotThereDoNotAnswer)
{
    std::vector<std::string> lines = DumpLines(Pattern());
    lines[1].resize(3 + 5 * 3);  // row 00: ends after register 0x04
    lines.resize(2);
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(Parse(Join(lines), image, error)) << error;
    for (int reg = 0; reg < 256; ++reg)
        EXPECT_EQ(image.values[reg], reg < 5 ? Pattern().values[reg] : kAbsent) << reg;
    EXPECT_FALSE(Parse(lines[0] + "\n", image, error));
    EXPECT_EQ(error, "no rows after i2cdump's column header");
}

TEST(RegisterImageParse, FailureLeavesTheImageAlone)
{
    std::vector<std::string> lines = DumpLines(Blank());
    lines[16] = "f0: zz";
    RegisterImage image = Pattern();
    std::string error;
    EXPECT_FALSE(Parse(Join(lines), image, error));
    EXPECT_EQ(image.values, Pattern().values);
}

class RegisterImageFile : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text)
    {
        const std::string path = scratch.File(name);
        std::ofstream(path) << text;
        return path;
    }

    const ScratchDir scratch;
};

TEST_F(RegisterImageFile, LoadsAFile)
{
    const std::string path = Write("image-good.txt", Join(DumpLines(Pattern())));
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(LoadRegisterImage(path, image, error)) << error;
    EXPECT_EQ(image.values, Pattern().values);
}

TEST_F(RegisterImageFile, ErrorNamesFileAndLine)
{
    std::vector<std::string> lines = DumpLines(Blank());
    lines[4] = "30: G1 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    const std::string path = Write("board.txt", Join(lines));
    RegisterImage image;
    std::string error;
    EXPECT_FALSE(LoadRegisterImage(path, image, error));
    EXPECT_EQ(error, path + ":5: register 0x30: 'G1' is not a byte");
}

TEST_F(RegisterImageFile, ErrorNamesFileAndReasonWhenItCannotBeOpened)
{
    const std::string path = scratch.File("no-such-image.txt");
    RegisterImage image;
    std::string error;
    EXPECT_FALSE(LoadRegisterImage(path, image, error));
    EXPECT_EQ(error, path + ": cannot open: No such file or directory");
}

// Answered at once, in bounded memory; in a child that a watchdog ends, so
// that a load that blocks or reads forever fails rather than hangs the test.
TEST_F(RegisterImageFile, ThatBlocksOrNeverEndsIsRefusedAtOnce)
{
    const std::string fifo = scratch.File("dump-fifo"), sparse = Write("sparse.txt", "");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::truncate(sparse.c_str(), 1L << 30), 0);
    EXPECT_EXIT(
        {
            ::alarm(10);
            for (const std::string& path : {fifo, std::string("/dev/zero"), sparse}) {
                RegisterImage image;
                std::string error;
                if (LoadRegisterImage(path, image, error)) std::_Exit(1);
                std::fprintf(stderr, "%s\n", error.c_str());
            }
            std::_Exit(0);
        },
        testing::ExitedWithCode(0),
        "fifo: a named pipe, not a file\n/dev/zero: a character device, not a file\n.*/sparse.txt: "
        "too large for a register dump \\(over 1 MiB; i2cdump's table is about 4.5 KB\\)\n$");
}

// A serial port toggles its lines when opened, a FIFO's writer is let go:
// what is not a file is refused on sight, never opened.
TEST_F(RegisterImageFile, ThatIsNoFileIsRefusedWithoutBeingOpened)
{
    const std::string folder = scratch.Path().string();
    const TestTerminal terminal;  // a device only this test opens
    ASSERT_TRUE(terminal.IsOpen());
    const std::pair<std::string, std::string> cases[] = {
        {folder + "/fifo", PlantNonFile(NonFile::NamedPipe, folder + "/fifo")},
        {folder + "/dir", PlantNonFile(NonFile::Directory, folder + "/dir")},
        {terminal.Path(), "a character device"},
    };
    for (const auto& [path, kind] : cases) {
        ASSERT_NE(kind, "") << path;
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(::inotify_add_watch(watch, path.c_str(), IN_OPEN), 0);
        RegisterImage image;
        std::string error;
        EXPECT_FALSE(LoadRegisterImage(path, image, error));
        EXPECT_EQ(error, path + ": " + kind + ", not a file");
        char event[256];
        EXPECT_LT(::read(watch, event, sizeof event), 0) << path << " was opened";
        ::close(watch);
    }
}

// Tables as i2cdump printed them, for ranges, with its notice.
TEST(I2cdumpFiles, EachLoadsTheRegistersOfItsRangeAndNoOthers)
{
    const auto data = [](const char* name) { return ZR5130_TEST_DATA "/i2cdump/" + std::string(name); };
    std::ifstream in(data("full.txt"));
    const std::string printed((std::istreambuf_iterator<char>(in)), {});
    RegisterImage full;
    std::string error;
    ASSERT_TRUE(ParseRegisterImage(std::string_view(printed), full, error)) << error;
    // Written back as i2cdump's table to the byte: every register was read right.
    EXPECT_EQ(FormatRegisterImage(full), printed);

    const std::tuple<const char*, int, int> files[] = {
        {"full.txt", 0x00, 0xFF}, {"range-00-af.txt", 0x00, 0xAF},
        {"range-02-af.txt", 0x02, 0xAF}, {"with-notice.txt", 0x00, 0xFF}};
    for (const auto& [name, first, last] : files) {
        RegisterImage image;
        ASSERT_TRUE(LoadRegisterImage(data(name), image, error)) << error;
        for (int reg = 0; reg < 256; ++reg)
            EXPECT_EQ(image.values[reg], reg >= first && reg <= last ? full.values[reg] : kAbsent)
                << name << " register " << reg;
        // What this project writes is the full table, loading back the same.
        const std::string written = FormatRegisterImage(image);
        RegisterImage again;
        ASSERT_TRUE(ParseRegisterImage(std::string_view(written), again, error)) << error;
        EXPECT_EQ(again.values, image.values) << name;
        EXPECT_EQ(written.find("\nb0: XX"), last == 0xAF ? written.find("\nb0:") : std::string::npos);
    }
}

}  // namespace
