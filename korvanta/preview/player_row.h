#pragma once
// PlayerRow: one entry of the preview list. It owns the preview player of one
// captured file and the controls and texts around it: the transport bar, the
// position and shuttle sliders, the frame-capture button, the select strip
// and the name, position, time-code and duration texts. The list window
// places, paints and feeds the mouse to its rows; a row tells the list when
// it starts playing and when the user asked to delete its file, by posting
// WM_APP + 1 to it. Everything runs on the user-interface thread.
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "korvanta/core/settings_observer.h"
#include "korvanta/core/still_export.h"
#include "korvanta/preview/preview_player.h"
#include "korvanta/skin/skin_mouse_protocol.h"
#include "korvanta/skin/skin_slider.h"
#include "korvanta/skin/transport_bar.h"

class QPainter;
class QWidget;

// WM_APP + 1 to the list window: wParam says what, lParam is the row index.
inline constexpr unsigned kRowMessage = 0x8001;
inline constexpr unsigned kRowStartedPlaying = 1;
inline constexpr unsigned kRowDeleteFile = 3;

// The row menu's commands.
inline constexpr int kRowPlayBackMenu = 1011;
inline constexpr int kRowPlayCommand = 1012;
inline constexpr int kRowPauseCommand = 1013;
inline constexpr int kRowStopCommand = 1014;
inline constexpr int kRowCaptureFrameCommand = 1015;
inline constexpr int kRowDeleteCommand = 1017;

// How the transport bar shows the row: Stop checked and Pause disabled,
// Play checked, or Pause checked.
enum class RowLook { Stopped, Playing, Paused };

class PlayerRow final : public SettingsObserver {
public:
    PlayerRow();
    ~PlayerRow() override;

    // Creates the player and opens folder/fileName on frame 0; false when the
    // file cannot be played as DV, and the row stays unopened.
    bool Open(int index, const std::filesystem::path& folder, const std::string& fileName, QWidget* listWindow,
              std::optional<PreviewPlayer::Thumbnails> ready = std::nullopt);
    bool IsOpen() const { return player_ != nullptr; }

    // Places every part of the row at (x, y) in a row of the given width;
    // returns the row height.
    int Layout(int x, int y, int width);
    void OffsetY(int dy);
    void SetIndex(int index);
    int Index() const { return index_; }

    // Runs the player; on success the bar shows playing and the list hears
    // WM_APP + 1 with wParam 1.
    void Play();
    // Pauses at the current frame with the paused look.
    void Pause();
    // Pauses, rewinding to frame 0 when asked; the bar shows stopped or paused.
    void Stop(bool stoppedLook, bool rewind);
    bool IsPlaying() const { return player_ && player_->IsRunning(); }
    int PlayOrder() const { return playOrder_; }
    void SetPlayOrder(int order) { playOrder_ = order; }
    RowLook Look() const { return look_; }

    bool IsSelected() const { return selected_; }
    // A change adds or takes the file's last frame from SelectedDuration.
    void SetSelected(bool selected, bool redraw);

    std::filesystem::path FilePath() const { return folder_ / fileName_; }
    const std::string& FileName() const { return fileName_; }
    std::int64_t DurationFrames() const { return player_ ? player_->LastFrame() : 0; }
    int FrameDuration() const { return player_ ? player_->FrameDuration() : 40; }

    // The 340 ms tick of the list: follows a running player, steps while a
    // step button is held and shuttles while the track slider is held.
    void OnTimer();
    // The list received WM_APP + 2 for this row; the end of the file leaves
    // the row paused on its last frame with the stopped look.
    void OnGraphEvent();

    // Saves the frame on show as a still image (the frame-capture button).
    StillExportResult CaptureFrame();

    // The mouse in list-window coordinates. A press that extends a selection
    // (Shift or Ctrl on the list) selects the row instead of toggling it.
    void MousePress(QPoint point, bool ctrlHeld, bool extendSelection = false);
    void MouseMove(QPoint point, bool buttonHeld, bool ctrlHeld = false);
    void MouseRelease(QPoint point);
    void MouseLeave();

    void Paint(QPainter& painter);

    ToolTipTool GetToolAt(ComponentPoint screenPoint) override;
    void BuildContextMenu(bool isTop) override;
    void OnContextCommand(int commandId) override;

    // The drawn parts and texts, for the list and for tests.
    PreviewPlayer* Player() { return player_.get(); }
    const TransportBar& Transport() const { return transport_; }
    const SkinSlider& PositionSlider() const { return positionSlider_; }
    const SkinSlider& TrackSlider() const { return trackSlider_; }
    QRect SelectStrip() const { return selectStrip_; }
    QRect CaptureButtonRect() const { return captureRect_; }
    const std::string& PositionText() const { return positionText_; }
    std::string DurationText() const;

private:
    // Places the controls and texts around the player's pictures.
    void PlaceParts();
    void ShowLook(RowLook look);
    void RunTransport(TransportButton button);
    // The signed frame count of one step of the held button.
    int StepCount() const;
    void Shuttle();
    void EndDrags();
    // Rereads the texts that follow the current frame, repainting those that changed.
    void RefreshTexts();
    void FollowPosition();
    std::string TipKeyAt(QPoint point, QRect& area) const;
    void DrawTexts(QPainter& painter) const;
    void DrawSelectStrip(QPainter& painter) const;

    std::unique_ptr<PreviewPlayer> player_;
    int index_ = 0;
    std::filesystem::path folder_;
    std::string fileName_;
    QWidget* listWindow_ = nullptr;
    std::unique_ptr<WidgetSkinOwner> owner_;

    TransportBar transport_{nullptr, false};
    SkinButtonBar captureButton_;
    SkinMouseProtocol mouse_;
    SkinSlider positionSlider_;
    SkinSlider trackSlider_;
    RowLook look_ = RowLook::Stopped;
    int playOrder_ = -1;
    bool selected_ = false;

    // Held controls: the step button and whether the next tick is skipped,
    // Ctrl as the last mouse event had it, and the two slider drags.
    std::optional<TransportButton> stepping_;
    bool skipTick_ = false;
    bool ctrlHeld_ = false;
    bool positionDrag_ = false;
    bool shuttling_ = false;
    bool mutePressed_ = false;

    // Layout.
    int bottom_ = 0;
    int left_ = 0;
    int width_ = 0;
    QRect selectStrip_;
    QRect captureRect_;
    QRect positionRect_;
    QRect nameRect_;
    QRect currentRect_;
    QRect firstRect_;
    QRect durationRect_;

    // The texts as last drawn.
    std::string positionText_;
    std::string currentTimecodeText_;
    std::string currentDateText_;
};
