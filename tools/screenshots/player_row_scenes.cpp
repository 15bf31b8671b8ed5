// The preview list as the main window shows it: three player rows, each on
// a paused frame with its five thumbnails, sliders, transport bar and texts;
// the middle one selected and part-way through its file. The files are test
// patterns of MakeSceneFiles.
#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <array>
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

QImage PlayerRowsScene() {
    QTemporaryDir folder;
    if (!RegisterPreviewFilters(folder.path())) return {};
    const std::vector<std::string> names = MakeSceneFiles(folder.path());
    if (names.size() != 3) return {};
    LoadSharedSkinImages();
    SetSetting(SettingId::VideoResolution, {{}, 1}, false);
    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    RowList list;
    list.resize(900, 560);
    list.show();
    int y = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        PlayerRow& row = list.rows[i];
        if (!row.Open(static_cast<int>(i), folder.path().toStdString(), names[i], &list)) return {};
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
