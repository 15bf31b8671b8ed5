// The toolkit's smaller windows: a context menu with a submenu open, a tip
// over the settings dialog, the progress window and a masked edit.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QSlider>

#include <algorithm>

#include "korvanta/core/context_menu.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/skin/context_menu_popup.h"
#include "korvanta/skin/dialog_units.h"
#include "korvanta/skin/masked_edit.h"
#include "korvanta/skin/preview_page.h"
#include "korvanta/skin/progress_window.h"
#include "korvanta/skin/settings_dialog.h"
#include "korvanta/skin/tooltip_control.h"
#include "tools/screenshots/scene.h"
#include "tools/screenshots/window_frame.h"

namespace {

// A main window and one of its preview players, each adding the items the
// program's windows add.
class SampleMainWindow final : public SettingsObserver {
public:
    SampleMainWindow() : SettingsObserver(3) {}
    void BuildContextMenu(bool isTop) override {
        for (const int command : {1007, 1008, 1009, 1010})
            AddMenuItem(*this, command, true, command == 1008);
        SettingsObserver::BuildContextMenu(isTop);
    }
};

class SamplePlayer final : public SettingsObserver {
public:
    void BuildContextMenu(bool isTop) override {
        AddSeparator(true);
        BeginSubmenu(*this, 1011, true);
        for (const int command : {1012, 1013, 1014})
            AddMenuItem(*this, command, command != 1014, command == 1012);
        EndSubmenu(*this);
        AddMenuItem(*this, 1015, true, false);
        AddMenuItem(*this, 1016, true, false);
        AddMenuItem(*this, 1017, true, false);
        SettingsObserver::BuildContextMenu(isTop);
    }
};

QImage ContextMenuScene() {
    SampleMainWindow window;
    SamplePlayer player;
    player.AttachTo(&window);
    ShowContextMenu(player, QPoint(40, 40));
    QMenu& menu = *SharedQMenu();
    QApplication::processEvents();
    QAction* playback = nullptr;
    for (QAction* action : menu.actions()) {
        if (action->menu())
            playback = action;
    }
    QImage canvas = Backdrop(520, 300);
    menu.setActiveAction(playback);
    QMenu& submenu = *playback->menu();
    const QRect item = menu.actionGeometry(playback);
    submenu.popup(menu.mapToGlobal(item.topRight() + QPoint(-3, -3)));
    QApplication::processEvents();
    const QImage top = menu.grab().toImage();
    const QImage sub = submenu.grab().toImage();
    const QPoint origin(30, 24);
    DrawPopup(canvas, top, origin);
    DrawPopup(canvas, sub, origin + QPoint(item.right() - 3, item.top() - 3));
    DrawPointer(canvas, origin + item.center() + QPoint(30, 0));
    submenu.hide();
    ReleaseContextMenu();
    return canvas;
}

QImage ToolTipScene() {
    SetSetting(SettingId::Tooltips, {{}, 1}, false);
    SetSetting(SettingId::FrameCaptureFileType, {"jpg", 0}, false);
    SetSetting(SettingId::FrameCaptureQuality, {{}, 85}, false);
    SettingsDialog dialog;
    dialog.Tabs().Select(1);
    dialog.show();
    QApplication::processEvents();
    QSlider& quality = dialog.Preview().Quality();
    const QPoint screenPoint = quality.mapToGlobal(QPoint(quality.width() / 3, quality.height() / 2));
    dialog.Preview().RelayToolTipEvent({MouseMessage::MouseMove, {screenPoint.x(), screenPoint.y()}});
    QtToolTipControl& control = *FindQtToolTipControl(SettingsDialog::kDialogId);
    control.ShowTipAt(screenPoint);
    QApplication::processEvents();
    const QImage framed = FramedWindow(dialog);
    const QPoint inDialog = FramedClientOffset() - dialog.mapToGlobal(QPoint(0, 0));
    const QImage tip = control.TipWindow().grab().toImage();
    const QPoint tipAt = control.TipWindow().pos() + inDialog;
    // The tip may reach past the dialog, as on a desktop.
    QImage canvas = Backdrop(std::max(framed.width(), tipAt.x() + tip.width() + 16),
                             std::max(framed.height(), tipAt.y() + tip.height() + 16));
    QPainter(&canvas).drawImage(0, 0, framed);
    DrawPopup(canvas, tip, tipAt);
    DrawPointer(canvas, screenPoint + inDialog);
    control.Pop();
    return canvas;
}

QImage ProgressScene() {
    ProgressWindow progress;
    progress.Create(nullptr);
    progress.SetPercent(50);
    const QImage picture = progress.Render();
    QImage canvas = Backdrop(picture.width() + 48, picture.height() + 48);
    DrawPopup(canvas, picture, QPoint(24, 24));
    return canvas;
}

QImage MaskedEditScene() {
    QWidget panel;
    panel.setWindowTitle(QString::fromStdString(LabelText("CapScDiffCustom")));
    const DialogUnits units(panel.font());
    panel.setFixedSize(units.Size(200, 44));
    QLabel caption(QString::fromStdString(LabelText("CapDiff")), &panel);
    caption.setGeometry(units.Rect(8, 8, 184, 10));
    MaskedEdit edit(&panel);
    edit.setGeometry(units.Rect(8, 22, 110, 14));
    edit.Init("[0-9][0-9][0-9]d [0-2][0-9]h [0-5][0-9]m [0-5][0-9]s", "");
    edit.SetText("001123045");
    // Focus selects the whole text; show the caret after the hours instead.
    panel.show();
    QApplication::processEvents();
    edit.setCursorPosition(7);
    return FramedWindow(panel);
}

}  // namespace

std::vector<Scene> ToolkitScenes() {
    return {{"context-menu", ContextMenuScene},
            {"tooltip", ToolTipScene},
            {"progress-50", ProgressScene},
            {"masked-edit", MaskedEditScene}};
}
