// The About box with the program's picture and its About page.
#include "korvanta/skin/about_dialog.h"
#include "tools/screenshots/scene.h"
#include "tools/screenshots/window_frame.h"

std::vector<Scene> AboutScenes() {
    return {{"about", [] {
                 AboutDialog about;
                 return FramedWindow(about);
             }}};
}
