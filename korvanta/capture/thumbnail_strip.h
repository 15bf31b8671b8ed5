#pragma once
// ThumbnailStrip: the five thumbnails of the file being captured, at 0, 25,
// 50, 75 and 100 per cent of it. While a file is written the engine grabs a
// frame now and then, keeps the grabs with the frame count at that moment,
// and after each grab shows at each position the kept frame nearest to its
// share of the newest frame count.
//
// The grab schedule is a countdown in ticks: early in a file every tick
// grabs, later every tenth (see ScheduleAfterGrab). A grab never waits for
// a frame: it asks for the next one, and a later tick takes it, kept with
// the frame count at the asking.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include <QImage>

#include "korvanta/capture/finished_file_record.h"

class ThumbnailStrip {
public:
    static constexpr int kLargestCountdown = 10;

    // One step of a grab; a null image when none was obtained. scaled tells
    // whether it could be brought to the thumbnail size (false: the grab is
    // unusable and the next try waits three ticks). pending: the frame was
    // asked for and has not come yet, so the next tick looks again.
    struct Grab {
        QImage image;
        bool scaled = true;
        bool pending = false;
    };
    // asked: the previous step left the grab pending.
    using Grabber = std::function<Grab(bool asked)>;
    // Told which position shows a new picture, so the window repaints it.
    using ChangeListener = std::function<void(int position)>;

    ThumbnailStrip() = default;

    void SetChangeListener(ChangeListener listener) { listener_ = std::move(listener); }

    // A capture starts: everything is cleared and grabbing waits the longest.
    void ClearAndWait();
    // A new file began: everything is cleared and a frame is asked for at once.
    void ClearAndGrab(const Grabber& grab, std::int64_t frameCount, int frameTimeMs);
    // Clears the kept grabs and the five thumbnails (a device change).
    void Clear();

    // One engine tick while grabbing is allowed: counts down, and at 0 grabs.
    void Tick(const Grabber& grab, std::int64_t frameCount, int frameTimeMs);

    const std::array<QImage, kThumbnailPositions>& Thumbnails() const { return shown_; }
    int Countdown() const { return countdown_; }
    std::size_t KeptGrabs() const { return grabs_.size(); }

    // Ticks to wait after a grab at frameCount: (frameCount / (1000 /
    // frameTimeMs)) / 5, between 1 and 10; 3 when frameTimeMs is 0.
    static int ScheduleAfterGrab(std::int64_t frameCount, int frameTimeMs);

    // At most this many grabs are kept per file; past it the collection is
    // thinned evenly (see Thin).
    static constexpr std::size_t kMaxKeptGrabs = 100;

private:
    using Kept = std::map<std::int64_t, QImage>::const_iterator;

    void GrabNow(const Grabber& grab, std::int64_t frameCount, int frameTimeMs);
    // The kept grab nearest to wanted; of two equally near, the earlier one.
    Kept Nearest(std::int64_t wanted) const;
    void Refresh();
    // Drops grabs no later refresh can choose, then keeps the count bounded.
    void Thin();

    int countdown_ = kLargestCountdown;
    std::optional<std::int64_t> askedAt_;  // the frame count when the pending grab was asked for
    std::map<std::int64_t, QImage> grabs_;  // by frame count
    std::array<QImage, kThumbnailPositions> shown_;
    ChangeListener listener_;
};

// One step of a still from the video grabber of a running graph, without
// waiting: unless asked, it asks the grabber for its next frame (pending).
// When asked, a frame that is there is copied as an RGB32 image, scaled
// smoothly to width x height when its width differs; one not there yet
// leaves the grab pending. A null image when the grabber fails.
struct IStillGrab;
ThumbnailStrip::Grab GrabThumbnail(IStillGrab* grabber, bool asked, int width, int height);
