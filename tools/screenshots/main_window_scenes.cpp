// The main window as the user meets it: three recorded scenes as rows (the
// middle one selected and part-way through), a row's enlarged view held open
// with the mouse, and a folder without videos.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <string>

#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/main_window.h"
#include "korvanta/mainwindow/preview_list.h"
#include "korvanta/skin/skin_image.h"
#include "tools/screenshots/scene.h"
#include "tools/screenshots/window_frame.h"

namespace {

enum class Shown { Rows, Enlarged, Empty };

QImage MainWindowScene(Shown shown) {
    QTemporaryDir folder;
    if (!RegisterPreviewFilters(folder.path())) return {};
    const QString videos = folder.filePath("videos");
    if (!QDir().mkpath(videos)) return {};
    if (shown != Shown::Empty && MakeSceneFiles(videos).size() != 3) return {};
    LoadSharedSkinImages();
    SetSetting(SettingId::PreviewFolder, {videos.toStdString(), 0}, false);
    SetSetting(SettingId::VideoResolution, {{}, 1}, false);
    SetSetting(SettingId::MuteAll, {{}, 0}, false);
    MainWindow window{CaptureWindowFactory()};
    window.resize(1000, 640);
    window.show();
    QApplication::processEvents();
    PreviewList& list = window.List();
    if (shown == Shown::Empty) return FramedWindow(window);
    if (list.RowCount() != 3) return {};
    list.Row(1).SetSelected(true, false);
    NotifySettingChanged(SettingId::SelectedDuration);
    list.Row(1).Player()->SeekTo(36);
    list.Row(1).Pause();
    QApplication::processEvents();
    if (shown == Shown::Rows) return FramedWindow(window);

    const QPoint press = list.Row(0).Player()->VideoRect().center();
    // The enlarged view opens at the cursor's place on the screen as it is now.
    const QPoint windowOrigin = window.mapToGlobal(QPoint(0, 0));
    list.Row(0).MousePress(press, false);
    QApplication::processEvents();
    QImage canvas = FramedWindow(window);
    for (QWidget* popup : QApplication::topLevelWidgets()) {
        if (!popup->isVisible() || popup->windowType() != Qt::Popup) continue;
        const QPoint origin = windowOrigin - FramedClientOffset();
        DrawPopup(canvas, popup->grab().toImage(), popup->pos() - origin);
        DrawPointer(canvas, list.mapTo(&window, press) + FramedClientOffset());
    }
    list.Row(0).MouseRelease(press);
    return canvas;
}

}  // namespace

std::vector<Scene> MainWindowScenes() {
    return {{"main-window", [] { return MainWindowScene(Shown::Rows); }},
            {"main-window-enlarged", [] { return MainWindowScene(Shown::Enlarged); }},
            {"main-window-empty", [] { return MainWindowScene(Shown::Empty); }}};
}
