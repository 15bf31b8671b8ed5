// CaptureDialog: opening, the tick, the status texts, what the capture
// session and the engine report, showing and hiding, and readiness.
#include "korvanta/capturewindow/capture_dialog.h"

#include <QShowEvent>

#include "korvanta/capture/capture_folder.h"
#include "korvanta/capture/capture_texts.h"
#include "korvanta/capture/scene_threshold.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/skin/tooltip_control.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/renderers/window_message.h"

namespace {

constexpr const char* kCustomMask = "[0-9][0-9][0-9]d [0-2][0-9]h [0-5][0-9]m [0-5][0-9]s";
constexpr int kMuteImage = 180;
constexpr int kButtonImage = 178;
constexpr int kIndicatorImage = 176;
const char* const kStartStopKeys[] = {"CapStartNow", "CapStartOnScene", "CapStartOnDefScene",
                                      "CapStopNow",  "CapStopOnScene",  "CapStopOnDefScene"};

}  // namespace

CaptureDialog::CaptureDialog(QWidget* mainWindow) : QDialog(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    SetWindowId(kCaptureDialogId);
    setWindowTitle("DV Capture");
    setMouseTracking(true);
    RegisterToolTips(*this, kCaptureDialogId);
    Open();
}

CaptureDialog::~CaptureDialog() {
    // The session and engine go first: a capture still running ends with its
    // frames written, while the controls it reports to still exist.
    session_.reset();
    engine_.reset();
    UnregisterToolTips();
}

void CaptureDialog::Open() {
    wantedId_ = ParseDeviceId(GetSetting(SettingId::UsedDevice).text);
    FillDeviceList();
    thresholdIndex_ = static_cast<int>(GetSetting(SettingId::CapSceneDiff).number);
    if (thresholdIndex_ < 0 || thresholdIndex_ >= kThresholdCount) thresholdIndex_ = 1;
    customText_ = GetSetting(SettingId::CapSceneDiffCustom).text;
    const std::string baseName = EffectiveBaseName(GetSetting(SettingId::FileNaming).text);

    engine_ = std::make_unique<CaptureEngine>(*this);
    session_ = std::make_unique<CaptureSession>(*engine_, *this);
    graphsMade_ = engine_->CreateGraphs(HwndFromWidget(this), baseName,
                                        ThresholdSeconds(thresholdIndex_, customText_));
    if (!graphsMade_) return;  // the window stays without controls
    baseNameEdit_.setText(QString::fromStdString(baseName));
    CreateControls();
    customEdit_.Init(kCustomMask, customText_);
    customEdit_.setReadOnly(thresholdIndex_ != kCustomThresholdIndex);
    CheckFolder();
    if (engine_->StartPreview(wantedId_, wantedName_)) {
        engine_->RunGraph();
        LayOut();
        RefreshStatusTexts();
        ApplyThreshold();
    } else {
        LayOut();
    }
    opened_ = true;
}

void CaptureDialog::CreateControls() {
    buttonImage_.LoadSkinImage(kButtonImage);
    indicatorImage_.LoadSkinImage(kIndicatorImage);
    muteImage_.LoadSkinImage(kMuteImage);

    startStop_.Create(6, BarOrientation::Vertical, kCaptureButtonWidth, 24, 2, kAlignTop);
    startStop_.SetOwner(&owner_);
    startStop_.SetImage(&buttonImage_);
    startStop_.SetImageAlign(kAlignLeft, kAlignCentre);
    startStop_.SetTextAlign(kAlignLeft, kAlignCentre);
    for (int i = 0; i < 6; ++i) {
        startStop_.SetCells(i, 4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3);
        startStop_.SetName(i, kStartStopKeys[i]);
        startStop_.SetCaption(i, LabelText(kStartStopKeys[i]), false);
    }
    mouse_.AddBar(transport_);
    mouse_.AddBar(startStop_);

    muteButton_.SetOwner(&owner_);
    muteButton_.SetImage(&muteImage_);
    muteButton_.SetFrame(false);
    muteButton_.SetName("Mute");
    meter_.SetOwner(&owner_);

    for (int i = 0; i < kThresholdCount; ++i)
        thresholdList_.addItem(QString::fromStdString(LabelText(ThresholdLabelKey(i))));
    thresholdList_.setCurrentIndex(thresholdIndex_);
    folderButton_.setText(QString::fromStdString(LabelText("ChooseCaptureFolder")));
    folderField_.setReadOnly(true);
    folderField_.setText(QString::fromStdString(GetSetting(SettingId::CaptureFolder).text));

    connect(&deviceList_, &QComboBox::activated, this, [this](int index) { DeviceSelected(index); });
    connect(&thresholdList_, &QComboBox::activated, this, [this](int index) { ThresholdSelected(index); });
    connect(&customEdit_, &QLineEdit::textChanged, this, [this] { CustomTextEdited(); });
    connect(&baseNameEdit_, &QLineEdit::textEdited, this, [this] { BaseNameEdited(); });
    connect(&folderButton_, &QPushButton::clicked, this, [this] { RunCommand(kChooseFolderCommand); });
    for (QWidget* control : std::initializer_list<QWidget*>{&deviceList_, &thresholdList_, &customEdit_,
                                                            &baseNameEdit_, &folderField_, &folderButton_})
        AddToolWindow(*this, *control);
    ButtonsChanged(session_->Buttons());
}

void CaptureDialog::CheckFolder() {
    folderExists_ = CaptureFolderExists(CaptureFolderAtOpening());
    folderField_.setText(QString::fromStdString(GetSetting(SettingId::CaptureFolder).text));
    session_->SetFolderExists(folderExists_);
}

void CaptureDialog::Tick() {
    if (!engine_ || !graphsMade_) return;
    const bool deviceChosen = wantedId_.has_value();
    if (deviceChosen && engine_->IsTransportActive()) {
        RefreshStatusTexts();
        if (engine_->PollAspect()) {
            LayOut();
            update();
        }
    }
    if (deviceChosen && engine_->GetRecording() != writingShown_) {
        writingShown_ = !writingShown_;
        update(indicatorRect_);
    }
    // Follows the camcorder's mode, handles the frame server's events, steps
    // while a step button is held, then ticks the engine (thumbnails and file commands).
    session_->Tick(deviceChosen);
    if (levelProbe_) update(area_.meter);
}

void CaptureDialog::RefreshStatusTexts() {
    if (!engine_) return;
    const std::string date = engine_->TapeDateText();
    const std::string position = engine_->TapePositionText();
    if (date != tapeDate_) {
        tapeDate_ = date;
        update(dateRect_);
    }
    if (position != tapePosition_) {
        tapePosition_ = position;
        update(positionRect_);
    }
    if (const long dropped = engine_->DroppedFrames(); dropped != droppedCount_) {
        droppedCount_ = dropped;
        update(droppedRect_);
    }
    if (const std::int64_t frames = engine_->GetFrameCount(); frames != lastFrameCount_) {
        lastFrameCount_ = frames;
        durationText_ = LabelText("Duration") + FrameCountText(frames < 0 ? 0 : frames, engine_->FrameTimeMs());
        update(durationRect_);
    }
}

bool CaptureDialog::IsCapturing() const { return engine_ && (engine_->IsCapturing() || engine_->GetRecording()); }

const CaptureButtons& CaptureDialog::Buttons() const {
    static const CaptureButtons none;
    return session_ ? session_->Buttons() : none;
}

void CaptureDialog::ShowForCapture() {
    if (!opened_) {
        ShowErrorText("UnableToStart");
    } else if (!engine_ || !engine_->IsReady()) {
        if (engine_) engine_->ReportState();
    } else {
        showNormal();
        raise();
        activateWindow();
    }
}

bool CaptureDialog::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::TypeOf(kCaptureGraphEventMessage)) {
        if (engine_) engine_->HandleGraphEvents();
        return true;
    }
    return QDialog::event(event);
}

void CaptureDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!engine_) return;
    engine_->SetWindowVisible(true);
    CheckFolder();
    if (opened_ && !folderExists_ && !showingFolderChoice_) {
        ShowErrorText("NonExistingCaptFolder");
        ChooseCaptureFolder();
    }
}

void CaptureDialog::hideEvent(QHideEvent* event) {
    if (engine_) engine_->SetWindowVisible(false);
    QDialog::hideEvent(event);
}

void CaptureDialog::reject() {
    if (engine_) engine_->SetWindowVisible(false);
    QDialog::reject();
}

void CaptureDialog::OnSettingChanged(SettingId id) {
    SettingsObserver::OnSettingChanged(id);
    if (id == SettingId::CaptureFolder && session_) CheckFolder();
}

// ---- What the engine and the session report ----

void CaptureDialog::SetUpSoundControls(HWND, ILevelProbe* meter) { levelProbe_ = meter; }

void CaptureDialog::ShowSoundOn(bool soundOn) {
    muteButton_.SetChecked(!soundOn);
    update(area_.mute);
}

void CaptureDialog::ThumbnailChanged(int position) {
    if (position >= 0 && position < kThumbnailPositions) update(area_.thumbnails[position].adjusted(-2, -2, 2, 2));
}

void CaptureDialog::PostFinishedFile(std::unique_ptr<FinishedFileRecord> record) {
    // The main window takes the record over with the message; a message that
    // cannot be posted leaves it here, where it is freed.
    FinishedFileRecord* posted = record.get();
    if (PostWindowMessage(OaHwndFromWidget(mainWindow_), kFinishedFileMessage, 1, reinterpret_cast<LPARAM>(posted)))
        record.release();
}

void CaptureDialog::ButtonsChanged(const CaptureButtons& buttons) {
    for (int i = 0; i < startStop_.Count(); ++i) {
        startStop_.SetState(i, buttons.enabled[i] ? kStateNormal : kStateDisabled, true);
        startStop_.SetChecked(i, i == buttons.selected);
    }
    deviceList_.setEnabled(buttons.deviceListEnabled);
    update(indicatorRect_);
}

void CaptureDialog::TransportChanged(LONG mode) {
    ShowTransportLook(mode);
    if (mode == ED_MODE_FREEZE || mode == ED_MODE_STOP || mode == ED_MODE_STEP_FWD || mode == ED_MODE_STEP_REV)
        RefreshStatusTexts();
}

void CaptureDialog::CurrentFileChanged(const std::string& fileName) {
    shownFileName_ = fileName;
    update(fileNameRect_);
}

void CaptureDialog::WriteFailed(const std::string& fileName) { ShowErrorText("CaptureWriteFailed", " (" + fileName + ")"); }

void CaptureDialog::GraphRunFailed() { ShowErrorText("CaptureGraphFailed"); }
