// The settings dialog's three pages, over a settings file with typical values.
#include "korvanta/core/settings.h"
#include "korvanta/skin/settings_dialog.h"
#include "tools/screenshots/scene.h"
#include "tools/screenshots/window_frame.h"

namespace {

void StoreSampleSettings() {
    SetSetting(SettingId::Tooltips, {{}, 1}, false);
    SetSetting(SettingId::MaxPlayback, {{}, 3}, false);
    SetSetting(SettingId::VideoResolution, {{}, 1}, false);
    SetSetting(SettingId::FrameCaptureFolder, {"/home/anna/Videos/KorvantaVideo/Pictures", 0}, false);
    SetSetting(SettingId::FrameCaptureFileType, {"jpg", 0}, false);
    SetSetting(SettingId::FrameCaptureQuality, {{}, 85}, false);
    SetSetting(SettingId::ImageResolution, {{}, 0}, false);
    SetSetting(SettingId::FileType, {{}, 2}, false);
    SetSetting(SettingId::CaptureResolution, {{}, 1}, false);
}

Scene Page(std::string name, int tab) {
    return {std::move(name), [tab] {
                StoreSampleSettings();
                SettingsDialog dialog;
                dialog.Tabs().Select(tab);
                return FramedWindow(dialog);
            }};
}

}  // namespace

std::vector<Scene> SettingsDialogScenes() {
    return {Page("settings-general", 0), Page("settings-preview", 1), Page("settings-capture", 2)};
}
