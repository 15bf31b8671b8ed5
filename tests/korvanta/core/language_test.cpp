#include "korvanta/core/language.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "document_reset.h"
#include "ini_test_files.h"
#include "korvanta/core/ini_documents.h"
#include "support/temp_dir.h"

namespace {

// Answers every box with a chosen button and remembers what it showed.
class AnsweringPresenter : public MessageBoxPresenter {
public:
    explicit AnsweringPresenter(MessageBoxResult answer) : answer_(answer) {}
    MessageBoxResult Show(std::string_view text, std::string_view caption, MessageBoxButtons buttons) override {
        shown.push_back({std::string(text), std::string(caption), buttons});
        return answer_;
    }
    struct Box {
        std::string text;
        std::string caption;
        MessageBoxButtons buttons;
    };
    std::vector<Box> shown;

private:
    MessageBoxResult answer_;
};

class LanguageTest : public testing::Test {
protected:
    void SetUp() override { ResetDocuments(); }
    void TearDown() override { ResetDocuments(); }
    void LoadLanguage(std::string_view text) {
        WriteFile(dir_ / "Language.ini", text);
        ASSERT_TRUE(LanguageDocument().Load(dir_ / "Language.ini"));
    }
    kvtest::TempDir dir_;
};

TEST_F(LanguageTest, LineBreaksAreDecodedOnlyWhereTheSectionSaysSo) {
    LoadLanguage(
        "[Errors]\nFixedDisk = Not a|fixed disk\n"
        "[Labels]\nFixedDisk = Not a|label\n"
        "[Messages]\nDeleteMovie = Delete?|Sure\n"
        "[ToolTips]\nMute = Sound|off\xE7\n"
        "[ContextMenu]\nVPRPlay = Play|now\n");
    EXPECT_EQ(ErrorText("FixedDisk"), "Not a\nfixed disk");
    EXPECT_EQ(LabelText("FixedDisk"), "Not a|label");
    EXPECT_EQ(MessageText("DeleteMovie"), "Delete?\nSure");
    EXPECT_EQ(TooltipText("Mute"), "Sound\noff\r");
    EXPECT_EQ(ContextMenuText(1012), "Play|now");
    EXPECT_EQ(LabelText("Missing"), "");
}

TEST_F(LanguageTest, ContextMenuCommandsMapToTheirKeys) {
    LoadLanguage("[ContextMenu]\nCAPFastForw = Fast\nCAPMute = Mute\nVideoPreview = First\nCAPSelectFolder = Last\n");
    EXPECT_EQ(ContextMenuText(1027), "Fast");
    EXPECT_EQ(ContextMenuText(1028), "Mute");
    EXPECT_EQ(ContextMenuText(1001), "First");
    EXPECT_EQ(ContextMenuText(1053), "Last");
    EXPECT_EQ(ContextMenuText(1000), "");
    EXPECT_EQ(ContextMenuText(1054), "");
    EXPECT_EQ(ContextMenuKey(1015), "VPRCaptureFrame");
    EXPECT_EQ(ContextMenuKey(1049), "CAPStartOnDefinedScene");
}

TEST_F(LanguageTest, MessagesAndErrorsShowBoxesWithTheirButtons) {
    LoadLanguage("[Messages]\nDeleteMovie = Delete it?\n[Errors]\nNoDirectX = Too old\nNotDVFiles = Not DV:|\n");
    AnsweringPresenter presenter(MessageBoxResult::Yes);
    ScopedMessageBoxPresenter installed(presenter);

    EXPECT_EQ(ShowMessage(1), MessageBoxResult::Yes);
    EXPECT_EQ(ShowError(8), MessageBoxResult::Yes);
    EXPECT_EQ(ShowMessage(6), MessageBoxResult::Ok) << "no key: no box";
    EXPECT_EQ(ShowError(2), MessageBoxResult::Ok);
    ShowErrorText("NotDVFiles", "a.avi\nb.avi");
    ASSERT_EQ(presenter.shown.size(), 3u);
    EXPECT_EQ(presenter.shown[0].text, "Delete it?");
    EXPECT_EQ(presenter.shown[0].buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(presenter.shown[0].caption, "Korvanta");
    EXPECT_EQ(presenter.shown[1].text, "Too old");
    EXPECT_EQ(presenter.shown[1].buttons, MessageBoxButtons::Ok);
    EXPECT_EQ(presenter.shown[2].text, "Not DV:\na.avi\nb.avi");
}

TEST_F(LanguageTest, WithoutALanguageFileBoxesAreStillShownEmpty) {
    AnsweringPresenter presenter(MessageBoxResult::Ok);
    ScopedMessageBoxPresenter installed(presenter);
    ShowError(8);
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(presenter.shown[0].text, "");
}

TEST_F(LanguageTest, WithoutAPresenterAQuestionIsAnsweredNo) {
    EXPECT_EQ(ShowMessage(1), MessageBoxResult::No) << "a movie is never deleted unasked";
    EXPECT_EQ(ShowMessage(2), MessageBoxResult::Ok);
}

// Every key the program looks up, by section: the tables of the code, and
// the label and tooltip keys of the windows.
std::map<std::string, std::vector<std::string>> KeysInUse() {
    std::map<std::string, std::vector<std::string>> keys;
    for (const NumberedText& message : MessageTable()) keys["Messages"].emplace_back(message.key);
    for (const NumberedText& error : ErrorTable()) keys["Errors"].emplace_back(error.key);
    keys["Errors"].emplace_back("NotDVFiles");
    keys["Errors"].emplace_back("CaptureWriteFailed");
    keys["Messages"].emplace_back("RepairFiles");
    for (int command = 1001; command <= 1053; ++command) keys["ContextMenu"].emplace_back(ContextMenuKey(command));
    keys["Labels"] = {
        "CapOutFileName", "CapDiff", "CapScDiffCustom", "CapScNoScene", "CapScDiff1Sec", "CapScDiff1Min",
        "CapScDiff15Min", "CapScDiff30Min", "CapScDiff1Hour", "CapScDiff4Hours", "CapScDiff8Hours",
        "CapScDiff12Hours", "CapScDiff16Hours", "CapScDiff1Day", "CapScDiff2Days", "CapScDiff7Days",
        "CapScDiff14Days", "CapScDiff30Days", "Duration", "Dropped", "ChooseCaptureFolder", "CapStartNow",
        "CapStartOnScene", "CapStartOnDefScene", "CapStopNow", "CapStopOnScene", "CapStopOnDefScene", "At", "DT",
        "StartAt", "StartDT", "ChoosePreviewFolder", "FreeSpace", "TotDuration", "SelDuration", "WinTitle", "BtnOK", "BtnCancel",
        "BtnApply", "General", "PreviewSettings", "CaptureSettings", "ShowTooltips", "MaxPlay", "VideoResolution",
        "FrameCaptureFolder", "FrameChooseFolder", "FrameCaptureFileType", "FrameCaptureQuality", "ImageResolution",
        "ImageCapture", "CaptureFileType", "CaptureResolution"};
    keys["ToolTips"] = {
        "DVCapture", "MuteAll", "StopAll", "Settings", "About", "Help", "PreviewFolder", "FreeSpace", "SelDuration",
        "TotDuration", "CapStartNow", "CapStartOnScene", "CapStartOnDefScene", "CapStopNow", "CapStopOnScene",
        "CapStopOnDefScene", "CaptTapePosition", "CaptTapeDate", "CaptIsCapturing", "CaptDVDevice", "CapSceneDiff",
        "CapSceneCustDiff", "CapOutFileName", "CapFolder", "Capture", "BtnCaptFastBack", "BtnCaptSlowBack",
        "BtnCaptStepBack", "BtnCaptStop", "BtnCaptPause", "BtnCaptStepForw", "BtnCaptSlowForw", "BtnCaptPlay",
        "BtnCaptFastForw", "BtnFastBack", "BtnSlowBack", "BtnStop", "BtnPause", "BtnPlay", "BtnSlowForw",
        "BtnFastForw", "CaptureWindow", "AudioMeter", "Mute", "FirstFrame", "Frame25", "Frame50", "Frame75",
        "LastFrame", "FileInfo1", "FileInfo2", "BtnFrameCapture", "Position", "Duration", "CurrentTime",
        "StartTime", "SelectButton", "PositionSlider", "TrackSlider", "VideoWindow", "General", "ShowTooltips",
        "MaxPlay", "VideoResolution", "PreviewSettings", "FrameCaptureFolder", "FrameChooseFolder",
        "FrameCaptureFileType", "FrameCaptureQuality", "ImageResolution", "ImageCapture", "CaptureFileType",
        "CaptureResolution", "CaptureSettings"};
    return keys;
}

void ExpectEveryKeyUsedHasText(const std::filesystem::path& file) {
    SCOPED_TRACE(file.string());
    ASSERT_TRUE(std::filesystem::exists(file));
    ASSERT_TRUE(LanguageDocument().Load(file));
    for (const auto& [section, keys] : KeysInUse()) {
        for (const std::string& key : keys) {
            std::string text;
            EXPECT_TRUE(LanguageDocument().ReadText(section, key, text)) << section << "/" << key << " is missing";
            EXPECT_FALSE(text.empty()) << section << "/" << key << " has no text";
        }
    }
}

TEST_F(LanguageTest, TheProgramsLanguageFilesHaveEveryKeyInUse) {
    for (const char* name : {"Language.ini", "Language-de.ini"}) {
        ExpectEveryKeyUsedHasText(std::filesystem::path(KORVANTA_SOURCE_DIR) / "korvanta/resources" / name);
        ExpectEveryKeyUsedHasText(std::filesystem::path(KORVANTA_BINARY_DIR) / "bin" / name);
    }
}

// The "Section/Key" entries a language file holds, read line by line as a translator writes them.
std::set<std::string> EntriesOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::set<std::string> entries;
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.starts_with("[")) section = line.substr(1, line.find(']') - 1);
        else if (const auto equals = line.find(" = "); equals != std::string::npos && !line.starts_with("'"))
            entries.insert(section + "/" + line.substr(0, equals));
    }
    return entries;
}

// The translation has exactly the English file's keys, each with a text, and
// korvanta.ini's "language" entry selects it from beside the program.
TEST_F(LanguageTest, TheGermanTranslationHasEveryKeyAndIsSelectedByName) {
    const std::filesystem::path resources = std::filesystem::path(KORVANTA_SOURCE_DIR) / "korvanta/resources";
    const std::set<std::string> english = EntriesOf(resources / "Language.ini");
    EXPECT_GT(english.size(), 150u);
    EXPECT_EQ(EntriesOf(resources / "Language-de.ini"), english);

    WriteFile(dir_ / "korvanta.ini", "[App]\nlanguage = Language-de.ini\n");
    LoadProgramDocuments(dir_.path());
    EXPECT_EQ(LanguageDocument().FileName(), std::filesystem::path(KORVANTA_BINARY_DIR) / "bin/Language-de.ini");
    EXPECT_EQ(LabelText("BtnCancel"), "Abbrechen");
    EXPECT_EQ(ErrorText("NonExistingCaptFolder"),
              "Der Ordner für aufgenommene Dateien existiert nicht.\nBitte wählen Sie einen anderen Ordner.");
}

}  // namespace
