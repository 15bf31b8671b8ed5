// PreviewPlayer: single frames from the video grabber, and the thumbnails.
#include <chrono>
#include <thread>

#include "filters/stillgrab/istillgrab.h"
#include "korvanta/capture/grabbed_frame.h"
#include "korvanta/preview/preview_player.h"

QImage PreviewPlayer::GrabFrame(std::int64_t frame, int resolution) {
    if (!grabber_ || !control_) return {};
    const bool wasRunning = playState_ == 2;
    bool running = wasRunning;
    const bool wasSoundOn = soundOn_;
    const std::int64_t videoResolution = GetSetting(SettingId::VideoResolution).number;
    const bool otherResolution = resolution != videoResolution;
    if (otherResolution) {
        control_->Stop();
        SetDecoderResolution(resolution);
        running = false;
    }
    grabber_->SetGrab(1);
    if (!running) {
        soundOn_ = false;
        ApplyMute();
        SetPositions(frame, frame);
        Pause();
    }
    QImage image;
    // Polled finely: the frame usually arrives within a few milliseconds.
    if (WaitForGrabbedFrame(grabber_.Get(), std::chrono::milliseconds(1), 1000)) image = CopyGrabbedFrame(grabber_.Get());
    if (otherResolution) {
        control_->Stop();
        SetDecoderResolution(videoResolution);
    }
    if (!wasRunning) {
        soundOn_ = wasSoundOn;
        ApplyMute();
        SetPositions(currentFrame_, lastFrame_);
        Pause();
    } else if (otherResolution) {
        SetPositions(currentFrame_, lastFrame_);
        playState_ = 1;
        Run();
    }
    return image;
}

void PreviewPlayer::MakeThumbnails() {
    const std::int64_t resolution = GetSetting(SettingId::VideoResolution).number;
    for (int i = 0; i < kThumbnails; ++i) {
        const std::int64_t frame = i == kThumbnails - 1 ? lastFrame_ : lastFrame_ * i / 4;
        QImage image = GrabFrame(frame, static_cast<int>(resolution));
        if (!image.isNull() && image.width() != sizes_.thumbnailWidth && sizes_.thumbnailWidth > 0 &&
            sizes_.thumbnailHeight > 0)
            image = image.scaled(sizes_.thumbnailWidth, sizes_.thumbnailHeight, Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
        thumbnails_[i] = std::move(image);
    }
    thumbnailsMade_ = true;
}
