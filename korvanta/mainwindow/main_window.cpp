// MainWindow: start-up and shutdown, the messages it receives, the timer,
// the settings it follows and its commands.
#include "korvanta/mainwindow/main_window.h"

#include <QCoreApplication>
#include <QIcon>
#include <QTimerEvent>

#include "korvanta/capture/capture_folder.h"
#include "korvanta/capture/finished_file_record.h"
#include "korvanta/core/language.h"
#include "korvanta/core/program_help.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/folder_files.h"
#include "korvanta/mainwindow/preview_list.h"
#include "korvanta/resources/resource_names.h"
#include "korvanta/skin/browse_for_folder.h"
#include "korvanta/skin/progress_window.h"
#include "korvanta/skin/settings_dialog.h"
#include "korvanta/skin/tooltip_control.h"
#include "platform/media/renderers/window_message.h"

namespace {

constexpr int kUnableToStartError = 7;
constexpr int kFixedDiskError = 1;
constexpr int kProgramIcon = 207;

}  // namespace

MainWindow::MainWindow(CaptureWindowFactory factory, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      SettingsObserver(kMenuKind) {
    SetWindowId(kDialogId);
    RegisterToolTips(*this, kDialogId);
    setWindowTitle("Korvanta");
    setWindowIcon(QIcon(QString::fromStdString(IconResourcePath(kProgramIcon))));
    setMouseTracking(true);
    setMinimumSize(kMinimumSize, kMinimumSize);
    resize(960, 720);

    const std::string folder = PreviewFolderAtStart();
    progress_ = std::make_unique<ProgressWindow>();
    progress_->Create(this);
    list_ = std::make_unique<PreviewList>(this, [this](int percent) { ShowProgress(percent); });
    list_->AttachTo(this);
    CreateButtons();
    LayOut();
    list_->show();
    list_->LoadFolder(folder);

    if (factory) capture_ = factory(this);
    if (capture_) {
        capture_->Widget()->hide();
        CentreCaptureWindow();
    }
    timer_ = startTimer(kTimerPeriodMs);
    // The watcher calls on its own thread; the capture window hears of the
    // change on the user-interface thread.
    devices_ = WatchDeviceChanges([this](DeviceChange, const std::string&, const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { if (capture_) capture_->DevicesChanged(); }, Qt::QueuedConnection);
    });
}

MainWindow::~MainWindow() {
    devices_ = DeviceChangeSubscription();
    if (timer_) killTimer(timer_);
    capture_.reset();
    // Finished files announced but not yet received: their records are freed.
    // Posted window messages wait as queued calls of the application object.
    closing_ = true;
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    list_.reset();
    progress_.reset();
    UnregisterToolTips();
}

void MainWindow::CentreCaptureWindow() {
    QWidget* window = capture_->Widget();
    if (!window) return;
    const QPoint centre = mapToGlobal(rect().center());
    window->move(centre - QPoint(window->width() / 2, window->height() / 2));
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == WindowMessageEvent::TypeOf(kFinishedFileMessage)) {
        const auto* message = static_cast<WindowMessageEvent*>(e);
        if (message->WParam() == 1) AddFinishedFile(message->LParam());
        return true;
    }
    if (e->type() == WindowMessageEvent::TypeOf(kRedrawBandsMessage)) {
        const auto what = static_cast<WindowMessageEvent*>(e)->WParam();
        if (what == kRedrawFreeSpace) RedrawBand(FreeSpaceBand());
        if (what == kRedrawDurations) {
            RedrawBand(TotalDurationBand());
            RedrawBand(SelectedDurationBand());
        }
        return true;
    }
    return QDialog::event(e);
}

void MainWindow::AddFinishedFile(LPARAM record) {
    const std::unique_ptr<FinishedFileRecord> owned(reinterpret_cast<FinishedFileRecord*>(record));
    if (!owned || closing_) return;
    list_->AddFile(*owned);
    RedrawBand(TotalDurationBand());
}

void MainWindow::timerEvent(QTimerEvent* e) {
    if (e->timerId() == timer_) Tick();
}

void MainWindow::Tick() {
    list_->Tick();
    if (!capture_) return;
    capture_->Tick();
    if (!capture_->IsCapturing()) return;
    if (FreeSpaceBandText() != freeSpaceText_) RedrawBand(FreeSpaceBand());
}

void MainWindow::ShowProgress(int percent) {
    if (percent < 0) return progress_->Hide();
    if (!progress_->isVisible()) progress_->ShowCentred();
    progress_->SetPercent(percent);
}

void MainWindow::OnSettingChanged(SettingId id) {
    SettingsObserver::OnSettingChanged(id);
    if (id == SettingId::PreviewFolder) {
        const std::string folder = GetSetting(SettingId::PreviewFolder).text;
        folderGroup_.SetCaption(0, folder, true);
        list_->LoadFolder(folder);
        RedrawBand(FreeSpaceBand());
        RedrawBand(TotalDurationBand());
    }
    if (id == SettingId::SelectedDuration) {
        RedrawBand(TotalDurationBand());
        RedrawBand(SelectedDurationBand());
    }
    if (id == SettingId::MuteAll) ShowMuteCells();
}

void MainWindow::OnContextCommand(int commandId) {
    switch (commandId) {
        case kSettingsCommand: return ShowSettings();
        case kAboutCommand: return ShowAboutBox();
        case kHelpCommand: return ShowHelp();
        case kCaptureCommand: return ShowCapture();
        case kMuteAllCommand: return ToggleMuteAll();
        case kStopAllCommand: return StopAll();
        case kSelectFolderCommand: return ChoosePreviewFolder();
        default: return;
    }
}

void MainWindow::ShowCapture() {
    if (capture_) capture_->ShowForCapture();
    else ShowError(kUnableToStartError);
}

void MainWindow::ToggleMuteAll() {
    SetSetting(SettingId::MuteAll, {{}, GetSetting(SettingId::MuteAll).number ? 0 : 1}, true);
}

void MainWindow::StopAll() { list_->StopAll(); }

void MainWindow::ChoosePreviewFolder() {
    const BrowseResult chosen =
        BrowseForFolder(this, LabelText("ChoosePreviewFolder"), GetSetting(SettingId::PreviewFolder).text);
    if (chosen.result == BrowseResult::kChosen) SetPreviewFolder(chosen.path);
}

bool MainWindow::SetPreviewFolder(const std::string& folder) {
    if (!IsOnFixedDisk(folder)) {
        ShowError(kFixedDiskError);
        return false;
    }
    SetSetting(SettingId::PreviewFolder, {folder, 0}, true);
    RedrawBand(FreeSpaceBand());
    return true;
}

void MainWindow::ShowSettings() {
    SettingsDialog dialog(this);
    dialog.exec();
}

void MainWindow::ShowAboutBox() { ShowAbout(this); }

void MainWindow::ShowHelp() { OpenHelp(); }
