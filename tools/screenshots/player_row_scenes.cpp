// The preview list as the main window shows it: three player rows, each on
// a paused frame with its five thumbnails, sliders, transport bar and texts;
// the middle one selected and part-way through its file. The files are test
// patterns made by the `ffmpeg` command with a recording date and time code.
#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "korvanta/core/settings.h"
#include "korvanta/preview/background_gradient.h"
#include "korvanta/preview/player_row.h"
#include "korvanta/skin/skin_image.h"
#include "tools/screenshots/scene.h"

namespace {

class RowList final : public QWidget {
public:
    std::array<PlayerRow, 3> rows;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        DrawBackgroundGradient(painter, rect(), 15);
        for (PlayerRow& row : rows) row.Paint(painter);
    }
};

struct SceneFile {
    const char* name;
    const char* source;
    const char* size;
    const char* aspect;
    const char* recorded;
    const char* timecode;
};

// The DV stream muxer writes the time code and recording date into every
// frame; the frames then go into an AVI file unchanged.
bool MakeFile(const QString& path, const SceneFile& file) {
    const bool pal = std::string(file.size).ends_with("576");
    const std::string dv = path.toStdString() + ".dv";
    const std::string make = std::string("ffmpeg -nostdin -v error -y -f lavfi -i ") + file.source + "=size=" +
                             file.size + ":rate=" + (pal ? "25" : "30000/1001") +
                             " -f lavfi -i sine=frequency=440 -t 2.4 -c:v dvvideo -pix_fmt " +
                             (pal ? "yuv420p" : "yuv411p") + " -aspect " + file.aspect +
                             " -metadata creation_time=" + file.recorded + " -timecode " + file.timecode +
                             " -c:a pcm_s16le -ar 48000 -ac 2 -f dv '" + dv + "'";
    const std::string wrap = "ffmpeg -nostdin -v error -y -i '" + dv + "' -c:v copy -c:a pcm_s16le '" +
                             path.toStdString() + "'";
    return std::system(make.c_str()) == 0 && std::system(wrap.c_str()) == 0;
}

QImage PlayerRowsScene() {
    static constexpr std::array<SceneFile, 3> kFiles = {{
        {"2026-08-14 10.31.05.avi", "testsrc", "720x576", "4:3", "2026-08-14T10:31:05", "00:14:03:00"},
        {"2026-08-14 10.42.51.avi", "smptehdbars", "720x480", "16:9", "2026-08-14T10:42:51", "00:21:40:12"},
        {"2026-08-15 16.07.18.avi", "mandelbrot", "720x576", "4:3", "2026-08-15T16:07:18", "00:37:12:08"},
    }};
    QTemporaryDir folder;
    if (!RegisterPreviewFilters(folder.path())) return {};
    LoadSharedSkinImages();
    SetSetting(SettingId::VideoResolution, {{}, 1}, false);
    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    RowList list;
    list.resize(900, 560);
    list.show();
    int y = 0;
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        if (!MakeFile(folder.filePath(kFiles[i].name), kFiles[i])) return {};
        PlayerRow& row = list.rows[i];
        if (!row.Open(static_cast<int>(i), folder.path().toStdString(), kFiles[i].name, &list)) return {};
        y += row.Layout(0, y, list.width());
    }
    list.rows[1].SetSelected(true, false);
    list.rows[1].Player()->SeekTo(36);
    list.rows[1].Pause();
    list.resize(900, y);
    QApplication::processEvents();
    return list.grab().toImage();
}

}  // namespace

std::vector<Scene> PlayerRowScenes() { return {{"player-rows", PlayerRowsScene}}; }
