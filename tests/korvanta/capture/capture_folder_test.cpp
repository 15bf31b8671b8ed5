#include "korvanta/capture/capture_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "korvanta/core/document_reset.h"
#include "korvanta/core/settings.h"
#include "support/temp_dir.h"

namespace {

class CaptureFolderTest : public testing::Test {
protected:
    void SetUp() override { ResetDocuments(); }
    void TearDown() override { ResetDocuments(); }
    kvtest::TempDir dir_;
};

TEST_F(CaptureFolderTest, FolderAtOpeningFallsBackToThePreviewFolderAndKeepsIt) {
    EXPECT_EQ(CaptureFolderAtOpening(), "");
    SetSetting(SettingId::PreviewFolder, {"/videos/preview", 0}, false);
    EXPECT_EQ(CaptureFolderAtOpening(), "/videos/preview");
    EXPECT_EQ(GetSetting(SettingId::CaptureFolder).text, "/videos/preview");

    SetSetting(SettingId::CaptureFolder, {"/videos/capture", 0}, false);
    EXPECT_EQ(CaptureFolderAtOpening(), "/videos/capture");
}

TEST_F(CaptureFolderTest, FolderTestsNamesAndPaths) {
    std::ofstream(dir_ / "file") << "x";
    EXPECT_TRUE(CaptureFolderExists(dir_.path().string()));
    EXPECT_FALSE(CaptureFolderExists((dir_ / "file").string()));
    EXPECT_FALSE(CaptureFolderExists((dir_ / "missing").string()));
    EXPECT_FALSE(CaptureFolderExists(""));

    // Test machines keep their temporary folders on a local disk or in memory.
    EXPECT_TRUE(IsOnFixedDisk(dir_.path().string()));
    EXPECT_TRUE(IsOnFixedDisk((dir_ / "missing" / "deeper").string()));
    EXPECT_FALSE(IsOnFixedDisk(""));
    EXPECT_FALSE(IsOnFixedDisk("capture"));
    EXPECT_FALSE(IsOnFixedDisk("/proc"));

    EXPECT_EQ(EffectiveBaseName(""), "Pellorim");
    EXPECT_EQ(EffectiveBaseName("Holiday"), "Holiday");
    EXPECT_EQ(CaptureFilePath("/videos/capture", "Pellorim 20031224 183005.avi"),
              "/videos/capture\\Pellorim 20031224 183005.avi");
}

}  // namespace
