// PlayerRow: opening, the transport, stepping and shuttling, the tick, graph
// events, the frame capture, selection and the row menu.
#include "korvanta/preview/player_row.h"

#include <QWidget>

#include <algorithm>

#include "korvanta/capture/capture_texts.h"
#include "korvanta/core/context_menu.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/skin/skin_image.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/renderers/window_message.h"

namespace {

constexpr int kCaptureImage = 183;

}  // namespace

PlayerRow::PlayerRow() {
    captureButton_.Create(1, BarOrientation::Horizontal, 20, 20, 0, kAlignLeft);
    captureButton_.SetImage(&SharedSkinImage(kCaptureImage));
    captureButton_.SetCells(0, 1, 0, 0, 2);
    captureButton_.SetName(0, "BtnFrameCapture");
    captureButton_.SetFrame(false);
    captureButton_.SetShift(false);
    captureButton_.SetMargin(0);
    mouse_.AddBar(transport_);
    mouse_.AddBar(captureButton_);
    trackSlider_.SetCentred(true);
}

PlayerRow::~PlayerRow() = default;

bool PlayerRow::Open(int index, const std::filesystem::path& folder, const std::string& fileName,
                     QWidget* listWindow, std::optional<PreviewPlayer::Thumbnails> ready) {
    auto player = std::make_unique<PreviewPlayer>();
    if (!player->Open(folder / fileName, listWindow, index, std::move(ready))) return false;
    player_ = std::move(player);
    player_->AttachTo(this);
    index_ = index;
    folder_ = folder;
    fileName_ = fileName;
    listWindow_ = listWindow;
    owner_ = std::make_unique<WidgetSkinOwner>(*listWindow);
    transport_.SetOwner(owner_.get());
    captureButton_.SetOwner(owner_.get());
    positionSlider_.SetOwner(owner_.get());
    trackSlider_.SetOwner(owner_.get());
    ShowLook(RowLook::Stopped);
    return true;
}

void PlayerRow::SetIndex(int index) {
    index_ = index;
    if (player_) player_->SetRowIndex(index);
}

void PlayerRow::ShowLook(RowLook look) {
    look_ = look;
    const int play = transport_.IndexOf(TransportButton::Play);
    const int pause = transport_.IndexOf(TransportButton::Pause);
    const int stop = transport_.IndexOf(TransportButton::Stop);
    transport_.SetChecked(play, look == RowLook::Playing);
    transport_.SetChecked(pause, look == RowLook::Paused);
    transport_.SetChecked(stop, look == RowLook::Stopped);
    transport_.SetState(pause, look == RowLook::Stopped ? kStateDisabled : kStateNormal, true);
    transport_.InvalidateAll();
}

void PlayerRow::Play() {
    if (!player_ || player_->IsRunning()) return;
    player_->Run();
    if (!player_->IsRunning()) return;
    ShowLook(RowLook::Playing);
    PostWindowMessage(OaHwndFromWidget(listWindow_), kRowMessage, kRowStartedPlaying, index_);
}

void PlayerRow::Pause() {
    if (!player_) return;
    player_->Stop(false);
    playOrder_ = -1;
    ShowLook(RowLook::Paused);
    FollowPosition();
}

void PlayerRow::Stop(bool stoppedLook, bool rewind) {
    if (!player_) return;
    player_->Stop(rewind);
    playOrder_ = -1;
    ShowLook(stoppedLook ? RowLook::Stopped : RowLook::Paused);
    FollowPosition();
}

void PlayerRow::RunTransport(TransportButton button) {
    if (button == TransportButton::Play) Play();
    if (button == TransportButton::Pause) Pause();
    if (button == TransportButton::Stop) Stop(true, true);
}

int PlayerRow::StepCount() const {
    const int d = std::max(1, FrameDuration());
    const int g = 1000 / std::max(1, 1000 / d);
    switch (stepping_.value_or(TransportButton::Stop)) {
        case TransportButton::SlowForward: return ctrlHeld_ ? g / 3 : 1;
        case TransportButton::FastForward: return ctrlHeld_ ? 10 * g : g;
        case TransportButton::SlowBack: return ctrlHeld_ ? -g / 3 : -1;
        case TransportButton::FastBack: return ctrlHeld_ ? -10 * g : -g;
        default: return 0;
    }
}

void PlayerRow::Shuttle() {
    const std::int64_t d = trackSlider_.Position();
    const std::int64_t r = trackSlider_.Range();
    if (d == 0 || r <= 0 || !player_) return;
    const std::int64_t fps = 1000 / std::max(1, FrameDuration());
    const std::int64_t frames = (10 * fps - 1) * d * d / r / r + 1;
    if (player_->IsRunning()) player_->ReadPosition();
    player_->SeekTo(player_->CurrentFrame() + (d > 0 ? frames : -frames));
    FollowPosition();
}

void PlayerRow::FollowPosition() {
    if (!player_) return;
    positionSlider_.SetValue(player_->CurrentFrame(), player_->LastFrame(), true);
    RefreshTexts();
}

void PlayerRow::OnTimer() {
    if (!player_) return;
    if (player_->IsRunning()) {
        // The posted graph events may not reach a list that does not route
        // them; reading them here as well ends the file either way.
        OnGraphEvent();
        if (player_->IsRunning()) {
            player_->ReadPosition();
            FollowPosition();
        }
    }
    if (stepping_) {
        if (skipTick_) {
            skipTick_ = false;
        } else {
            player_->Step(StepCount());
            FollowPosition();
        }
    }
    if (shuttling_) Shuttle();
    RefreshTexts();
}

void PlayerRow::OnGraphEvent() {
    if (!player_ || !player_->HandleGraphEvents()) return;
    playOrder_ = -1;
    ShowLook(RowLook::Stopped);
    FollowPosition();
}

StillExportResult PlayerRow::CaptureFrame() {
    if (!player_) return {};
    return ExportStill(*player_);
}

void PlayerRow::SetSelected(bool selected, bool redraw) {
    if (selected == selected_) return;
    selected_ = selected;
    const std::int64_t frames = DurationFrames();
    SetSetting(SettingId::SelectedDuration, {{}, selected ? frames : -frames}, false);
    if (redraw && owner_) {
        const QRect area = selectStrip_.adjusted(-2, -2, 2, 2);
        owner_->InvalidateArea({area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    }
}

void PlayerRow::BuildContextMenu(bool isTop) {
    if (!isTop || !player_) return;
    const auto item = [this](int command, TransportButton button) {
        const int index = transport_.IndexOf(button);
        AddMenuItem(*this, command, transport_.GetState(index) != kStateDisabled, transport_.IsChecked(index));
    };
    AddSeparator(false);
    BeginSubmenu(*this, kRowPlayBackMenu, true);
    item(kRowPlayCommand, TransportButton::Play);
    item(kRowPauseCommand, TransportButton::Pause);
    item(kRowStopCommand, TransportButton::Stop);
    EndSubmenu(*this);
    AddMenuItem(*this, kRowCaptureFrameCommand, true, false);
    // The player adds its mute entry.
    SettingsObserver::BuildContextMenu(true);
    AddMenuItem(*this, kRowDeleteCommand, true, false);
}

void PlayerRow::OnContextCommand(int commandId) {
    switch (commandId) {
        case kRowPlayCommand: return RunTransport(TransportButton::Play);
        case kRowPauseCommand: return RunTransport(TransportButton::Pause);
        case kRowStopCommand: return RunTransport(TransportButton::Stop);
        case kRowCaptureFrameCommand: CaptureFrame(); return;
        case kRowDeleteCommand:
            if (ShowMessage(1) == MessageBoxResult::Yes)
                PostWindowMessage(OaHwndFromWidget(listWindow_), kRowMessage, kRowDeleteFile, index_);
            return;
        default: return;
    }
}

std::string PlayerRow::DurationText() const {
    return LabelText("Duration") + FrameCountText(DurationFrames(), FrameDuration());
}
