#include "capture_window_fixture.h"

#include "korvanta/capture/support/module_registration.h"
#include "korvanta/core/ini_documents.h"
#include "korvanta/core/settings.h"
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

bool MainWindowStandIn::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::TypeOf(kFinishedFileMessage)) {
        const auto* message = static_cast<WindowMessageEvent*>(event);
        EXPECT_EQ(message->WParam(), 1u);
        records.emplace_back(reinterpret_cast<FinishedFileRecord*>(message->LParam()));
        return true;
    }
    return QWidget::event(event);
}

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
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
        if (dialog_) dialog_->Tick();
    });
}

CaptureWindowTest::~CaptureWindowTest() {
    ticker_.stop();
    dialog_.reset();
    deck_.reset();
}

void CaptureWindowTest::Open(double speed, int thresholdIndex) {
    deck_ = std::make_unique<decktest::PluggedDeck>(
        "Demo", std::filesystem::path(KORVANTA_BINARY_DIR) / "demo/demo-pal.dv", speed);
    ASSERT_TRUE(deck_->Added());
    SetSetting(SettingId::CapSceneDiff, {{}, thresholdIndex}, false);
    dialog_ = std::make_unique<CaptureDialog>(&mainWindow_);
    ASSERT_TRUE(dialog_->IsOpened());
    ASSERT_TRUE(dialog_->Engine()->IsReady());
    ticker_.start(static_cast<int>(kMainWindowTickMs / speed));
}

std::vector<std::string> CaptureWindowTest::ReceivedNames() const {
    std::vector<std::string> names;
    for (const auto& record : mainWindow_.records) names.push_back(record->fileName);
    return names;
}

bool CaptureWindowTest::PressOnDeck(const std::string& deck, const std::string& button) {
    const DeckControlReply reply = SendDeckCommand(deck, "press " + button);
    return reply.reached && reply.line.starts_with("ok ");
}

}  // namespace kvtest
