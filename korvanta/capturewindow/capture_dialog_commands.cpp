// CaptureDialog: the one dispatcher of buttons and context menu, the
// transport bar's look, the threshold, the base name and the folder.
#include "korvanta/capture/capture_folder.h"
#include "korvanta/capture/scene_threshold.h"
#include "korvanta/capturewindow/capture_dialog.h"
#include "korvanta/core/context_menu.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/skin/browse_for_folder.h"

namespace {

// The transport commands 1019-1027 in order, with their camcorder modes and buttons.
struct TransportCommand {
    LONG mode;
    TransportButton button;
};
constexpr TransportCommand kTransportCommands[] = {
    {ED_MODE_PLAY, TransportButton::Play},
    {ED_MODE_FREEZE, TransportButton::Pause},
    {ED_MODE_STOP, TransportButton::Stop},
    {ED_MODE_REW, TransportButton::FastBack},
    {ED_MODE_PLAY_SLOWEST_REV, TransportButton::SlowBack},
    {ED_MODE_STEP_REV, TransportButton::StepBack},
    {ED_MODE_STEP_FWD, TransportButton::StepForward},
    {ED_MODE_PLAY_SLOWEST_FWD, TransportButton::SlowForward},
    {ED_MODE_FF, TransportButton::FastForward},
};
constexpr int kTransportCount = 9;

}  // namespace

void CaptureDialog::RunCommand(int commandId) {
    if (!session_ || !graphsMade_) return;
    if (commandId >= kFirstTransportCommand && commandId < kFirstTransportCommand + kTransportCount) {
        RunTransport(kTransportCommands[commandId - kFirstTransportCommand].mode);
    } else if (commandId >= kFirstThresholdCommand && commandId < kFirstThresholdCommand + kThresholdCount) {
        thresholdList_.setCurrentIndex(commandId - kFirstThresholdCommand);
        ThresholdSelected(commandId - kFirstThresholdCommand);
    } else if (commandId == kChooseFolderCommand) {
        ChooseCaptureFolder();
    } else {
        switch (commandId - kFirstCaptureCommand) {
            case 0: session_->StartNow(); break;
            case 1: session_->StartOnScene(); break;
            case 2: session_->StartOnDefinedScene(); break;
            case 3: session_->StopNow(); break;
            case 4: session_->StopOnScene(); break;
            case 5: session_->StopOnDefinedScene(); break;
            default: return;
        }
        update(indicatorRect_);
    }
}

void CaptureDialog::OnContextCommand(int commandId) { RunCommand(commandId); }

void CaptureDialog::BuildContextMenu(bool isTop) {
    SettingsObserver::BuildContextMenu(isTop);
    if (!isTop || !graphsMade_) return;
    BeginSubmenu(*this, kTransportMenu, true);
    for (int i = 0; i < kTransportCount; ++i) {
        const int index = transport_.IndexOf(kTransportCommands[i].button);
        AddMenuItem(*this, kFirstTransportCommand + i, transport_.GetState(index) != kStateDisabled, false);
    }
    EndSubmenu(*this);
    BeginSubmenu(*this, kThresholdMenu, true);
    for (int i = 0; i < kThresholdCount; ++i) AddMenuItem(*this, kFirstThresholdCommand + i, true, i == thresholdIndex_);
    EndSubmenu(*this);
    BeginSubmenu(*this, kCaptureMenu, true);
    for (int i = 0; i < 6; ++i) AddMenuItem(*this, kFirstCaptureCommand + i, Buttons().enabled[i], false);
    EndSubmenu(*this);
    AddMenuItem(*this, kChooseFolderCommand, true, false);
}

void CaptureDialog::RunTransport(LONG mode) { session_->Transport(mode); }

void CaptureDialog::ShowTransportLook(LONG mode) {
    // Play and the slow speeds keep their button pressed, pause keeps pause
    // pressed; stop and the fast winds leave the bar released. Steps work
    // only from pause, and pause only while the tape moves or stands paused.
    const bool moving = mode == ED_MODE_PLAY || mode == ED_MODE_PLAY_SLOWEST_FWD || mode == ED_MODE_PLAY_SLOWEST_REV;
    const bool paused = mode == ED_MODE_FREEZE || mode == ED_MODE_STEP_FWD || mode == ED_MODE_STEP_REV;
    if (mode == ED_MODE_STEP_FWD || mode == ED_MODE_STEP_REV) return;  // the tape stays paused
    for (const TransportCommand& command : kTransportCommands) {
        const int index = transport_.IndexOf(command.button);
        transport_.SetChecked(index, command.mode == mode && (moving || paused));
    }
    const auto enable = [&](TransportButton button, bool on) {
        transport_.SetState(transport_.IndexOf(button), on ? kStateNormal : kStateDisabled, true);
    };
    enable(TransportButton::Pause, moving || paused);
    enable(TransportButton::StepBack, paused);
    enable(TransportButton::StepForward, paused);
    if (!paused) session_->HoldStep(0);
}

void CaptureDialog::ThresholdSelected(int index) {
    if (index < 0 || index >= kThresholdCount) return;
    thresholdIndex_ = index;
    ApplyThreshold();
}

void CaptureDialog::ApplyThreshold() {
    SetSetting(SettingId::CapSceneDiff, {{}, thresholdIndex_}, false);
    customEdit_.setReadOnly(thresholdIndex_ != kCustomThresholdIndex);
    if (engine_) engine_->SetSceneThreshold(ThresholdSeconds(thresholdIndex_, customText_));
}

void CaptureDialog::CustomTextEdited() {
    if (!opened_) return;
    const CustomThreshold parsed = ParseCustomThreshold(customEdit_.Text());
    if (parsed.correctedText != customEdit_.Text()) {
        const int caret = customEdit_.cursorPosition();
        customEdit_.SetText(parsed.correctedText);  // hours above 23 read as 23
        customEdit_.setCursorPosition(caret);
    }
    customText_ = parsed.correctedText;
    SetSetting(SettingId::CapSceneDiffCustom, {customText_, 0}, false);
    if (thresholdIndex_ == kCustomThresholdIndex) ApplyThreshold();
}

void CaptureDialog::BaseNameEdited() {
    if (!opened_) return;
    const std::string baseName = EffectiveBaseName(baseNameEdit_.text().toStdString());
    SetSetting(SettingId::FileNaming, {baseName, 0}, false);
    if (engine_) engine_->SetFilePrefix(baseName);
}

void CaptureDialog::ChooseCaptureFolder() {
    showingFolderChoice_ = true;
    const BrowseResult chosen = BrowseForFolder(this, LabelText("ChooseCaptureFolder"),
                                                GetSetting(SettingId::CaptureFolder).text);
    showingFolderChoice_ = false;
    if (chosen.result != BrowseResult::kChosen) return;
    if (!IsOnFixedDisk(chosen.path)) {
        ShowErrorText("FixedDisk");
        return;
    }
    SetSetting(SettingId::CaptureFolder, {chosen.path, 0}, true);
    CheckFolder();
}
