// Files the program did not write: garbage, huge files, files it cannot write.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>

#include "ini_test_files.h"
#include "korvanta/core/ini_file.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// Turns every LF of text into CR LF, as Save writes it. A final line without
// a line end gets one.
std::string AsSaved(std::string_view text) {
    std::string saved;
    for (char c : text) {
        if (c == '\n') saved += '\r';
        saved += c;
    }
    if (!text.empty() && !text.ends_with('\n')) saved += "\r\n";
    return saved;
}

TEST(IniFileBadInput, BinaryGarbageRoundTripsByteForByte) {
    kvtest::TempDir dir;
    std::mt19937 random(1234);
    for (int round = 0; round < 20; ++round) {
        std::string garbage(4096 + round * 97, '\0');
        for (char& c : garbage) c = static_cast<char>(random());
        // A CR right before LF is part of the line end and is written back as
        // one anyway; every other byte must survive unchanged.
        for (std::size_t i = 0; i + 1 < garbage.size(); ++i)
            if (garbage[i] == '\r' && garbage[i + 1] == '\n') garbage[i] = 'r';
        if (garbage.starts_with("\xEF\xBB\xBF")) garbage[0] = 'x';
        if (garbage.ends_with('\r')) garbage.back() = 'r';
        WriteFile(dir / "garbage.ini", garbage);

        IniFile ini;
        ASSERT_TRUE(ini.Load(dir / "garbage.ini"));
        ASSERT_TRUE(ini.Save(dir / "saved.ini"));
        EXPECT_EQ(ReadFile(dir / "saved.ini"), AsSaved(garbage)) << "round " << round;
    }
}

TEST(IniFileBadInput, NulBytesAndInvalidUtf8AreValues) {
    kvtest::TempDir dir;
    const std::string text = "[A\0B]\nk\0ey = v\0al\xC3\x28\xFF\nafter = ok\n"s;
    WriteFile(dir / "odd.ini", text);
    IniFile ini;
    ASSERT_TRUE(ini.Load(dir / "odd.ini"));
    std::string value;
    EXPECT_TRUE(ini.ReadText("A\0B"sv, "k\0ey"sv, value));
    EXPECT_EQ(value, "v\0al\xC3\x28\xFF"s);
    EXPECT_TRUE(ini.ReadText("A\0B"sv, "after", value));
    EXPECT_EQ(value, "ok") << "a NUL byte does not end the file";
    ASSERT_TRUE(ini.Save(dir / "saved.ini"));
    EXPECT_EQ(ReadFile(dir / "saved.ini"), AsSaved(text));
}

TEST(IniFileBadInput, FiftyMegabyteFileLoadsAndSavesWhole) {
    kvtest::TempDir dir;
    std::string text = "[Big]\n";
    const std::string filler(500, 'x');
    for (int line = 0; text.size() < 50u * 1024 * 1024; ++line)
        text += "key" + std::to_string(line) + " = " + filler + "\n";
    text += "last = found\n";
    WriteFile(dir / "big.ini", text);

    IniFile ini;
    ASSERT_TRUE(ini.Load(dir / "big.ini"));
    std::string value;
    EXPECT_TRUE(ini.ReadText("Big", "last", value));
    EXPECT_EQ(value, "found");
    EXPECT_TRUE(ini.ReadText("Big", "key77777", value));
    ASSERT_TRUE(ini.Save(dir / "big.ini"));
    EXPECT_EQ(std::filesystem::file_size(dir / "big.ini"), AsSaved(text).size());
}

TEST(IniFileBadInput, UnwritableTargetsReportFailureAndKeepTheOldFile) {
    kvtest::TempDir dir;
    IniFile ini;
    ASSERT_TRUE(ini.WriteText("General", "Tooltips", "true"));

    EXPECT_FALSE(ini.Save(dir / "no-such-folder" / "Settings.ini"));
    EXPECT_FALSE(ini.Save(dir.path())) << "a folder is not a file";
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));

    IniFile unnamed;
    EXPECT_FALSE(unnamed.Save()) << "a document without a file has nowhere to go";

    // A read-only folder: a file already in it that is writable is rewritten
    // in place, a new file cannot be made. Root may write anywhere, so the
    // refusal can only be checked for other users.
    const auto folder = dir / "readonly";
    std::filesystem::create_directory(folder);
    WriteFile(folder / "Settings.ini", "[Old]\n");
    ::chmod(folder.c_str(), 0555);
    EXPECT_TRUE(ini.Save(folder / "Settings.ini"));
    EXPECT_EQ(ReadFile(folder / "Settings.ini"), "[General]\r\nTooltips = true\r\n");
    if (::geteuid() != 0) {
        ::chmod((folder / "Settings.ini").c_str(), 0444);
        EXPECT_FALSE(ini.Save(folder / "Settings.ini"));
        EXPECT_FALSE(ini.Save(folder / "New.ini"));
    }
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
        << "no temporary file is left behind";
}

TEST(IniFileBadInput, AFolderOrUnreadableFileLoadsAsEmptyAndSaysSo) {
    kvtest::TempDir dir;
    IniFile ini;
    EXPECT_FALSE(ini.Load(dir.path()));
    EXPECT_EQ(ini.LineCount(), 0u);
}

TEST(IniFileBadInput, SaveKeepsPermissionsAndFollowsLinks) {
    kvtest::TempDir dir;
    WriteFile(dir / "real.ini", "[Old]\n");
    ::chmod((dir / "real.ini").c_str(), 0640);
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");

    IniFile ini;
    ASSERT_TRUE(ini.Load(dir / "link.ini"));
    ASSERT_TRUE(ini.WriteText("Old", "x", "1"));
    ASSERT_TRUE(ini.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadFile(dir / "real.ini"), "[Old]\r\nx = 1\r\n");
    struct stat info {};
    ASSERT_EQ(::stat((dir / "real.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
