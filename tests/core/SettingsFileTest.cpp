// The settings file as Qt's QSettings reads it, and rewritten with every
// line the programs do not use kept where it was.
#include "IniText.h"
#include "SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public testing::Test {
protected:
    SettingsFileTest() { fs::create_directories(path.parent_path()); }
    ~SettingsFileTest() override { fs::remove_all(path.parent_path()); }

    void Write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    const fs::path path =
        fs::path(testing::TempDir()) /
        ("zr5130-settings-" +
         std::string(testing::UnitTest::GetInstance()->current_test_info()->name())) /
        "zr5130-eval.conf";
};

// Qt's quoting, both ways: files of older versions keep their meaning.
TEST(IniText, ValuesRoundTripInQtsQuoting)
{
    const struct {
        std::string value;
        std::string text;
    } cases[] = {
        {"i2c:CP2112 SMBus Bridge", "i2c:CP2112 SMBus Bridge"},
        {"sim:/data/a,b.txt", "\"sim:/data/a,b.txt\""},
        {" lead", "\" lead\""},
        {"tab\there", "tab\\there"},
        {"bell\a1", "bell\\a1"},
        {"esc\x1b"
         "1",
         "esc\\x1b\\x31"},
        {"quote\"back\\slash", "quote\\\"back\\\\slash"},
        {"@at", "@@at"},
        {"grüße", "grüße"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniValueText(c.value), c.text);
        EXPECT_EQ(IniValueFromText(c.text), c.value) << c.text;
    }
}

// Each value as Qt 6.4's QSettings gave it for this very file (read with
// QSettings::IniFormat and value().toString()): a blank before a comment is
// no part of the value, nor is a CR before the newline.
TEST_F(SettingsFileTest, ReadsEveryValueAsQtReadsIt)
{
    Write("; a comment line\n"
          "escapes=a\\nb\\0c ; a comment\n"
          "quotedSemicolon=\"x;y\" ; comment\n"
          "blankBeforeComment=sim:/x.txt ; note\n"
          "tabBeforeComment=sim:/x.txt\t; note\n"
          "quoteThenText=\"q\" tail ; c\n"
          "trailingBlanks=plain   \n"
          "comma=x,y\n"
          "unknownEscapes=\\zq\\x\n"
          "quotedBlanks=  \"  in  \"  \n"
          "escapedTab=one \\t \n"
          "escapedBlank=tail\\  \n"
          "#hash=not a comment\n"
          "  spaced = a = b \n"
          "crlf=value\r\n"
          "last=\\\n  carried\n"
          "at=@@at\n"
          "[Other]\n"
          "adapter=elsewhere\n"
          "[general]\n"
          "lower=General too\n"
          "open=\"a ; b\nc=d\"\n");
    SettingsValues values;
    std::string reason;
    ASSERT_TRUE(ReadSettingsFile(path, values, reason)) << reason;
    EXPECT_EQ(values, (SettingsValues{
                          {"escapes", std::string("a\nb\0c", 5)},
                          {"quotedSemicolon", "x;y"},
                          {"blankBeforeComment", "sim:/x.txt"},
                          {"tabBeforeComment", "sim:/x.txt"},
                          {"quoteThenText", "qtail "},
                          {"trailingBlanks", "plain"},
                          {"comma", ""},
                          {"unknownEscapes", "q"},
                          {"quotedBlanks", "  in  "},
                          {"escapedTab", "one \t"},
                          {"escapedBlank", "tail"},
                          {"#hash", "not a comment"},
                          {"spaced", "a = b"},
                          {"crlf", "value"},
                          {"last", "  carried"},
                          {"at", "@at"},
                          {"lower", "General too"},
                          {"open", "a ; b\nc=d"},
                      }));
}

TEST_F(SettingsFileTest, AnUpdateKeepsEveryLineItDoesNotChangeInItsOrder)
{
    const SettingsChanges bridge{{"adapter", "i2c:CP2112 SMBus Bridge"}, {"adapterName", {}}};
    const SettingsChanges none{{"adapter", "none"}, {"adapterName", {}}};
    const struct {
        const char* what;
        std::string before;
        SettingsChanges changes;
        std::string after;
    } cases[] = {
        {"another program's keys and sections, comments, our keys twice",
         "; written by hand\n"
         "geometry=@ByteArray(\\x1\\xd9)\n"
         "adapter=/dev/i2c-7 ; the left bridge\n"
         "[Recent]\n"
         "files=a.txt, b.txt\n"
         "adapter=not ours\n"
         "\n"
         "[general]\n"
         "adapterName=CP2112 SMBus Bridge on hidraw0\n"
         "adapter=stale\n"
         "theme=\"dark ; high contrast\"\n",
         bridge,
         "; written by hand\n"
         "geometry=@ByteArray(\\x1\\xd9)\n"
         "adapter=i2c:CP2112 SMBus Bridge\n"
         "[Recent]\n"
         "files=a.txt, b.txt\n"
         "adapter=not ours\n"
         "\n"
         "[general]\n"
         "theme=\"dark ; high contrast\"\n"},
        {"no file yet", "", none, "[General]\nadapter=none\n"},
        {"no [General]", "[Recent]\nfiles=a.txt\n", none,
         "[General]\nadapter=none\n\n[Recent]\nfiles=a.txt\n"},
        {"[General] without keys", "[General]\n\n[Recent]\nfiles=a.txt\n", none,
         "[General]\nadapter=none\n\n[Recent]\nfiles=a.txt\n"},
        {"no newline at the end", "[General]\nwindow=1",
         {{"adapter", "/dev/i2c-7"}, {"adapterName", "CP2112 SMBus Bridge on hidraw0"}},
         "[General]\nwindow=1\nadapter=/dev/i2c-7\nadapterName=CP2112 SMBus Bridge on hidraw0\n"},
        {"a quoted value over two lines", "[General]\nnote=\"one\nadapter=in the note\"\n", none,
         "[General]\nnote=\"one\nadapter=in the note\"\nadapter=none\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(path);
        if (!c.before.empty()) Write(c.before);
        std::string reason;
        ASSERT_TRUE(UpdateSettingsFile(path, c.changes, reason)) << reason;
        EXPECT_EQ(Read(), c.after);
    }
}

// A file too big to be one of ours is not ours to shorten.
TEST_F(SettingsFileTest, AnUpdateOfAFileItCannotReadWholeWritesNothing)
{
    const std::string big = "[Other]\n" + std::string(kMaxSettingsBytes, ';') + "\n";
    Write(big);
    std::string reason;
    EXPECT_FALSE(UpdateSettingsFile(path, {{"adapter", "none"}}, reason));
    EXPECT_EQ(reason, "larger than 64 KiB, not a settings file");
    EXPECT_EQ(Read(), big);
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), {}), 1);
}

}  // namespace
