#include "korvanta/core/settings.h"

#include <gtest/gtest.h>

#include "document_reset.h"
#include "ini_test_files.h"
#include "korvanta/core/default_preview_folder.h"
#include "korvanta/core/settings_observer.h"
#include "support/temp_dir.h"

namespace {

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { ResetDocuments(); }
    void TearDown() override { ResetDocuments(); }

    static SettingValue Text(std::string text) { return SettingValue{std::move(text), 0}; }
    static SettingValue Number(std::int64_t number) { return SettingValue{{}, number}; }

    kvtest::TempDir dir_;
};

TEST_F(SettingsTest, AbsentSettingsReadAsEmpty) {
    for (int id = -1; id <= 20; ++id) {
        const SettingValue value = GetSetting(static_cast<SettingId>(id));
        EXPECT_EQ(value.text, "") << id;
        EXPECT_EQ(value.number, 0) << id;
    }
}

TEST_F(SettingsTest, SettingsWrittenInAnyOrderReadBackFromTheFile) {
    // Every setting of the file, with a value of its type, set in reverse order.
    const std::vector<std::pair<SettingId, SettingValue>> values = {
        {SettingId::CaptureResolution, Number(2)},  {SettingId::ImageResolution, Number(3)},
        {SettingId::VideoResolution, Number(1)},    {SettingId::FileType, Number(2)},
        {SettingId::MaxPlayback, Number(10)},       {SettingId::UsedDevice, Text("0000ABCD12345678")},
        {SettingId::CapSceneDiffCustom, Text("01:02:03:04")}, {SettingId::CapSceneDiff, Number(4)},
        {SettingId::FileNaming, Text("Holiday")},   {SettingId::CaptureFolder, Text("/videos/capture = in")},
        {SettingId::FrameCaptureQuality, Number(85)}, {SettingId::FrameCaptureFileType, Text("png")},
        {SettingId::FrameCaptureFolder, Text("/stills")}, {SettingId::MuteAll, Number(1)},
        {SettingId::Tooltips, Number(1)},           {SettingId::PreviewFolder, Text("/videos")},
    };
    for (const auto& [id, value] : values) EXPECT_TRUE(SetSetting(id, value, false));
    ASSERT_TRUE(SettingsDocument().Save(dir_ / "Settings.ini"));

    ResetDocuments();
    ASSERT_TRUE(SettingsDocument().Load(dir_ / "Settings.ini"));
    for (const auto& [id, value] : values) {
        const SettingValue read = GetSetting(id);
        EXPECT_EQ(read.text, value.text) << static_cast<int>(id);
        EXPECT_EQ(read.number, value.number) << static_cast<int>(id);
    }
    const std::string file = ReadFile(dir_ / "Settings.ini");
    EXPECT_NE(file.find("[Capture]\r\nCaptureResolution = 2\r\nFileType = 2\r\n"), std::string::npos);
    EXPECT_NE(file.find("[General]\r\nMuteAll = true\r\nTooltips = true\r\n"), std::string::npos);
    EXPECT_NE(file.find("Folder = /videos/capture = in\r\n"), std::string::npos);
}

TEST_F(SettingsTest, StoredFormsOfTheTypes) {
    SetSetting(SettingId::Tooltips, Number(0x100), false);  // only the lowest byte counts
    SetSetting(SettingId::MaxPlayback, Number(0x1'0000'0005), false);  // only the low 32 bits
    EXPECT_EQ(GetSetting(SettingId::Tooltips).number, 0);
    EXPECT_EQ(GetSetting(SettingId::MaxPlayback).number, 5);

    WriteFile(dir_ / "Settings.ini", "[General]\nTooltips = True\n[Preview]\nFrameCaptureQuality = loud\n");
    SettingsDocument().Load(dir_ / "Settings.ini");
    EXPECT_EQ(GetSetting(SettingId::Tooltips).number, 0) << "a capitalised True reads as false";
    EXPECT_EQ(GetSetting(SettingId::FrameCaptureQuality).number, 0);
}

TEST_F(SettingsTest, SelectedDurationAddsDifferencesAndNeverGoesNegative) {
    EXPECT_TRUE(SetSetting(SettingId::SelectedDuration, Number(5000), false));
    EXPECT_TRUE(SetSetting(SettingId::SelectedDuration, Number(2500), false));
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, 7500);
    SetSetting(SettingId::SelectedDuration, Number(-2500), false);
    SetSetting(SettingId::SelectedDuration, Number(-5000), false);
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, 0);
    std::string stored = "unset";
    EXPECT_TRUE(TransientDocument().ReadText("Preview", "SelectedDuration", stored));
    EXPECT_EQ(stored, "") << "zero is stored as empty text";

    SetSetting(SettingId::SelectedDuration, Number(-10), false);
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, 0);
    SetSetting(SettingId::SelectedDuration, Number(INT64_MAX), false);
    SetSetting(SettingId::SelectedDuration, Number(INT64_MAX), false);
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, INT64_MAX) << "the sum saturates";
    EXPECT_EQ(SettingsDocument().LineCount(), 0u) << "the duration is never saved";
}

// Counts the broadcasts that reach it.
class CountingObserver : public SettingsObserver {
public:
    void OnSettingChanged(SettingId id) override {
        SettingsObserver::OnSettingChanged(id);
        ids.push_back(static_cast<int>(id));
    }
    std::vector<int> ids;
};

TEST_F(SettingsTest, ReservedAndUnknownIdsWriteNothingButStillBroadcast) {
    CountingObserver observer;
    EXPECT_FALSE(SetSetting(static_cast<SettingId>(10), Text("x"), true));
    EXPECT_FALSE(SetSetting(static_cast<SettingId>(19), Text("x"), true));
    EXPECT_FALSE(SetSetting(static_cast<SettingId>(-1), Text("x"), false));
    EXPECT_TRUE(SetSetting(SettingId::None, Text("x"), true));
    EXPECT_EQ(observer.ids, (std::vector<int>{10, 19, 0}));
    EXPECT_EQ(SettingsDocument().LineCount(), 0u);
    EXPECT_EQ(TransientDocument().LineCount(), 0u);
}

TEST_F(SettingsTest, ATextThatCannotBeStoredIsRefusedAndStillBroadcast) {
    CountingObserver observer;
    SetSetting(SettingId::PreviewFolder, Text("/videos"), false);
    EXPECT_FALSE(SetSetting(SettingId::PreviewFolder, Text("/videos\n[General]"), true));
    EXPECT_EQ(GetSetting(SettingId::PreviewFolder).text, "/videos");
    EXPECT_EQ(observer.ids, (std::vector<int>{1}));
}

TEST_F(SettingsTest, ProgramDocumentsAreNamedByKorvantaIni) {
    WriteFile(dir_ / "korvanta.ini", "[App]\nsettings = Mine.ini\nlanguage = \n");
    WriteFile(dir_ / "Mine.ini", "[Capture]\nFileNaming = Tape\n");
    WriteFile(dir_ / "Language.ini", "[Labels]\nBtnOK = Fine\n");
    LoadProgramDocuments(dir_.path());
    EXPECT_EQ(GetSetting(SettingId::FileNaming).text, "Tape");
    std::string label;
    LanguageDocument().ReadText("Labels", "BtnOK", label);
    EXPECT_EQ(label, "Fine") << "an empty language entry means Language.ini";

    SetSetting(SettingId::FileNaming, Text("Holiday"), false);
    ASSERT_TRUE(SaveSettingsDocument());
    EXPECT_EQ(ReadFile(dir_ / "Mine.ini"), "[Capture]\r\nFileNaming = Holiday\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Settings.ini"));
}

TEST_F(SettingsTest, WithoutKorvantaIniTheSettingsAreTheUsersOwn) {
    // Files in the current folder count only when korvanta.ini is there.
    WriteFile(dir_ / "Settings.ini", "[Preview]\nMaxPlayback = 7\n");
    WriteFile(dir_ / "Language.ini", "[Labels]\nBtnOK = Stray\n");
    const std::filesystem::path config = std::filesystem::path(getenv("XDG_CONFIG_HOME")) / "korvanta";
    std::filesystem::create_directories(config);
    WriteFile(config / "Settings.ini", "[Preview]\nMaxPlayback = 3\n");
    LoadProgramDocuments(dir_.path());
    EXPECT_EQ(GetSetting(SettingId::MaxPlayback).number, 3);
    // The language file beside the test programs is the program's own.
    std::string label;
    EXPECT_TRUE(LanguageDocument().ReadText("Labels", "BtnOK", label));
    EXPECT_NE(label, "Stray");

    // A first run has no configuration folder yet: saving makes it.
    std::filesystem::remove_all(config);
    LoadProgramDocuments(dir_.path());
    SetSetting(SettingId::MaxPlayback, Number(5), false);
    ASSERT_TRUE(SaveSettingsDocument());
    EXPECT_EQ(ReadFile(config / "Settings.ini"), "[Preview]\r\nMaxPlayback = 5\r\n");
}

TEST_F(SettingsTest, ResolutionCommands) {
    EXPECT_EQ(ResolutionCommand(0), 1000);
    EXPECT_EQ(ResolutionCommand(3), 1003);
    EXPECT_EQ(ResolutionCommand(4), 1002);
    EXPECT_EQ(ResolutionCommand(-1), 1002);
}

TEST_F(SettingsTest, DefaultPreviewFolderUsesVideosThenDocuments) {
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    const char* oldConfig = getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "";
    setenv("HOME", dir_.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);

    EXPECT_EQ(DefaultPreviewFolder(), "") << "no video or documents folder";
    std::filesystem::create_directory(dir_ / "Documents");
    EXPECT_EQ(DefaultPreviewFolder(), (dir_ / "Documents" / "KorvantaVideo").string());
    std::filesystem::create_directory(dir_ / "config");
    WriteFile(dir_ / "config" / "user-dirs.dirs", "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n");
    EXPECT_EQ(DefaultPreviewFolder(), (dir_ / "Filme" / "KorvantaVideo").string());

    setenv("HOME", oldHome.c_str(), 1);
    if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
