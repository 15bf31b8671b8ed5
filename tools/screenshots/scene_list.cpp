#include "tools/screenshots/scene.h"

std::vector<Scene> AllScenes() {
    std::vector<Scene> scenes;
    // One scene group a line, so windows add theirs without touching the others.
    for (auto group : {
             SettingsDialogScenes,
             ToolkitScenes,
             PreviewScenes,
             AboutScenes,
             PlayerRowScenes,
             MainWindowScenes,
             CaptureWindowScenes,
         }) {
        std::vector<Scene> more = group();
        scenes.insert(scenes.end(), more.begin(), more.end());
    }
    return scenes;
}
