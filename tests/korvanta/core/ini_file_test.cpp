#include "korvanta/core/ini_file.h"

#include <gtest/gtest.h>

#include "ini_test_files.h"
#include "support/temp_dir.h"

namespace {

class IniFileTest : public testing::Test {
protected:
    // Loads text as a file and returns the document.
    IniFile& Loaded(std::string_view text) {
        WriteFile(dir_ / "in.ini", text);
        EXPECT_TRUE(ini_.Load(dir_ / "in.ini"));
        return ini_;
    }
    std::string Saved() {
        EXPECT_TRUE(ini_.Save(dir_ / "out.ini"));
        return ReadFile(dir_ / "out.ini");
    }
    std::string Text(std::string_view section, std::string_view key) {
        std::string value = "<absent>";
        ini_.ReadText(section, key, value);
        return value;
    }

    kvtest::TempDir dir_;
    IniFile ini_;
};

TEST_F(IniFileTest, LineKindsFollowTheirExactSpelling) {
    Loaded(
        "[General]\n"
        "Folder = a = b \n"       // the value runs from the first separator to the end
        "key=value\n"             // no blanks around "=": not an entry
        "Two  = blanks\n"         // the key keeps one trailing blank
        "'Folder = commented\n"
        " [Indented]\n"           // a leading blank: not a section
        "Tooltips = yes\n");
    EXPECT_EQ(Text("General", "Folder"), "a = b ");
    EXPECT_EQ(Text("General", "key"), "<absent>");
    EXPECT_EQ(Text("General", "Two "), "blanks");
    EXPECT_EQ(Text("General", "Two"), "<absent>");
    EXPECT_EQ(Text("Indented", "Tooltips"), "<absent>");
    // The indented line is no section, so the entry below it is still General's.
    EXPECT_EQ(Text("General", "Tooltips"), "yes");
    EXPECT_EQ(Text("general", "Folder"), "<absent>") << "section names are case-sensitive";
}

TEST_F(IniFileTest, SavesEveryLineBackWithCrLf) {
    const std::string original =
        "'comment\n"
        "Orphan = before any section\n"
        "\n"
        "[General]\n"
        "Tooltips = true\n"
        "Tooltips = false\n"
        "key=value\n"
        "[]\n"
        "[Preview]\n"
        "[General]\n"
        "Hidden = 1\n"
        "\xEF\xBB\xBF not a mark here \x80\xFF\n";
    Loaded(original);
    std::string expected;
    for (char c : original) {
        if (c == '\n') expected += '\r';
        expected += c;
    }
    EXPECT_EQ(Saved(), expected);
}

TEST_F(IniFileTest, DuplicatesAndOrphansAreKeptButNotFound) {
    Loaded(
        "Orphan = 1\n"
        "[General]\n"
        "Tooltips = true\n"
        "Tooltips = false\n"
        "[General]\n"
        "MuteAll = true\n");
    EXPECT_EQ(Text("General", "Tooltips"), "true") << "the first of a repeated key wins";
    EXPECT_EQ(Text("General", "MuteAll"), "<absent>") << "entries of a repeated section are never found";
    EXPECT_EQ(ini_.LineCount(), 6u);
}

TEST_F(IniFileTest, LineEndsAndFinalLine) {
    Loaded("[A]\r\nx = 1\nlast = no line end");
    EXPECT_EQ(Text("A", "x"), "1");
    EXPECT_EQ(Text("A", "last"), "no line end");
    EXPECT_EQ(Saved(), "[A]\r\nx = 1\r\nlast = no line end\r\n");

    // A file that ends with a line end gains no empty line, save after save.
    ASSERT_TRUE(ini_.Load(dir_ / "out.ini"));
    EXPECT_EQ(Saved(), "[A]\r\nx = 1\r\nlast = no line end\r\n");
}

TEST_F(IniFileTest, LongLinesAreReadWholeAndWrittenBackUnchanged) {
    const std::string longValue(5000, 'v');
    const std::string longJunk(3000, 'j');
    Loaded("[A]\nlong = " + longValue + "\n" + longJunk + "\nafter = 1\n");
    EXPECT_EQ(Text("A", "long"), longValue);
    EXPECT_EQ(Text("A", "after"), "1");
    EXPECT_EQ(Saved(), "[A]\r\nlong = " + longValue + "\r\n" + longJunk + "\r\nafter = 1\r\n");
}

TEST_F(IniFileTest, ByteOrderMarkIsKept) {
    Loaded("\xEF\xBB\xBF[A]\nx = 1\n");
    EXPECT_EQ(Text("A", "x"), "1");
    EXPECT_EQ(Saved(), "\xEF\xBB\xBF[A]\r\nx = 1\r\n");
}

TEST_F(IniFileTest, TypedReaders) {
    Loaded(
        "[N]\n"
        "plain = 42\n"
        "signed =   -17abc\n"
        "plus = +5\n"
        "word = abc\n"
        "huge = 99999999999\n"
        "hugeNegative = -99999999999\n"
        "min = -2147483648\n"
        "True = True\n"
        "true = true\n"
        "one = 1\n"
        "count = 123456789012\n"
        "countJunk = 12x3\n"
        "countHuge = 99999999999999999999999\n"
        "bars = one|two\xE7\n");
    int number = -1;
    EXPECT_TRUE(ini_.ReadInt("N", "plain", number, 7));
    EXPECT_EQ(number, 42);
    ini_.ReadInt("N", "signed", number, 7);
    EXPECT_EQ(number, -17);
    ini_.ReadInt("N", "plus", number, 7);
    EXPECT_EQ(number, 5);
    ini_.ReadInt("N", "word", number, 7);
    EXPECT_EQ(number, 0);
    ini_.ReadInt("N", "huge", number, 7);
    EXPECT_EQ(number, 2147483647);
    ini_.ReadInt("N", "hugeNegative", number, 7);
    EXPECT_EQ(number, -2147483647 - 1);
    ini_.ReadInt("N", "min", number, 7);
    EXPECT_EQ(number, -2147483647 - 1);
    EXPECT_FALSE(ini_.ReadInt("N", "missing", number, 7));
    EXPECT_EQ(number, 7);

    bool flag = true;
    ini_.ReadBool("N", "True", flag, true);
    EXPECT_FALSE(flag) << "only the exact text true is true";
    ini_.ReadBool("N", "one", flag, true);
    EXPECT_FALSE(flag);
    ini_.ReadBool("N", "true", flag, false);
    EXPECT_TRUE(flag);

    std::int64_t count = -1;
    ini_.ReadCount("N", "count", count, 0);
    EXPECT_EQ(count, 123456789012);
    ini_.ReadCount("N", "countJunk", count, 0);
    EXPECT_EQ(count, 12);
    ini_.ReadCount("N", "countHuge", count, 0);
    EXPECT_EQ(count, INT64_MAX);

    std::string text = "kept";
    EXPECT_FALSE(ini_.ReadText("N", "missing", text));
    EXPECT_EQ(text, "kept") << "without a fallback the value is left alone";
    EXPECT_FALSE(ini_.ReadText("N", "missing", text, "fallback"));
    EXPECT_EQ(text, "fallback");
    ini_.ReadMultiLineText("N", "bars", text);
    EXPECT_EQ(text, "one\ntwo\r");
}

TEST_F(IniFileTest, WritersPlaceNewEntriesInTheirSection) {
    Loaded(
        "[General]\n"
        "Tooltips = true\n"
        "\n"
        "[Preview]\n"
        "Folder = /a\n");
    EXPECT_TRUE(ini_.WriteBool("General", "MuteAll", true));
    EXPECT_TRUE(ini_.WriteInt("Preview", "MaxPlayback", -3));
    EXPECT_TRUE(ini_.WriteText("Capture", "Folder", "/c = d"));
    EXPECT_TRUE(ini_.WriteCount("Capture", "Zero", 0));
    EXPECT_TRUE(ini_.WriteText("Preview", "Folder", "/b"));
    EXPECT_EQ(Saved(),
              "[General]\r\n"
              "Tooltips = true\r\n"
              "MuteAll = true\r\n"
              "\r\n"
              "[Preview]\r\n"
              "Folder = /b\r\n"
              "MaxPlayback = -3\r\n"
              "[Capture]\r\n"
              "Folder = /c = d\r\n"
              "Zero = \r\n");
}

TEST_F(IniFileTest, WritersRefuseTextThatWouldNotReadBack) {
    EXPECT_FALSE(ini_.WriteText("General", "Folder", "/a\nB = injected"));
    EXPECT_FALSE(ini_.WriteText("General", "Folder", "ends in CR\r"));
    EXPECT_FALSE(ini_.WriteText("Gen\neral", "Folder", "x"));
    EXPECT_FALSE(ini_.WriteText("General", "a = b", "x"));
    EXPECT_FALSE(ini_.WriteText("General", "'quoted", "x"));
    EXPECT_FALSE(ini_.WriteText("General", "[x]", "y]"));
    EXPECT_EQ(ini_.LineCount(), 0u) << "a refused write creates no section";

    EXPECT_TRUE(ini_.WriteText("General", "", ""));
    EXPECT_TRUE(ini_.WriteText("[odd]", "key", "x = y"));
    EXPECT_TRUE(ini_.WriteText("General", "Folder", std::string("nul\0inside", 10)));
    Saved();
    ASSERT_TRUE(ini_.Load(dir_ / "out.ini"));
    EXPECT_EQ(Text("General", ""), "");
    EXPECT_EQ(Text("[odd]", "key"), "x = y");
    EXPECT_EQ(Text("General", "Folder"), std::string("nul\0inside", 10));
}

TEST_F(IniFileTest, LoadEmptiesTheDocumentFirst) {
    Loaded("[A]\nx = 1\n");
    ASSERT_TRUE(ini_.Load(dir_ / "missing.ini"));
    EXPECT_EQ(ini_.LineCount(), 0u);
    EXPECT_EQ(Text("A", "x"), "<absent>");
    EXPECT_EQ(ini_.FileName(), dir_ / "missing.ini");
}

}  // namespace
