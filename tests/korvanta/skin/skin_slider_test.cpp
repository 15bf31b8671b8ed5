// Sliders under a real owner widget: geometry and values, dragging with the
// mouse, the centred slider's signed position and spring-back, and the
// pixels of track, centre mark and thumb.
#include "korvanta/skin/skin_slider.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include "korvanta/skin/skin_frames.h"
#include "korvanta/skin/skin_image.h"
#include "skin_test_owner.h"

namespace {

using kvtest::SkinTestOwner;
using kvtest::SkinWidgetTest;

// SetRect(0, 0, 120, 20): outer 4..116, track x 8..112 (104 long) and y 9..11,
// thumb rows 5..13, the thumb centred on track.left + offset.
struct OwnedSlider {
    SkinTestOwner owner{QSize(120, 20)};
    SkinSlider slider;

    explicit OwnedSlider(bool centred) {
        slider.SetOwner(&owner);
        slider.SetCentred(centred);
        slider.SetRect(0, 0, 120, 20);
        owner.AddSlider(slider);
        owner.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
};

constexpr int kTrackLeft = 8;
constexpr int kTrackLength = 104;
constexpr int kThumbRow = 9;

using SkinSliderTest = SkinWidgetTest;

TEST_F(SkinSliderTest, ValuesPlaceTheThumbAlongTheTrack) {
    OwnedSlider owned(false);
    SkinSlider& slider = owned.slider;
    EXPECT_EQ(slider.Range(), kTrackLength);
    EXPECT_EQ(slider.Position(), 0);
    slider.SetValue(1, 4, true);
    EXPECT_EQ(slider.Position(), kTrackLength / 4);
    ASSERT_EQ(owned.owner.invalidated.size(), 2u) << "the old and the new thumb";
    EXPECT_EQ(owned.owner.invalidated[0], (SkinRect{kTrackLeft - 4, 5, kTrackLeft + 5, 14}));
    EXPECT_EQ(owned.owner.invalidated[1].left, kTrackLeft + 26 - 4);

    slider.SetValue(3, 0, true);
    EXPECT_EQ(slider.Position(), 26) << "a maximum of 0 leaves the thumb";
    slider.SetValue(3, -5, true);
    EXPECT_EQ(slider.Position(), 26);
    slider.SetValue(9, 4, true);
    EXPECT_EQ(slider.Position(), kTrackLength) << "beyond the maximum stops at the end";
    slider.SetValue(-2, 4, true);
    EXPECT_EQ(slider.Position(), 0);
    const std::int64_t huge = std::int64_t(1) << 62;
    slider.SetValue(huge / 2, huge, true);
    EXPECT_EQ(slider.Position(), kTrackLength / 2) << "no 64-bit overflow";

    slider.SetValue(1, 2, false);
    slider.SetRect(0, 0, 220, 20);
    EXPECT_EQ(slider.Position(), (kTrackLength + 100) / 2) << "a new layout keeps the value";
    slider.SetRect(0, 0, 10, 20);
    EXPECT_EQ(slider.Range(), 0) << "too small for a track";
    EXPECT_EQ(slider.Position(), 0);
}

TEST_F(SkinSliderTest, MouseDragsTheThumbWithinTheTrack) {
    OwnedSlider owned(false);
    QTest::mouseMove(&owned.owner, QPoint(kTrackLeft, kThumbRow));
    EXPECT_EQ(owned.slider.GetState(), kStateHot) << "hovering the thumb";
    QTest::mouseMove(&owned.owner, QPoint(60, kThumbRow));
    EXPECT_EQ(owned.slider.GetState(), kStateNormal);

    QTest::mousePress(&owned.owner, Qt::LeftButton, {}, QPoint(60, kThumbRow));
    EXPECT_TRUE(owned.slider.IsDragging());
    EXPECT_EQ(owned.slider.Position(), 60 - kTrackLeft) << "the thumb jumps to the press";
    QTest::mouseMove(&owned.owner, QPoint(119, 0));
    EXPECT_EQ(owned.slider.Position(), kTrackLength) << "a drag continues outside the strip, clamped";
    QTest::mouseRelease(&owned.owner, Qt::LeftButton, {}, QPoint(119, 0));
    EXPECT_EQ(owned.owner.releasedPositions, std::vector<int>{kTrackLength});
    EXPECT_FALSE(owned.slider.IsDragging());
    EXPECT_EQ(owned.slider.Position(), kTrackLength) << "a plain slider stays where it was let go";

    QTest::mousePress(&owned.owner, Qt::LeftButton, {}, QPoint(60, 1));
    EXPECT_FALSE(owned.slider.IsDragging()) << "a press above the thumb strip";
    EXPECT_FALSE(owned.slider.Drag(QPoint(60, kThumbRow), false)) << "a move without a drag";
    QTest::mouseRelease(&owned.owner, Qt::LeftButton, {}, QPoint(60, 1));

    owned.slider.SetState(kStateDisabled, true);
    EXPECT_FALSE(owned.slider.Drag(QPoint(60, kThumbRow), true));
    owned.slider.Hover(QPoint(kTrackLeft + kTrackLength, kThumbRow), true);
    EXPECT_EQ(owned.slider.GetState(), kStateDisabled);
}

TEST_F(SkinSliderTest, CentredSliderIsSignedAndSpringsBack) {
    OwnedSlider owned(true);
    const int middle = kTrackLeft + kTrackLength / 2;
    EXPECT_EQ(owned.slider.Range(), kTrackLength / 2);
    EXPECT_EQ(owned.slider.Position(), 0);

    QTest::mousePress(&owned.owner, Qt::LeftButton, {}, QPoint(middle, kThumbRow));
    QTest::mouseMove(&owned.owner, QPoint(middle + 30, kThumbRow));
    EXPECT_EQ(owned.slider.Position(), 30) << "right of the middle is positive";
    QTest::mouseMove(&owned.owner, QPoint(middle - 70, kThumbRow));
    EXPECT_EQ(owned.slider.Position(), -kTrackLength / 2) << "left is negative, clamped";
    QTest::mouseMove(&owned.owner, QPoint(middle + 20, kThumbRow));
    QTest::mouseRelease(&owned.owner, Qt::LeftButton, {}, QPoint(middle + 20, kThumbRow));
    EXPECT_EQ(owned.owner.releasedPositions, std::vector<int>{20});
    EXPECT_EQ(owned.slider.Position(), 0) << "sprung back to the middle";

    owned.slider.SpringBack();
    EXPECT_EQ(owned.slider.Position(), 0);
}

TEST_F(SkinSliderTest, DrawsTrackCentreMarkAndThumbCell) {
    ASSERT_TRUE(LoadSharedSkinImages());
    OwnedSlider owned(true);
    owned.slider.SetValue(0, 1, false);  // the thumb to the left end, clear of the mark
    const QImage image = owned.owner.Render();
    const auto rgb = [&image](int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; };
    using namespace skin_colours;
    const int trackRight = kTrackLeft + kTrackLength - 1;
    EXPECT_EQ(rgb(90, 9), kDarkEdge & 0xFFFFFFu) << "sunken track: dark top";
    EXPECT_EQ(rgb(90, 11), kLightEdge & 0xFFFFFFu) << "light bottom";
    EXPECT_EQ(rgb(90, 10), kvtest::kBackground & 0xFFFFFFu) << "the track is a frame";
    EXPECT_EQ(rgb(trackRight, 10), kLightEdge & 0xFFFFFFu);
    EXPECT_EQ(rgb(trackRight, 9), kLightEdge & 0xFFFFFFu) << "the top-right corner is light";

    // An even track: the 3 x 7 mark spans track centre - 1 to + 1, rows 6 to 12.
    const int centre = kTrackLeft + kTrackLength / 2;
    EXPECT_EQ(rgb(centre - 1, 6), kCentreMark & 0xFFFFFFu);
    EXPECT_EQ(rgb(centre + 1, 12), kCentreMark & 0xFFFFFFu);
    EXPECT_EQ(rgb(centre, 9), kDarkEdge & 0xFFFFFFu) << "a frame, the track shows inside";
    EXPECT_EQ(rgb(centre - 2, 6), kvtest::kBackground & 0xFFFFFFu);

    // The thumb cell at the thumb's corner (4, 5), compared above the track
    // with the cell drawn alone; the thumb image by state.
    const auto matchesCell = [](const QImage& drawn, int cell) {
        QImage expected(9, 9, QImage::Format_RGB32);
        expected.fill(kvtest::kBackground);
        QPainter dc(&expected);
        SharedSkinImage(189).DrawCell(dc, 0, 0, cell);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                if (drawn.pixel(4 + x, 5 + y) != expected.pixel(x, y)) return false;
        return true;
    };
    EXPECT_TRUE(matchesCell(image, 0));
    owned.slider.SetState(kStateHot, true);
    EXPECT_TRUE(matchesCell(owned.owner.Render(), 1));
    owned.slider.SetState(kStateDisabled, true);
    EXPECT_TRUE(matchesCell(owned.owner.Render(), 2));
    EXPECT_FALSE(matchesCell(owned.owner.Render(), 0));
}

}  // namespace
