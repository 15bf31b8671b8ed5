#include "korvanta/skin/settings_dialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QTimer>

#include <vector>

#include "korvanta/core/settings.h"
#include "korvanta/skin/capture_page.h"
#include "korvanta/skin/dialog_units.h"
#include "korvanta/skin/general_page.h"
#include "korvanta/skin/preview_page.h"
#include "korvanta/skin/tooltip_control.h"
#include "support/temp_dir.h"
#include "toolkit_test.h"

namespace {

// An open window that hears the settings dialog's changes.
class ListeningWindow final : public SettingsObserver {
public:
    void OnSettingChanged(SettingId id) override {
        SettingsObserver::OnSettingChanged(id);
        heard.push_back(static_cast<int>(id));
    }
    std::vector<int> heard;
};

class SettingsDialogTest : public kvtest::ToolkitTest {
protected:
    static void Store(SettingId id, std::int64_t number) { SetSetting(id, {{}, number}, false); }
    static void Store(SettingId id, const char* text) { SetSetting(id, {text, 0}, false); }
    static std::string Stored() { return SettingsDocument().Text(); }
};

TEST_F(SettingsDialogTest, ApplyIsEnabledExactlyWhileSomethingDiffers) {
    Store(SettingId::FrameCaptureFileType, "jpg");
    Store(SettingId::FrameCaptureQuality, 85);
    const std::string before = Stored();
    ListeningWindow window;
    SettingsDialog dialog;
    PreviewPage& page = dialog.Preview();
    EXPECT_EQ(page.Quality().value(), 17);
    EXPECT_EQ(page.QualityValue().text(), "85");

    QTest::keyClick(&page.Quality(), Qt::Key_Right);
    EXPECT_EQ(page.QualityValue().text(), "90");
    EXPECT_TRUE(dialog.ApplyButton().isEnabled());
    QTest::keyClick(&page.Quality(), Qt::Key_Left);  // back to the stored 85
    EXPECT_FALSE(dialog.ApplyButton().isEnabled());

    // Quality changed, then the type changed and changed back: the type decides
    // the shared mark last, so nothing is marked.
    QTest::keyClick(&page.Quality(), Qt::Key_Right);
    QTest::keyClick(&page.FileType(), Qt::Key_Down);
    EXPECT_EQ(page.FileType().currentText(), "bmp");
    EXPECT_FALSE(page.Quality().isEnabled());
    EXPECT_TRUE(page.IsChanged(PreviewPage::kFileType));
    QTest::keyClick(&page.FileType(), Qt::Key_Up);
    EXPECT_TRUE(page.Quality().isEnabled());
    EXPECT_FALSE(page.IsChanged(PreviewPage::kFileType));
    EXPECT_FALSE(dialog.ApplyButton().isEnabled());

    // The players spin stays within 0 to 10; back at the stored 0 it is unmarked.
    for (int i = 0; i < 12; ++i)
        page.PlayersUp().click();
    EXPECT_EQ(page.Players().text(), "10");
    for (int i = 0; i < 12; ++i)
        page.PlayersDown().click();
    EXPECT_EQ(page.Players().text(), "0");
    EXPECT_FALSE(dialog.ApplyButton().isEnabled());

    dialog.OkButton().click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(), before);
    EXPECT_FALSE(window.IsNotified());
    EXPECT_TRUE(window.heard.empty());
}

TEST_F(SettingsDialogTest, ApplyWritesOnlyTheChangedItemsEachWithANotification) {
    Store(SettingId::FrameCaptureFileType, "jpg");
    Store(SettingId::FrameCaptureQuality, 85);
    ListeningWindow window;
    SettingsDialog dialog;
    dialog.General().ShowTooltips().click();
    dialog.Preview().PlayersUp().click();
    QTest::keyClick(&dialog.Preview().ImageResolution(), Qt::Key_Down);
    QTest::keyClick(&dialog.Capture().Resolution(), Qt::Key_Down);
    QTest::keyClick(&dialog.Capture().FileType(), Qt::Key_Down);  // 0 showed nothing, now "DV Type-1"
    ASSERT_TRUE(dialog.ApplyButton().isEnabled());

    dialog.ApplyButton().click();
    EXPECT_EQ(window.heard, (std::vector<int>{2, 14, 17, 15, 18}));
    EXPECT_FALSE(dialog.ApplyButton().isEnabled());
    EXPECT_EQ(GetSetting(SettingId::Tooltips).number, 1);
    EXPECT_EQ(GetSetting(SettingId::MaxPlayback).number, 1);
    EXPECT_EQ(GetSetting(SettingId::ImageResolution).number, 1);
    EXPECT_EQ(GetSetting(SettingId::FileType).number, 1);
    EXPECT_EQ(GetSetting(SettingId::CaptureResolution).number, 2);
    EXPECT_EQ(GetSetting(SettingId::FrameCaptureQuality).number, 85);

    // Cancel after a change writes nothing.
    window.heard.clear();
    const std::string before = Stored();
    dialog.Preview().PlayersUp().click();
    dialog.CancelButton().click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Stored(), before);
    EXPECT_TRUE(window.heard.empty());
}

TEST_F(SettingsDialogTest, OutOfRangeSettingsShowTheNearestChoiceAndWriteNothingUntilChanged) {
    Store(SettingId::FrameCaptureFileType, "jpg");
    Store(SettingId::FrameCaptureQuality, 250);
    Store(SettingId::VideoResolution, 9);
    Store(SettingId::ImageResolution, -2);
    Store(SettingId::MaxPlayback, 40);
    Store(SettingId::FileType, 7);
    const std::string before = Stored();
    {
        SettingsDialog dialog;
        EXPECT_EQ(dialog.Preview().QualityValue().text(), "100");
        EXPECT_EQ(dialog.Preview().VideoResolution().currentText(), "Eighth");
        EXPECT_EQ(dialog.Preview().ImageResolution().currentText(), "Full");
        EXPECT_EQ(dialog.Preview().Players().text(), "10");
        EXPECT_EQ(dialog.Capture().FileType().currentIndex(), -1);
        EXPECT_EQ(dialog.Capture().Resolution().currentText(), "Half");  // stored 0: full size
        EXPECT_FALSE(dialog.ApplyButton().isEnabled());
        dialog.OkButton().click();
    }
    EXPECT_EQ(Stored(), before);

    // Once the user moves the quality, the shown value is what gets written.
    SettingsDialog dialog;
    QTest::keyClick(&dialog.Preview().Quality(), Qt::Key_Left);
    QTest::keyClick(&dialog.Preview().Quality(), Qt::Key_Right);
    EXPECT_TRUE(dialog.ApplyButton().isEnabled());
    dialog.OkButton().click();
    EXPECT_EQ(GetSetting(SettingId::FrameCaptureQuality).number, 100);
    EXPECT_EQ(GetSetting(SettingId::VideoResolution).number, 9);
}

TEST_F(SettingsDialogTest, ALanguageFileWithoutTheKeysLeavesEveryCaptionEmpty) {
    LanguageDocument().Load("/nonexistent-korvanta-test-folder/Language.ini");
    SettingsDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.windowTitle().isEmpty());
    EXPECT_TRUE(dialog.OkButton().text().isEmpty());
    EXPECT_TRUE(dialog.General().ShowTooltips().text().isEmpty());
    for (int tab = 0; tab < dialog.Tabs().Count(); ++tab) {
        dialog.Tabs().Select(tab);
        QTest::mouseMove(&dialog.Tabs(), dialog.Tabs().TabRect(tab).center());
        EXPECT_FALSE(dialog.grab().isNull());
    }
    SetSetting(SettingId::Tooltips, {{}, 1}, false);
    QTest::mouseMove(&dialog.Capture().FileType(), QPoint(4, 4));  // an empty tip is never shown
    EXPECT_FALSE(FindQtToolTipControl(SettingsDialog::kDialogId)->IsActive());
}

TEST_F(SettingsDialogTest, TheFolderButtonTakesTheChosenFolderAndACancelKeepsTheOldOne) {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    kvtest::TempDir chosen;
    SettingsDialog dialog;
    QLineEdit& folder = dialog.Preview().Folder();
    auto answer = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(browser, nullptr);
            if (!accept) {
                browser->reject();
                return;
            }
            browser->selectFile(QString::fromStdString(chosen.path().string()));
            static_cast<QDialog*>(browser)->accept();  // as the OK button does
        });
    };
    answer(false);
    dialog.Preview().ChooseFolder().click();
    EXPECT_TRUE(folder.text().isEmpty());
    EXPECT_FALSE(dialog.ApplyButton().isEnabled());

    answer(true);
    dialog.Preview().ChooseFolder().click();
    EXPECT_EQ(folder.text().toStdString(), chosen.path().string());
    EXPECT_TRUE(dialog.Preview().IsChanged(PreviewPage::kFolder));
    dialog.OkButton().click();
    EXPECT_EQ(GetSetting(SettingId::FrameCaptureFolder).text, chosen.path().string());
}

}  // namespace

namespace {

TEST_F(SettingsDialogTest, ATabHeaderShowsItsPageAndLightsUpUnderTheMouse) {
    SettingsDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    PageTabCtrl& tabs = dialog.Tabs();
    EXPECT_EQ(tabs.Count(), 3);
    EXPECT_TRUE(dialog.General().isVisible());
    EXPECT_FALSE(dialog.Capture().isVisible());

    const QPoint captureTab = tabs.TabRect(2).center();
    QTest::mouseMove(&tabs, captureTab);
    EXPECT_EQ(tabs.HotIndex(), 2);
    const QImage hot = tabs.grab().toImage();
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, captureTab);
    EXPECT_EQ(tabs.SelectedIndex(), 2);
    EXPECT_FALSE(dialog.General().isVisible());
    EXPECT_TRUE(dialog.Capture().isVisible());
    EXPECT_EQ(dialog.Capture().pos(), PageTabCtrl::kPageOffset);
    // Hot, selected and normal headers are drawn differently.
    const QImage selected = tabs.grab().toImage();
    const QPoint inHeader = tabs.TabRect(2).topLeft() + QPoint(6, 8);
    EXPECT_NE(hot.pixel(inHeader), selected.pixel(inHeader));
    EXPECT_NE(selected.pixel(inHeader), selected.pixel(tabs.TabRect(1).topLeft() + QPoint(6, 8)));
}

}  // namespace

namespace {

// Every caption of every page fits its control, at the program's font and at
// a larger one: the layout is in dialog units, so it grows with the font.
TEST_F(SettingsDialogTest, EveryCaptionFitsItsControlAtAnyFontSize) {
    for (const int points : {9, 13}) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
        SettingsDialog dialog;
        EXPECT_EQ(dialog.size(), DialogUnits(dialog.font()).Size(403, 222));
        for (QWidget* page : {static_cast<QWidget*>(&dialog.General()), static_cast<QWidget*>(&dialog.Preview()),
                              static_cast<QWidget*>(&dialog.Capture())}) {
            for (const QLabel* label : page->findChildren<QLabel*>())
                EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                    << points << " pt: " << label->text().toStdString();
            for (const QCheckBox* box : page->findChildren<QCheckBox*>())
                EXPECT_LE(box->sizeHint().width(), box->width()) << points << " pt: " << box->text().toStdString();
            for (const QWidget* control : page->findChildren<QWidget*>()) {
                if (control->parentWidget() == page) {
                    EXPECT_TRUE(page->rect().contains(control->geometry())) << points << " pt";
                }
            }
        }
    }
}

}  // namespace
