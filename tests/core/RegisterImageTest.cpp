#include "RegisterImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
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

TEST(RegisterImageFormat, PrintsI2cdumpsTableThatReadsBackUnchanged)
{
    RegisterImage image = Pattern();
    image.values[0x00] = 0x00;
    image.values[0x01] = 0xFF;
    image.values[0x02] = 0x7F;
    image.values[0x03] = 'A';
    const std::string text = FormatRegisterImage(image);
    std::istringstream lines(text);
    std::string header, row0, row1;
    std::getline(lines, header);
    std::getline(lines, row0);
    std::getline(lines, row1);
    EXPECT_EQ(header, DumpLines(image)[0]);
    EXPECT_EQ(row0.substr(0, 16), "00: 00 ff 7f 41 ");
    EXPECT_EQ(row0.substr(row0.size() - 20), "    ..?A" + row0.substr(row0.size() - 12));
    EXPECT_EQ(row1.substr(0, 10), "10: XX 80 ");
    EXPECT_EQ(row1[row1.size() - 16], 'X');

    RegisterImage parsed;
    std::string error;
    ASSERT_TRUE(Parse(text, parsed, error)) << error;
    EXPECT_EQ(parsed.values, image.values);
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
    const Case cases[] = {
        {1, "00: 00" + zeros, "line 1: expected the i2cdump column header '0  1  2 ... f'"},
        {1, "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  f  e",
         "line 1: expected the i2cdump column header '0  1  2 ... f'"},
        {5, "30: G1" + zeros, "line 5: bad byte 'G1'"},
        {5, "30: 100" + zeros, "line 5: bad byte '100'"},
        {5, "30: 0" + zeros, "line 5: bad byte '0'"},
        {5, "40: 00" + zeros, "line 5: expected row '30:', found '40:'"},
        {5, " 30: 00" + zeros, "line 5: expected row '30:', found ' 30'"},
        {5, "30:00" + zeros, "line 5: expected a space after '30:'"},
        {5, "30:" + zeros, "line 5: too few bytes in row '30:' (15 of 16)"},
        {5, "30: 00" + zeros + " 00",
         "line 5: unexpected text '00' after the 16 bytes of row '30:'"},
        {5, "30: 00" + zeros + "  0123456789abcdefg",
         "line 5: unexpected text '0123456789abcdefg' after the 16 bytes of row '30:'"},
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

TEST(RegisterImageParse, ReportsAMissingRowOrTrailingText)
{
    std::vector<std::string> lines = DumpLines(RegisterImage{});
    RegisterImage image;
    std::string error;

    std::vector<std::string> shortDump(lines.begin(), lines.end() - 2);
    EXPECT_FALSE(Parse(Join(shortDump), image, error));
    EXPECT_EQ(error, "line 16: end of file before row 'e0:'");

    EXPECT_FALSE(Parse("", image, error));
    EXPECT_EQ(error, "line 1: end of file before the column header");

    std::vector<std::string> longDump = lines;
    longDump.push_back("");
    longDump.push_back("100: 00");
    EXPECT_FALSE(Parse(Join(longDump), image, error));
    EXPECT_EQ(error, "line 19: unexpected text after row 'f0:'");
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
    EXPECT_EQ(error, path + ":5: bad byte 'G1'");
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

}  // namespace
