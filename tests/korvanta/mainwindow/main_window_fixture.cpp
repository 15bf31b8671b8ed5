#include "main_window_fixture.h"

#include <QMouseEvent>
#include <QTest>

#include "korvanta/core/ini_documents.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/preview_list.h"
#include "korvanta/skin/skin_image.h"

namespace kvtest {

void MainWindowTest::SetUp() {
    ASSERT_TRUE(RegisterPlayerFilters());
    LoadProgramDocuments(KORVANTA_BINARY_DIR "/bin");
    LoadSharedSkinImages();
    SetSetting(SettingId::PreviewFolder, {folder_.path().string(), 0}, false);
    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    SetSetting(SettingId::MaxPlayback, {{}, 1}, false);
    SetSetting(SettingId::VideoResolution, {{}, 2}, false);
    presenting_ = std::make_unique<ScopedMessageBoxPresenter>(presenter_);
}

void MainWindowTest::TearDown() {
    window_.reset();
    presenting_.reset();
}

std::filesystem::path MainWindowTest::Make(PreviewFile kind, const std::string& name) {
    static TempDir made;
    const auto source = MakePreviewFile(made.path(), kind);
    std::filesystem::copy_file(source, folder_ / name, std::filesystem::copy_options::overwrite_existing);
    return folder_ / name;
}

MainWindow& MainWindowTest::Open(bool withCaptureWindow) {
    CaptureWindowFactory factory;
    if (withCaptureWindow)
        factory = [this](QWidget*) {
            auto fake = std::make_unique<FakeCaptureWindow>();
            capture_ = fake.get();
            return std::unique_ptr<CaptureWindowLink>(std::move(fake));
        };
    window_ = std::make_unique<MainWindow>(factory);
    window_->resize(1000, 700);
    window_->show();
    QApplication::processEvents();
    return *window_;
}

void MainWindowTest::Click(QPoint point, Qt::KeyboardModifiers modifiers) {
    QWidget* list = &window_->List();
    QTest::mousePress(list, Qt::LeftButton, modifiers, point);
    QTest::mouseRelease(list, Qt::LeftButton, modifiers, point);
}

}  // namespace kvtest
