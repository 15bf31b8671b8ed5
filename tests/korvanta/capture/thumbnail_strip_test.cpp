#include "korvanta/capture/thumbnail_strip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "filters/stillgrab/istillgrab.h"

namespace {

// A 1x1 picture whose colour carries the frame count it was grabbed at.
QImage Picture(std::int64_t count) {
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(0xff000000u | static_cast<QRgb>(count & 0xffffff)));
    return image;
}

std::int64_t CountOf(const QImage& image) {
    return image.isNull() ? -1 : static_cast<std::int64_t>(image.pixel(0, 0) & 0xffffff);
}

// A grabber that counts its calls and hands out pictures of the current
// count, or once the grab put in next.
struct FakeCamera {
    std::int64_t count = 0;
    int grabs = 0;
    std::optional<ThumbnailStrip::Grab> next;

    ThumbnailStrip::Grabber Grabber() {
        return [this](bool) {
            ++grabs;
            return std::exchange(next, std::nullopt).value_or(ThumbnailStrip::Grab{Picture(count), true});
        };
    }
    void Tick(ThumbnailStrip& strip, int ticks = 1) {
        for (int tick = 0; tick < ticks; ++tick) strip.Tick(Grabber(), count, 40);
    }
};

TEST(ThumbnailStripTest, ScheduleFollowsThePositionInTheFile) {
    EXPECT_EQ(ThumbnailStrip::ScheduleAfterGrab(0, 40), 1);
    EXPECT_EQ(ThumbnailStrip::ScheduleAfterGrab(25 * 20, 40), 4);     // 20 s at 25 fps
    EXPECT_EQ(ThumbnailStrip::ScheduleAfterGrab(25 * 3600, 40), 10);  // an hour
    EXPECT_EQ(ThumbnailStrip::ScheduleAfterGrab(25 * 3600, 0), 3);
    EXPECT_EQ(ThumbnailStrip::ScheduleAfterGrab(25 * 3600, -5), 3);
    // Slower than one frame a second counts as one a second, not a division by zero.
    EXPECT_EQ(ThumbnailStrip::ScheduleAfterGrab(20, 2000), 4);
}

TEST(ThumbnailStripTest, CountdownDecidesWhenToGrab) {
    ThumbnailStrip strip;
    FakeCamera camera;

    strip.ClearAndWait();
    camera.Tick(strip, ThumbnailStrip::kLargestCountdown - 1);
    EXPECT_EQ(camera.grabs, 0);
    camera.Tick(strip);
    EXPECT_EQ(camera.grabs, 1);
    camera.Tick(strip, 2);  // early in a file: every tick
    EXPECT_EQ(camera.grabs, 3);
    camera.count = 25 * 3600;
    camera.Tick(strip, 11);  // late: every tenth
    EXPECT_EQ(camera.grabs, 5);

    // ClearAndGrab grabs at once. No frame: the next tick tries again.
    // Unscalable: three ticks later.
    strip.ClearAndGrab(camera.Grabber(), camera.count, 0);
    EXPECT_EQ(camera.grabs, 6);
    camera.next = ThumbnailStrip::Grab{QImage(), true};
    camera.Tick(strip, 3);
    EXPECT_EQ(camera.grabs, 7);
    camera.next = ThumbnailStrip::Grab{Picture(1), false};
    camera.Tick(strip);
    EXPECT_EQ(camera.grabs, 8);
    camera.Tick(strip, 2);
    EXPECT_EQ(camera.grabs, 8);
    EXPECT_EQ(strip.KeptGrabs(), 1u);
    camera.count += 10;
    camera.Tick(strip);
    EXPECT_EQ(camera.grabs, 9);
    EXPECT_EQ(strip.KeptGrabs(), 2u);
}

TEST(ThumbnailStripTest, RefreshShowsNearestGrabsAndReportsOnlyChanges) {
    ThumbnailStrip strip;
    std::vector<int> changed;
    strip.SetChangeListener([&](int position) { changed.push_back(position); });
    FakeCamera camera;
    strip.ClearAndGrab(camera.Grabber(), 0, 40);
    EXPECT_EQ(changed, (std::vector<int>{4, 3, 2, 1, 0}));
    for (const QImage& image : strip.Thumbnails()) EXPECT_EQ(CountOf(image), 0);

    // Counts 0 and 100: position 2 wants 50, equally near both, and keeps the earlier.
    changed.clear();
    camera.count = 100;
    camera.Tick(strip);
    EXPECT_EQ(changed, (std::vector<int>{4, 3}));
    auto shown = [&] {
        std::vector<std::int64_t> counts;
        for (const QImage& image : strip.Thumbnails()) counts.push_back(CountOf(image));
        return counts;
    };
    EXPECT_EQ(shown(), (std::vector<std::int64_t>{0, 0, 0, 100, 100}));

    // Grabs at 0, 100, 130, 210, 400: wanted 0, 100, 200, 300, 400.
    for (std::int64_t count : {130, 210, 400}) {
        camera.count = count;
        camera.Tick(strip);
    }
    EXPECT_EQ(shown(), (std::vector<std::int64_t>{0, 100, 210, 210, 400}));

    // A grab at the same count replaces the picture and is reported.
    changed.clear();
    camera.next = ThumbnailStrip::Grab{Picture(401), true};
    camera.Tick(strip, ThumbnailStrip::ScheduleAfterGrab(400, 40));
    EXPECT_EQ(changed, (std::vector<int>{4}));
    EXPECT_EQ(CountOf(strip.Thumbnails()[4]), 401);

    // Clearing blanks the shown positions and reports each of them.
    changed.clear();
    strip.ClearAndWait();
    EXPECT_EQ(changed.size(), 5u);
    EXPECT_EQ(strip.KeptGrabs(), 0u);
    EXPECT_EQ(shown(), (std::vector<std::int64_t>(5, -1)));
}

TEST(ThumbnailStripTest, LongFileKeepsMemoryBoundedAndPositionsClose) {
    ThumbnailStrip strip;
    FakeCamera camera;
    strip.ClearAndGrab(camera.Grabber(), 0, 40);
    // Three hours at 25 fps, one tick every 340 ms.
    for (int tick = 0; tick < 3 * 3600 * 3; ++tick) {
        camera.count += 8;
        camera.Tick(strip);
        ASSERT_LE(strip.KeptGrabs(), ThumbnailStrip::kMaxKeptGrabs);
    }
    const std::int64_t newest = CountOf(strip.Thumbnails()[4]);
    EXPECT_GT(newest, camera.count - 8 * 10);
    EXPECT_EQ(CountOf(strip.Thumbnails()[0]), 0);
    for (int position = 1; position < 4; ++position)
        EXPECT_NEAR(CountOf(strip.Thumbnails()[position]), position * newest / 4, newest / 100)
            << position;
}

// A grabber holding one 2x2 bottom-up frame: top row red, green; bottom row
// blue, white. Or never ready, or with a header that does not fit the bytes.
class FakeStillGrab final : public IStillGrab {
public:
    bool everReady = true;
    LONG sizeOverride = -1;
    int readyPolls = 0;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IStillGrab) return E_NOINTERFACE;
        *ppv = static_cast<IStillGrab*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT SetGrab(BYTE) override { return S_OK; }
    HRESULT SetReservedFlag(BYTE) override { return S_OK; }
    HRESULT IsFrameReady(BYTE* ready) override {
        ++readyPolls;
        *ready = everReady && readyPolls > 2 ? 1 : 0;
        return S_OK;
    }
    HRESULT GetFrameSize(LONG* size) override {
        *size = Size();
        return S_OK;
    }
    HRESULT GetFrame(BYTE* buffer) override {
        std::memcpy(buffer, kBits, std::min<std::size_t>(Size(), sizeof kBits));
        return S_OK;
    }
    HRESULT GetFrameHeader(BITMAPINFOHEADER* header) override {
        *header = {};
        header->biSize = sizeof *header;
        header->biWidth = 2;
        header->biHeight = 2;
        header->biPlanes = 1;
        header->biBitCount = 32;
        return S_OK;
    }
    HRESULT ReservedMethod(void*) override { return E_NOTIMPL; }

private:
    LONG Size() const { return sizeOverride >= 0 ? sizeOverride : LONG{sizeof kBits}; }

    // B, G, R, unused; the bottom row first.
    static constexpr BYTE kBits[16] = {255, 0, 0, 0, 255, 255, 255, 0,   // blue, white
                                       0, 0, 255, 0, 0, 255, 0, 0};      // red, green
};

TEST(GrabThumbnailTest, AsksWithoutWaitingThenCopiesUprightScalesAndRefusesBadFrames) {
    FakeStillGrab grabber;
    // Asking never polls; a frame not there yet leaves the grab pending.
    ThumbnailStrip::Grab asked = GrabThumbnail(&grabber, false, 2, 2);
    EXPECT_TRUE(asked.pending);
    EXPECT_EQ(grabber.readyPolls, 0);
    EXPECT_TRUE(GrabThumbnail(&grabber, true, 2, 2).pending);
    EXPECT_TRUE(GrabThumbnail(&grabber, true, 2, 2).pending);
    EXPECT_EQ(grabber.readyPolls, 2);

    ThumbnailStrip::Grab same = GrabThumbnail(&grabber, true, 2, 2);
    ASSERT_FALSE(same.image.isNull());
    EXPECT_FALSE(same.pending);
    EXPECT_EQ(same.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(same.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(same.image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(same.image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(same.image.pixel(1, 1), qRgb(255, 255, 255));

    ThumbnailStrip::Grab scaled = GrabThumbnail(&grabber, true, 8, 6);
    EXPECT_TRUE(scaled.scaled);
    EXPECT_EQ(scaled.image.size(), QSize(8, 6));
    EXPECT_GT(qRed(scaled.image.pixel(0, 0)), 128);   // still red at top left
    EXPECT_GT(qBlue(scaled.image.pixel(0, 5)), 128);  // blue at bottom left

    EXPECT_FALSE(GrabThumbnail(&grabber, true, 0, 0).scaled);

    grabber.sizeOverride = 12;  // fewer bytes than the header's picture
    EXPECT_TRUE(GrabThumbnail(&grabber, true, 2, 2).image.isNull());
    EXPECT_TRUE(GrabThumbnail(nullptr, false, 2, 2).image.isNull());
}

// A pending grab is kept with the frame count at the asking, is looked for
// on every tick, and a file's start drops it and asks afresh.
TEST(ThumbnailStripTest, APendingGrabKeepsTheCountAtTheAsking) {
    ThumbnailStrip strip;
    std::vector<bool> asks;
    int waits = 1;
    std::int64_t shownCount = 0;
    const ThumbnailStrip::Grabber grabber = [&](bool asked) {
        asks.push_back(asked);
        if (!asked || waits-- > 0) return ThumbnailStrip::Grab{{}, true, true};
        return ThumbnailStrip::Grab{Picture(shownCount), true};
    };
    strip.ClearAndGrab(grabber, 100, 40);
    strip.Tick(grabber, 110, 40);
    strip.ClearAndGrab(grabber, 0, 40);  // a new file: the frame asked for before is not taken
    EXPECT_EQ(asks, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(strip.KeptGrabs(), 0u);
    shownCount = 7;
    strip.Tick(grabber, 20, 40);
    EXPECT_EQ(strip.KeptGrabs(), 1u);
    EXPECT_EQ(strip.Countdown(), ThumbnailStrip::ScheduleAfterGrab(0, 40));
    EXPECT_EQ(CountOf(strip.Thumbnails()[4]), 7);
    strip.Tick(grabber, 30, 40);
    strip.Tick(grabber, 40, 40);
    EXPECT_EQ(strip.KeptGrabs(), 2u);
    EXPECT_EQ(asks, (std::vector<bool>{false, true, false, true, false, true}));
}

}  // namespace
