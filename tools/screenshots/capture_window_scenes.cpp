// The capture window in the middle of a capture: the PAL demo tape plays on
// a virtual deck, the live picture, the thumbnails of the file being
// written, the meter, the tape texts and the buttons as they are then.
#include <QApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "korvanta/capturewindow/capture_dialog.h"
#include "korvanta/capturewindow/capture_dialog_factory.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/main_window.h"
#include "korvanta/skin/skin_image.h"
#include "platform/devices/deck_config.h"
#include "platform/devices/deck_devices.h"
#include "tools/screenshots/scene.h"
#include "tools/screenshots/window_frame.h"

namespace {

constexpr const char* kDeckName = "Screenshot deck";

// The frame server and frame client besides the preview's filters.
bool RegisterCaptureFilters(const QString& folder) {
    if (!RegisterPreviewFilters(folder)) return false;
    const std::string regsvr = std::string(KORVANTA_BINARY_DIR) + "/bin/korvanta-regsvr";
    bool registered = true;
    for (const char* module : {"librelaysink.so", "librelaysource.so"})
        registered &= std::system((regsvr + " " + KORVANTA_MODULE_DIR + "/" + module + " >/dev/null").c_str()) == 0;
    return registered;
}

// Lets the windows work for ms milliseconds.
void Work(int ms) {
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
}

QImage CaptureWindowScene() {
    QTemporaryDir folder;
    if (!RegisterCaptureFilters(folder.path())) return {};
    const QString captures = folder.filePath("captures");
    if (!std::filesystem::create_directories(captures.toStdString())) return {};
    DeckConfig deck;
    deck.name = kDeckName;
    deck.tape = std::filesystem::path(KORVANTA_BINARY_DIR) / "demo/demo-pal.dv";
    deck.deviceId = deck_store::NewDeviceId();
    if (!deck_store::Add(deck, nullptr)) return {};
    const DeckDevices decks;
    LoadSharedSkinImages();
    SetSetting(SettingId::CaptureFolder, {captures.toStdString(), 0}, false);
    SetSetting(SettingId::PreviewFolder, {captures.toStdString(), 0}, false);
    SetSetting(SettingId::FileNaming, {"Holiday", 0}, false);
    SetSetting(SettingId::CapSceneDiff, {{}, 6}, false);  // one hour
    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    QImage picture;
    {
        MainWindow window{MakeCaptureDialog};
        auto* capture = dynamic_cast<CaptureDialog*>(window.CaptureWindow());
        if (capture) {
            capture->ShowForCapture();
            capture->RunCommand(kFirstCaptureCommand);      // start now
            capture->RunCommand(kFirstTransportCommand);    // play
            Work(8500);  // into the fourth scene, well into its file
            picture = FramedWindow(*capture);
            capture->RunCommand(kFirstCaptureCommand + 3);  // stop now
        }
    }
    deck_store::Remove(kDeckName);
    return picture;
}

}  // namespace

std::vector<Scene> CaptureWindowScenes() { return {{"capture-window", CaptureWindowScene}}; }
