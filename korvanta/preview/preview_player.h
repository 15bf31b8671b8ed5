#pragma once
// PreviewPlayer: one captured DV AVI file in a playback graph of its own,
// with its video window in the list window, the five thumbnails, the sound
// meter and its own mute state. Everything runs on the user-interface thread.
//
// The graph: source -> splitter(s) -> DV info -> DV decoder -> video grabber
// -> video renderer, and audio -> sound meter -> audio renderer. A file
// without sound has no audio branch: its meter stays silent and muting it
// changes nothing.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "dvshared/dv_frame_info.h"
#include "korvanta/core/settings_observer.h"
#include "korvanta/core/still_export.h"
#include "korvanta/skin/level_meter.h"
#include "korvanta/skin/skin_button.h"
#include "korvanta/skin/skin_owner.h"
#include "platform/com/com_ptr.h"
#include "platform/media/control.h"
#include "platform/media/strmif.h"

class QPainter;
struct IDvStamp;
struct ILevelProbe;
struct IStillGrab;

// The message a player's graph events are posted with (WM_APP + 2); the row
// index travels as the instance data.
inline constexpr LONG kPlayerGraphEventMessage = 0x8002;
// The row menu entry that toggles the player's sound.
inline constexpr int kMuteCommand = 1016;

class PreviewPlayer final : public SettingsObserver, public StillFrameSource {
public:
    static constexpr int kThumbnails = 5;
    using Thumbnails = std::array<QImage, kThumbnails>;

    PreviewPlayer();
    ~PreviewPlayer() override;

    // Builds the graph and shows frame 0 paused. False when the file cannot
    // be played as DV; the player is then unusable. A ready set of
    // thumbnails is taken over instead of grabbing them at the first layout.
    bool Open(const std::filesystem::path& file, QWidget* listWindow, int rowIndex,
              std::optional<Thumbnails> ready = std::nullopt);

    // Places the video window, thumbnails, mute button and meter in a row at
    // (x, y) of the given width; returns the video height.
    int Layout(int x, int y, int width);
    void OffsetY(int dy);

    void Run();
    void Pause();
    void Stop(bool rewind);

    bool IsRunning() const { return playState_ == 2; }
    std::int64_t CurrentFrame() const { return currentFrame_; }
    std::int64_t LastFrame() const { return lastFrame_; }
    int FrameDuration() const { return frameDuration_; }
    bool IsWide() const override { return wide_; }
    bool Is576Line() const override { return is576_; }
    bool HasSound() const { return audio_ != nullptr; }

    // Seeks to frame, clamped to 0 .. last frame; a scale other than 0 and
    // the last frame means frame is a slider value out of scale.
    void SeekTo(std::int64_t frame, std::int64_t scale = 0);
    // Stores the position the running graph has reached, without seeking.
    void ReadPosition();
    // The row's new index after a removal: graph events carry it from now on.
    void SetRowIndex(int rowIndex);
    // count frames while paused, count * (1000 / frame duration / 2) running.
    void Step(int count);
    // Scrubbing over the thumbnail strip: a press inside the strip starts it,
    // a move (isPress false) continues it; EndScrub ends it.
    void ScrubAt(QPoint point, bool isPress);
    void EndScrub() { scrubbing_ = false; }
    bool IsScrubbing() const { return scrubbing_; }

    // A picture of the frame at resolution 0..3 (full, half, quarter,
    // eighth), or a null image when the frame did not arrive.
    QImage GrabFrame(std::int64_t frame, int resolution);
    QImage GrabCurrentFrame(int resolution) override { return GrabFrame(currentFrame_, resolution); }
    std::string RecordingStamp() override;

    // This player's mute button; MuteAll silences every player.
    void ToggleSound();
    void ApplyMute();
    bool IsSoundOn() const { return soundOn_; }
    // The basic-audio volume now (-10000 is silence); 0 without sound.
    long Volume() const;

    DvFrameInfo InfoRecord() const;
    const DvFrameInfo& FirstFrameRecord() const { return firstFrame_; }

    void Paint(QPainter& painter);
    // The meter's levels as the sound meter measures them now.
    std::array<double, 2> Levels() const;

    // Reads one graph event; its code, or 0 when none waits.
    long OnGraphEvent();
    // Reads every waiting event; at the end of the file pauses on the last
    // frame. True when the end was reached. Called from the row's tick until
    // the events arrive as posted messages.
    bool HandleGraphEvents();

    // The enlarged view at the cursor (screen coordinates) until the mouse
    // button is released.
    void ShowEnlarged(QPoint globalCursor);
    bool IsEnlarged() const { return enlarged_ != nullptr; }
    void CloseEnlarged();

    void OnSettingChanged(SettingId id) override;
    void BuildContextMenu(bool isTop) override;
    void OnContextCommand(int commandId) override;

    const Thumbnails& GetThumbnails() const { return thumbnails_; }
    const std::array<QRect, kThumbnails>& ThumbnailRects() const { return thumbnailRects_; }
    const QRect& VideoRect() const { return videoRect_; }
    const SkinRect& MuteRect() const { return muteButton_.Rect(); }
    int ThumbnailWidth() const { return sizes_.thumbnailWidth; }
    int ThumbnailHeight() const { return sizes_.thumbnailHeight; }
    int DisplayWidth() const { return sizes_.displayWidth; }
    int DisplayHeight() const { return sizes_.displayHeight; }
    int DecodedWidth() const { return decodedWidth_; }
    int DecodedHeight() const { return decodedHeight_; }

private:
    bool BuildGraph(const std::filesystem::path& file);
    bool InsertAnalysisFilters();
    bool MeasureDecodedSize();
    void SetUpVideoWindow();
    void ShowFirstFrame();
    void SetDecoderResolution(std::int64_t resolution);
    void SetPositions(std::int64_t current, std::int64_t stop);
    void MakeThumbnails();
    void PlaceVideoWindow(const QRect& rect, bool visible);

    QWidget* listWindow_ = nullptr;
    int rowIndex_ = 0;

    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IMediaSeeking> seeking_;
    ComPtr<IMediaEventEx> events_;
    ComPtr<IBasicAudio> audio_;
    ComPtr<IVideoWindow> videoWindow_;
    ComPtr<IBaseFilter> decoder_;
    ComPtr<IBaseFilter> dvInfoFilter_;
    ComPtr<IDvStamp> dvInfo_;
    ComPtr<IBaseFilter> grabberFilter_;
    ComPtr<IStillGrab> grabber_;
    ComPtr<IBaseFilter> meterFilter_;
    ComPtr<ILevelProbe> meter_;

    std::int64_t lastFrame_ = 0;
    std::int64_t currentFrame_ = 0;
    int frameDuration_ = 33;
    bool wide_ = false;
    bool is576_ = false;
    int decodedWidth_ = 0;
    int decodedHeight_ = 0;
    struct Sizes {
        int thumbnailWidth = 0, thumbnailHeight = 0, displayWidth = 0, displayHeight = 0,
            decodedDisplayHeight = 0;
    } sizes_;
    int playState_ = 0;
    bool soundOn_ = true;
    long savedVolume_ = 0;
    Thumbnails thumbnails_;
    bool thumbnailsMade_ = false;
    std::array<QRect, kThumbnails> thumbnailRects_;
    QRect videoRect_;
    DvFrameInfo firstFrame_{};
    bool scrubbing_ = false;

    std::unique_ptr<WidgetSkinOwner> skinOwner_;
    LevelMeter levelMeter_;
    SkinButton muteButton_;
    std::unique_ptr<QWidget> enlarged_;  // the enlarged view while it is open
};
