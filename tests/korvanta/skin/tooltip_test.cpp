#include "korvanta/skin/tooltip_control.h"

#include <QSlider>

#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/skin/general_page.h"
#include "korvanta/skin/preview_page.h"
#include "korvanta/skin/settings_dialog.h"
#include "toolkit_test.h"

namespace {

using ToolTips = kvtest::ToolkitTest;

TEST_F(ToolTips, FollowTheSettingAtTheNextMouseMoveAndStayWithinTheirWidth) {
    SetSetting(SettingId::FrameCaptureFileType, {"jpg", 0}, false);
    SettingsDialog dialog;
    dialog.Tabs().Select(1);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QtToolTipControl* control = FindQtToolTipControl(SettingsDialog::kDialogId);
    ASSERT_NE(control, nullptr);
    QSlider& quality = dialog.Preview().Quality();

    // Tips off: the tool is found, but the control stays inactive and shows nothing.
    QTest::mouseMove(&quality, QPoint(10, 5));
    EXPECT_EQ(control->ToolText(), TooltipText("FrameCaptureQuality"));
    EXPECT_FALSE(control->IsActive());
    control->ShowTipAt(quality.mapToGlobal(QPoint(10, 5)));
    EXPECT_FALSE(control->TipWindow().isVisible());

    // Switched on in the dialog: the next move activates it and the resting
    // mouse brings the tip, no wider than 400 pixels.
    dialog.General().ShowTooltips().click();
    dialog.ApplyButton().click();
    QTest::mouseMove(&quality, QPoint(12, 5));
    EXPECT_TRUE(control->IsActive());
    ASSERT_TRUE(WaitFor([&] { return control->TipWindow().isVisible(); }));
    EXPECT_EQ(control->TipWindow().text().toStdString(), TooltipText("FrameCaptureQuality"));
    EXPECT_LE(control->TipWindow().width(), QtToolTipControl::kMaxTipWidth);

    // Off again: the next move over another item hides the tip.
    dialog.General().ShowTooltips().click();
    dialog.ApplyButton().click();
    QTest::mouseMove(&dialog.Preview().Folder(), QPoint(5, 5));
    EXPECT_EQ(control->ToolText(), TooltipText("FrameCaptureFolder"));
    EXPECT_FALSE(control->IsActive());
    EXPECT_FALSE(control->TipWindow().isVisible());
}

TEST_F(ToolTips, EveryWindowUnregistersItsControlWhenItCloses) {
    {
        SettingsDialog outer;
        {
            SettingsDialog inner;
            EXPECT_NE(FindQtToolTipControl(SettingsDialog::kDialogId), nullptr);
        }
        EXPECT_NE(FindQtToolTipControl(SettingsDialog::kDialogId), nullptr);
    }
    EXPECT_EQ(FindQtToolTipControl(SettingsDialog::kDialogId), nullptr);
}

}  // namespace
