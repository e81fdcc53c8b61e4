#include "RegisterImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kAbsent = RegisterImage::kAbsent;

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
            const int value = image.values[row * 16 + column];
            if (value == kAbsent) {
                line += "XX ";
                ascii += 'X';
            } else {
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

RegisterImage Pattern()
{
    RegisterImage image;
    for (int reg = 0; reg < 256; ++reg)
        image.values[reg] = (reg * 37 + 11) % 256;
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
    std::vector<std::string> lines = DumpLines(RegisterImage{});
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
        {5, "30: 00 00 00 zz" + zeros.substr(9), "line 5: register 0x33: 'zz' is not a byte"},
        {5, "30: 100" + zeros, "line 5: register 0x30: '100' is not a byte"},
        {5, "30: 0" + zeros, "line 5: register 0x30: '0' is not a byte"},
        {5, "30:  00" + zeros,
         "line 5: register 0x30: '00' is not in the register's column; i2cdump's cells are "
         "' ff' side by side"},
        {5, "30: 00\t00" + zeros, "line 5: register 0x30: '00\\t00' is not a byte"},
        {5, "20: 00" + zeros, "line 5: row '20:' appears twice"},
        {5, "50: 00" + zeros, "line 6: row '40:' after row '50:'; rows go up from '00:' to 'f0:'"},
        {5, "3a: 00" + zeros, "line 5: expected a row label '00:' to 'f0:', found '3a: 00 00 00 "
                              "00 00 00 00 00 00 00 00 00 '..."},
        {5, " 30: 00", "line 5: expected a row label '00:' to 'f0:', found ' 30: 00'"},
        {5, "30:00" + zeros, "line 5: expected a space after '30:'"},
        {5, "30: 00" + zeros + " 00", "line 5: row '30:': unexpected '00' after register 0x3f"},
        {5, "30: 00" + zeros + "    0123456789abcdefg",
         "line 5: row '30:': unexpected 'g' after the 16 characters that repeat the bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> lines = DumpLines(RegisterImage{});
        lines[c.line - 1] = c.text;
        RegisterImage image;
        std::string error;
        EXPECT_FALSE(Parse(Join(lines), image, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(RegisterImageParse, MissingRowsAndCellsDoNotAnswerButTextAfterTheTableIsRefused)
{
    std::vector<std::string> lines = DumpLines(Pattern());
    lines.erase(lines.begin() + 2, lines.begin() + 12);  // rows 10: to a0:
    lines[1].resize(3 + 5 * 3);                          // 00: to 04: only
    lines.insert(lines.begin(), "No size specified (using byte-data access)");
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(Parse(Join(lines), image, error)) << error;
    for (int reg = 0; reg < 256; ++reg) {
        const bool kept = reg < 0x05 || reg >= 0xB0;
        EXPECT_EQ(image.values[reg], kept ? Pattern().values[reg] : kAbsent) << reg;
    }

    EXPECT_FALSE(Parse("", image, error));
    EXPECT_EQ(error, "not an i2cdump byte table: its column header '0  1  2 ... f' is missing");
    EXPECT_FALSE(Parse(DumpLines(Pattern())[0] + "\n\n", image, error));
    EXPECT_EQ(error, "no rows after i2cdump's column header");

    std::vector<std::string> longDump = DumpLines(Pattern());
    longDump.push_back("");
    longDump.push_back("100: 00");
    EXPECT_FALSE(Parse(Join(longDump), image, error));
    EXPECT_EQ(error, "line 19: expected a row label '00:' to 'f0:', found '100: 00'");
}

TEST(RegisterImageParse, FailureLeavesTheImageAlone)
{
    std::vector<std::string> lines = DumpLines(RegisterImage{});
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
        const std::string path = testing::TempDir() + name;
        std::ofstream(path) << text;
        return path;
    }
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
    std::vector<std::string> lines = DumpLines(RegisterImage{});
    lines[4] = "30: G1 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    const std::string path = Write("board.txt", Join(lines));
    RegisterImage image;
    std::string error;
    EXPECT_FALSE(LoadRegisterImage(path, image, error));
    EXPECT_EQ(error, path + ":5: register 0x30: 'G1' is not a byte");
}

TEST_F(RegisterImageFile, ErrorNamesFileAndReasonWhenItCannotBeOpened)
{
    const std::string path = testing::TempDir() + "no-such-image.txt";
    std::remove(path.c_str());
    RegisterImage image;
    std::string error;
    EXPECT_FALSE(LoadRegisterImage(path, image, error));
    EXPECT_EQ(error, path + ": cannot open: No such file or directory");
}

// Tables as i2cdump printed them from a chip holding the E08 preset.
class I2cdumpFiles : public testing::TestWithParam<std::tuple<const char*, int, int>> {
protected:
    static std::string Path(const char* name)
    {
        return std::string(ZR5130_TEST_DATA) + "/i2cdump/" + name;
    }

    static int E08(int reg)
    {
        static constexpr int kA0[] = {0xFF, 0xCF, 0x2F, 0x5E, 0x72, 0x24, 0x80, 0xFE,
                                      0x00, 0xA0, 0x0F, 0x00, 0x00, 0x00, 0x0F, 0x00};
        switch (reg) {
        case 0x01: return 0x05;
        case 0x02: return 0x30;
        case 0x72: return 0x83;
        case 0x98: return 0x1B;
        case 0x9E: return 0x22;
        default: return reg >= 0xA0 && reg <= 0xAF ? kA0[reg - 0xA0] : 0x00;
        }
    }
};

TEST_P(I2cdumpFiles, RegistersOfTheRangeHoldTheirValuesAndNoOthersAnswer)
{
    const auto [name, first, last] = GetParam();
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(LoadRegisterImage(Path(name), image, error)) << error;
    for (int reg = 0; reg < 256; ++reg) {
        const bool inRange = reg >= first && reg <= last;
        EXPECT_EQ(image.values[reg], inRange ? E08(reg) : kAbsent) << name << " register " << reg;
    }

    // What this project writes is the full table, loading back the same.
    const std::string written = FormatRegisterImage(image);
    RegisterImage again;
    ASSERT_TRUE(ParseRegisterImage(std::string_view(written), again, error)) << error;
    EXPECT_EQ(again.values, image.values);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 17);
}

INSTANTIATE_TEST_SUITE_P(AsPrinted, I2cdumpFiles,
                         testing::Values(std::make_tuple("full.txt", 0x00, 0xFF),
                                         std::make_tuple("range-00-af.txt", 0x00, 0xAF),
                                         std::make_tuple("range-02-af.txt", 0x02, 0xAF),
                                         std::make_tuple("with-notice.txt", 0x00, 0xFF)));

TEST(RegisterImageFormat, IsI2cdumpsTableToTheByteWithXxForNoAnswer)
{
    std::ifstream in(std::string(ZR5130_TEST_DATA) + "/i2cdump/full.txt");
    const std::string printed((std::istreambuf_iterator<char>(in)), {});
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(ParseRegisterImage(std::string_view(printed), image, error)) << error;
    EXPECT_EQ(FormatRegisterImage(image), printed);

    image.values[0x20] = kAbsent;
    image.values[0x21] = 0x41;
    const std::string written = FormatRegisterImage(image);
    EXPECT_NE(written.find("\n20: XX 41 00 "), std::string::npos) << written;
    EXPECT_NE(written.find("    XA..............\n"), std::string::npos) << written;
}

}  // namespace
