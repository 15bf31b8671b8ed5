#include "tools/screenshots/scene.h"

std::vector<Scene> AllScenes() {
    std::vector<Scene> scenes;
    for (auto group : {SettingsDialogScenes, ToolkitScenes, PreviewScenes, PlayerRowScenes}) {
        std::vector<Scene> more = group();
        scenes.insert(scenes.end(), more.begin(), more.end());
    }
    return scenes;
}
