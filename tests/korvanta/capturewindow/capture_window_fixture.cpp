#include "capture_window_fixture.h"

#include "korvanta/capture/support/module_registration.h"
#include "korvanta/core/ini_documents.h"
#include "korvanta/capturewindow/capture_dialog_factory.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/preview_list.h"
#include "korvanta/skin/skin_image.h"
#include "platform/devices/deck_control.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/renderers/window_message.h"
#include "tests/korvanta/core/document_reset.h"

namespace kvtest {

namespace {

constexpr double kMainWindowTickMs = 340;

}  // namespace

CaptureWindowTest::CaptureWindowTest() {
    static const bool registered = RegisterCaptureModules() && KvMediaRegisterPlatformClasses() == S_OK &&
                                   KvRegisterRendererClasses() == S_OK;
    EXPECT_TRUE(registered);
    ResetDocuments();
    LanguageDocument().Load(KORVANTA_SOURCE_DIR "/korvanta/resources/Language.ini");
    LoadSharedSkinImages();
    SetSetting(SettingId::CaptureFolder, {folder_.path().string(), 0}, false);
    SetSetting(SettingId::FileNaming, {kPrefix, 0}, false);
    SetSetting(SettingId::FileType, {{}, 2}, false);
    SetSetting(SettingId::CaptureResolution, {{}, 2}, false);
    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    SetSetting(SettingId::PreviewFolder, {previewFolder_.path().string(), 0}, false);
    SetSetting(SettingId::MaxPlayback, {{}, 1}, false);
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
        if (mainWindow_) mainWindow_->Tick();
    });
}

CaptureWindowTest::~CaptureWindowTest() {
    ticker_.stop();
    mainWindow_.reset();
    deck_.reset();
}

void CaptureWindowTest::Open(double speed, int thresholdIndex) {
    deck_ = std::make_unique<decktest::PluggedDeck>(
        "Demo", std::filesystem::path(KORVANTA_BINARY_DIR) / "demo/demo-pal.dv", speed);
    ASSERT_TRUE(deck_->Added());
    SetSetting(SettingId::CapSceneDiff, {{}, thresholdIndex}, false);
    mainWindow_ = std::make_unique<MainWindow>(MakeCaptureDialog);
    mainWindow_->resize(1000, 700);
    mainWindow_->show();
    dialog_ = dynamic_cast<CaptureDialog*>(mainWindow_->CaptureWindow());
    ASSERT_NE(dialog_, nullptr);
    ASSERT_TRUE(dialog_->IsOpened());
    ASSERT_TRUE(dialog_->Engine()->IsReady());
    ticker_.start(static_cast<int>(kMainWindowTickMs / speed));
}

int CaptureWindowTest::RowCount() { return mainWindow_->List().RowCount(); }

std::vector<std::string> CaptureWindowTest::RowNames(int first) {
    std::vector<std::string> names;
    for (int i = first; i < RowCount(); ++i) names.push_back(mainWindow_->List().Row(i).FileName());
    return names;
}

bool CaptureWindowTest::RowsHaveThumbnails(int first) {
    for (int i = first; i < RowCount(); ++i) {
        const PreviewPlayer* player = mainWindow_->List().Row(i).Player();
        if (!player) return false;
        for (const QImage& thumbnail : player->GetThumbnails())
            if (thumbnail.isNull()) return false;
    }
    return true;
}

bool CaptureWindowTest::PressOnDeck(const std::string& deck, const std::string& button) {
    const DeckControlReply reply = SendDeckCommand(deck, "press " + button);
    return reply.reached && reply.line.starts_with("ok ");
}

}  // namespace kvtest
