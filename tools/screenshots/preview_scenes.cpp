// A preview player in a strip of the list window: its video window on
// frame 0, the five thumbnails, the mute button and the meter, over the
// background gradient. The file is a test pattern made by the `ffmpeg`
// command; the filters are registered into a registry folder of this run.
#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "korvanta/core/settings.h"
#include "korvanta/preview/background_gradient.h"
#include "korvanta/preview/preview_player.h"
#include "platform/media/renderers/renderer_classes.h"
#include "tools/screenshots/scene.h"

namespace {

class ListStrip final : public QWidget {
public:
    PreviewPlayer* player = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        DrawBackgroundGradient(painter, rect(), 15);
        if (player) player->Paint(painter);
    }
};

QImage PreviewPlayerScene() {
    QTemporaryDir folder;
    const QString file = folder.filePath("scene.avi");
    const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine "
                             "-frames:v 75 -c:v dvvideo -pix_fmt yuv420p -c:a pcm_s16le -ar 48000 -ac 2 '" +
                             file.toStdString() + "'";
    if (!RegisterPreviewFilters(folder.path()) || std::system(make.c_str()) != 0) return {};
    SetSetting(SettingId::VideoResolution, {{}, 1}, false);
    ListStrip strip;
    strip.resize(900, 170);
    strip.show();
    PreviewPlayer player;
    if (!player.Open(file.toStdString(), &strip, 0)) return {};
    strip.player = &player;
    player.Layout(0, 4, 900);
    player.SeekTo(20);
    QApplication::processEvents();
    return strip.grab().toImage();
}

}  // namespace

bool RegisterPreviewFilters(const QString& folder) {
    qputenv("KORVANTA_REGISTRY", (folder + "/registry").toLocal8Bit());
    const std::string regsvr = std::string(KORVANTA_BINARY_DIR) + "/bin/korvanta-regsvr";
    bool registered = std::system((regsvr + " --platform >/dev/null").c_str()) == 0;
    for (const char* module : {"libdvstamp.so", "liblevelprobe.so", "libstillgrab.so"})
        registered &= std::system((regsvr + " " + KORVANTA_MODULE_DIR + "/" + module + " >/dev/null").c_str()) == 0;
    return registered && KvRegisterRendererClasses() == S_OK;
}

std::vector<Scene> PreviewScenes() { return {{"preview-player", PreviewPlayerScene}}; }
