#include "korvanta/capture/thumbnail_strip.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>

namespace {

constexpr int kTicksAfterUnscalableGrab = 3;
constexpr int kTicksWithoutFrameTime = 3;

// The frame count wanted at a position: position * newest / 4, computed
// without forming position * newest so no frame count can overflow.
std::int64_t WantedCount(int position, std::int64_t newest) {
    return newest / 4 * position + newest % 4 * position / 4;
}

}  // namespace

int ThumbnailStrip::ScheduleAfterGrab(std::int64_t frameCount, int frameTimeMs) {
    // No (or a nonsensical) frame time: a fixed middle pace.
    if (frameTimeMs <= 0) return kTicksWithoutFrameTime;
    // Frame times above a second give less than one frame per second; count
    // such material as one per second instead of dividing by zero.
    const std::int64_t framesPerSecond = std::max(1000 / frameTimeMs, 1);
    const std::int64_t ticks = frameCount / framesPerSecond / 5;
    return static_cast<int>(std::clamp<std::int64_t>(ticks, 1, kLargestCountdown));
}

void ThumbnailStrip::Clear() {
    grabs_.clear();
    askedAt_.reset();  // a frame asked for before belongs to what is cleared
    for (int position = 0; position < kThumbnailPositions; ++position) {
        if (shown_[position].isNull()) continue;
        shown_[position] = QImage();
        if (listener_) listener_(position);
    }
}

void ThumbnailStrip::ClearAndWait() {
    Clear();
    countdown_ = kLargestCountdown;
}

void ThumbnailStrip::ClearAndGrab(const Grabber& grab, std::int64_t frameCount, int frameTimeMs) {
    Clear();
    GrabNow(grab, frameCount, frameTimeMs);
}

void ThumbnailStrip::Tick(const Grabber& grab, std::int64_t frameCount, int frameTimeMs) {
    if (countdown_ > 0) --countdown_;
    if (countdown_ == 0) GrabNow(grab, frameCount, frameTimeMs);
}

void ThumbnailStrip::GrabNow(const Grabber& grab, std::int64_t frameCount, int frameTimeMs) {
    Grab taken = grab ? grab(askedAt_.has_value()) : Grab{};
    if (taken.pending) {
        if (!askedAt_) askedAt_ = std::max<std::int64_t>(frameCount, 0);
        countdown_ = 0;  // the next tick looks for the frame
        return;
    }
    const std::optional<std::int64_t> askedAt = std::exchange(askedAt_, std::nullopt);
    if (!taken.scaled) {
        countdown_ = kTicksAfterUnscalableGrab;
        return;
    }
    if (taken.image.isNull()) {
        countdown_ = 0;  // the next tick tries again
        return;
    }
    frameCount = askedAt.value_or(std::max<std::int64_t>(frameCount, 0));
    // The newest grab always has the largest count: a count that went back
    // makes the kept grabs past it describe frames the file no longer reaches.
    grabs_.erase(grabs_.upper_bound(frameCount), grabs_.end());
    grabs_[frameCount] = std::move(taken.image);
    countdown_ = ScheduleAfterGrab(frameCount, frameTimeMs);
    Refresh();
    Thin();
}

ThumbnailStrip::Kept ThumbnailStrip::Nearest(std::int64_t wanted) const {
    auto after = grabs_.lower_bound(wanted);
    if (after == grabs_.begin()) return after;
    auto before = std::prev(after);
    if (after == grabs_.end()) return before;
    // Equally near: the earlier frame.
    return after->first - wanted < wanted - before->first ? after : before;
}

void ThumbnailStrip::Refresh() {
    if (grabs_.empty()) return;
    const std::int64_t newest = grabs_.rbegin()->first;
    for (int position = kThumbnailPositions - 1; position >= 0; --position) {
        const QImage& picture = Nearest(WantedCount(position, newest))->second;
        if (shown_[position].cacheKey() == picture.cacheKey()) continue;
        shown_[position] = picture;
        if (listener_) listener_(position);
    }
}

void ThumbnailStrip::Thin() {
    if (grabs_.size() < 3) return;
    // Later refreshes want 0 (always the first grab) and counts of at least
    // newest / 4. Below newest / 4 only the last grab can still be nearest
    // to any of those, so the ones between it and the first go.
    const std::int64_t lowestWanted = WantedCount(1, grabs_.rbegin()->first);
    auto lastBelow = grabs_.lower_bound(lowestWanted);
    if (lastBelow != grabs_.begin()) {
        lastBelow = std::prev(lastBelow);
        if (lastBelow != grabs_.begin()) grabs_.erase(std::next(grabs_.begin()), lastBelow);
    }
    // A long file still adds a grab every few seconds. Past the cap the grab
    // whose removal leaves the smallest gap goes, so the kept counts stay
    // evenly spread; the first and the newest always stay.
    while (grabs_.size() > kMaxKeptGrabs) {
        auto victim = std::next(grabs_.begin());
        std::int64_t smallestGap = std::numeric_limits<std::int64_t>::max();
        for (auto it = std::next(grabs_.begin()); std::next(it) != grabs_.end(); ++it) {
            const std::int64_t gap = std::next(it)->first - std::prev(it)->first;
            if (gap < smallestGap) {
                smallestGap = gap;
                victim = it;
            }
        }
        grabs_.erase(victim);
    }
}
