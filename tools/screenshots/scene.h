#pragma once
// One picture of the screenshot tool: a name (the PNG's file name without
// ".png") and a function that builds the real widgets and draws them.
#include <QImage>

#include <functional>
#include <string>
#include <vector>

struct Scene {
    std::string name;
    std::function<QImage()> draw;
};

// Every scene, in the order they are written. A window that wants its
// picture reviewed adds a scene file and names its scenes in scene_list.cpp.
std::vector<Scene> AllScenes();

// Scenes of the window toolkit.
std::vector<Scene> SettingsDialogScenes();
std::vector<Scene> ToolkitScenes();
// A preview player with its frame and thumbnails.
std::vector<Scene> PreviewScenes();
// The About box.
std::vector<Scene> AboutScenes();
// A list of player rows.
std::vector<Scene> PlayerRowScenes();
// The main window with rows, with a row's enlarged view, and on an empty folder.
std::vector<Scene> MainWindowScenes();
// The capture window in the middle of a capture from a virtual deck.
std::vector<Scene> CaptureWindowScenes();

// Registers the filter modules and the platform's classes into a registry
// inside folder, for scenes that open DV files.
class QString;
bool RegisterPreviewFilters(const QString& folder);
// Writes three recorded scenes (two PAL 4:3, one NTSC 16:9) into folder;
// their file names, empty when ffmpeg failed.
std::vector<std::string> MakeSceneFiles(const QString& folder);
